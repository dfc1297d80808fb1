// The game page's fragment: "#level=" and a level file's bytes in base64url (RFC 4648, section 5,
// without padding), optionally followed by "&name=" and the file's name, percent-encoded; or
// "#pack=N", a level of the site's pack; or "#daily" and "#daily=YYYY-MM-DD", a day's level.
import { LevelName } from "./level-name.js";

export const LevelLink = (() => {
  const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  const valueOf = new Map([...alphabet].map((c, i) => [c, i]));

  function encode(bytes) {
    let text = "";
    for (let i = 0; i < bytes.length; i += 3) {
      const n = (bytes[i] << 16) | ((bytes[i + 1] ?? 0) << 8) | (bytes[i + 2] ?? 0);
      const chars = Math.min(4, Math.ceil(((bytes.length - i) * 8) / 6));
      for (let k = 0; k < chars; ++k) text += alphabet[(n >> (18 - 6 * k)) & 63];
    }
    return text;
  }

  // The bytes, or null when the text is not base64url.
  function decode(text) {
    if (text.length % 4 === 1) return null;
    const bytes = new Uint8Array(Math.floor((text.length * 6) / 8));
    let bits = 0;
    let value = 0;
    let at = 0;
    for (const c of text) {
      const v = valueOf.get(c);
      if (v === undefined) return null;
      value = ((value << 6) | v) & 0xffffff;
      bits += 6;
      if (bits >= 8) {
        bits -= 8;
        bytes[at++] = (value >> bits) & 255;
      }
    }
    return bytes;
  }

  // What a URL's fragment asks for, read once by one parser: null when it names no level; else
  //   {kind: "level", name, bytes, fault}: a level carried by the link, its name made inert, and
  //     either its bytes or (bytes null) the fault that keeps them from being read;
  //   {kind: "pack", number, fault}: level `number` (from 1) of the site's pack;
  //   {kind: "daily", date, fault}: the daily level of `date` (YYYY-MM-DD), today's (UTC) when the
  //     fragment gives none.
  // A field name written with escapes ("%6Cevel") is the same field; "+" (which URLSearchParams reads
  // as a space, and which base64url does not have) stays a fault in the level.
  function parse(hash) {
    const fields = new URLSearchParams(String(hash).replace(/^#/, ""));
    if (fields.has("pack")) return parsePack(fields.get("pack"));
    if (fields.has("daily")) return parseDaily(fields.get("daily"));
    if (!fields.has("level")) return null;
    const name = LevelName.inert(fields.get("name"), "the link");
    const text = fields.get("level");
    const holdsNoLevel = (why) => ({ kind: "level", name, bytes: null, fault: `holds no level: ${why}` });
    if (!text) return holdsNoLevel("nothing follows its level=");
    const bytes = decode(text);
    if (!bytes) return holdsNoLevel("its text is not base64url (letters, digits, - and _)");
    return { kind: "level", name, bytes, fault: null };
  }

  function parsePack(text) {
    const number = /^[1-9][0-9]{0,5}$/.test(text) ? Number(text) : null;
    return { kind: "pack", number, fault: number ? null : "names no level of the pack: pack= takes a level's number, from 1" };
  }

  const today = () => new Date().toISOString().slice(0, 10);

  function parseDaily(text) {
    const date = text || today();
    // A month or day out of range makes no date at all ("2026-13-01"), or another date ("2026-02-30").
    const day = /^[0-9]{4}-[0-9]{2}-[0-9]{2}$/.test(date) ? new Date(date + "T00:00:00Z") : null;
    const valid = day !== null && !Number.isNaN(day.getTime()) && day.toISOString().slice(0, 10) === date;
    return { kind: "daily", date: valid ? date : null, fault: valid ? null : "names no day: daily= takes a date as YYYY-MM-DD" };
  }

  // Browsers keep addresses of up to 2 MB; a level whose link would be longer gets none, judged
  // by its size before any of it is encoded (a big level would take seconds to encode).
  const maxBytes = Math.floor(((2 * 1024 * 1024 - 64 * 1024) * 3) / 4);

  // The fragment that carries the level, or null when it is too large for a link.
  function fragment(name, bytes) {
    if (bytes.length > maxBytes) return null;
    return "#level=" + encode(bytes) + "&name=" + encodeURIComponent(name);
  }

  return { encode, decode, parse, fragment };
})();
