// The level link's reader and writer: base64url as RFC 4648 writes it, and every kind of fragment.
import assert from "node:assert/strict";
import { test } from "node:test";
import { LevelLink } from "../../platform/web/site/level-link.js";

const bytesOf = (text) => new TextEncoder().encode(text);

test("base64url encodes the RFC 4648 vectors without padding, and decodes them back", () => {
  const vectors = [["", ""], ["f", "Zg"], ["fo", "Zm8"], ["foo", "Zm9v"], ["foob", "Zm9vYg"], ["fooba", "Zm9vYmE"], ["foobar", "Zm9vYmFy"]];
  for (const [plain, encoded] of vectors) {
    assert.equal(LevelLink.encode(bytesOf(plain)), encoded, plain);
    assert.deepEqual(LevelLink.decode(encoded), bytesOf(plain), encoded);
  }
});

test("every byte value, at every length modulo 3, comes back as it went", () => {
  const all = Uint8Array.from({ length: 256 }, (_, i) => i);
  for (const length of [1, 2, 3, 254, 255, 256]) {
    const bytes = all.slice(256 - length);
    const text = LevelLink.encode(bytes);
    assert.match(text, /^[A-Za-z0-9_-]*$/);
    assert.deepEqual(LevelLink.decode(text), bytes, `${length} bytes`);
  }
});

test("text that is not base64url decodes to nothing", () => {
  for (const text of ["A", "AAAAA", "Zm9v+", "Zm9v/", "Zm8=", "Zm 9v", "Zm9vé"]) assert.equal(LevelLink.decode(text), null, text);
});

test("a fragment is read as the level, pack level or day it names, or as the fault that keeps it from being read", () => {
  const cases = [
    ["", null],
    ["#", null],
    ["#something=else", null],
    ["#level=Zm9v&name=mine.dat", { kind: "level", name: "mine.dat", bytes: bytesOf("foo"), fault: null }],
    ["#level=Zm9v", { kind: "level", name: "the link", bytes: bytesOf("foo"), fault: null }],
    ["#%6Cevel=Zm9v&name=%6D.dat", { kind: "level", name: "m.dat", bytes: bytesOf("foo"), fault: null }],
    ["#level", { kind: "level", name: "the link", bytes: null, fault: "holds no level: nothing follows its level=" }],
    ["#level=Zm9v+&name=x.dat", { kind: "level", name: "x.dat", bytes: null, fault: "holds no level: its text is not base64url (letters, digits, - and _)" }],
    ["#level=Zm9v&name=%0Aevil", { kind: "level", name: "\\u000Aevil", bytes: bytesOf("foo"), fault: null }],
    ["#pack=1", { kind: "pack", number: 1, fault: null }],
    ["#pack=999999", { kind: "pack", number: 999999, fault: null }],
    ...["0", "01", "1000000", "x", "", "-1", "1.5"].map((text) =>
      [`#pack=${text}`, { kind: "pack", number: null, fault: "names no level of the pack: pack= takes a level's number, from 1" }]),
    ["#daily=2024-02-29", { kind: "daily", date: "2024-02-29", fault: null }],
    ...["2026-02-29", "2026-13-01", "2026-1-01", "20260101", "tomorrow"].map((text) =>
      [`#daily=${text}`, { kind: "daily", date: null, fault: "names no day: daily= takes a date as YYYY-MM-DD" }]),
  ];
  for (const [hash, expected] of cases) assert.deepEqual(LevelLink.parse(hash), expected, hash);
});

test("a daily link without a date names today, in UTC", () => {
  const before = new Date().toISOString().slice(0, 10);
  const { date } = LevelLink.parse("#daily");
  assert.ok([before, new Date().toISOString().slice(0, 10)].includes(date), date);
});

test("a level's fragment reads back as the same level and name; one too large for an address gets none", () => {
  const bytes = bytesOf("6 7\n0 0\n5 6\n-1 0\n");
  for (const name of ["GameData.dat", "a level & more=.dat", "niveau é.dat"]) {
    const read = LevelLink.parse(LevelLink.fragment(name, bytes));
    assert.deepEqual([read.name, read.bytes, read.fault], [name, bytes, null], name);
  }
  assert.equal(LevelLink.fragment("big.dat", new Uint8Array(2 * 1024 * 1024)), null);
});
