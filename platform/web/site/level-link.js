// Links that carry a level: "#level=" and the level file's bytes in base64url (RFC 4648, section 5,
// without padding), optionally followed by "&name=" and the file's name, percent-encoded.
"use strict";

const LevelLink = (() => {
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

  // What a URL's fragment asks for: null when it carries no level, else {name, bytes} where bytes
  // is null if the level in it cannot be read.
  function parse(hash) {
    const fields = new URLSearchParams(hash.replace(/^#/, ""));
    if (!fields.has("level")) return null;
    // URLSearchParams reads "+" as a space; base64url has neither, so a "+" stays a fault.
    const raw = /(?:^#?|&)level=([^&]*)/.exec(hash)[1];
    return { name: fields.get("name") || "the link", bytes: decode(raw) };
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
