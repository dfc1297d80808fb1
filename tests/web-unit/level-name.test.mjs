// A name from outside, made inert: no line breaks, no turned text, no page-wide names.
import assert from "node:assert/strict";
import { test } from "node:test";
import { LevelName } from "../../platform/web/site/level-name.js";

test("names are shown as they are, or escaped, shortened or replaced where they could mislead", () => {
  const long = "a".repeat(100) + ".dat";
  const cases = [
    ["GameData.dat", "GameData.dat"],
    ["niveau é ✓.dat", "niveau é ✓.dat"],
    ["two\nlines.dat", "two\\u000Alines.dat"],
    ["tab\there", "tab\\u0009here"],
    ["evil\u202Etad.exe", "evil\\u202Etad.exe"],
    ["\u2066isolated\u2069", "\\u2066isolated\\u2069"],
    ["bom\ufeff", "bom\\uFEFF"],
    ["lone \ud800 surrogate", "lone \ufffd surrogate"],
    ["", "fallback"],
    ["   ", "fallback"],
    [null, "fallback"],
    [undefined, "fallback"],
    [long, "a".repeat(LevelName.maxCharacters - 25) + "…" + "a".repeat(20) + ".dat"],
  ];
  for (const [name, shown] of cases) assert.equal(LevelName.inert(name, "fallback"), shown, JSON.stringify(name));
});

test("a name of any length is shown within the bound, keeping its start and its extension", () => {
  for (const length of [LevelName.maxCharacters, LevelName.maxCharacters + 1, 10000, 1e6]) {
    const shown = LevelName.inert("s" + "x".repeat(length - 5) + ".dat", "fallback");
    assert.ok([...shown].length <= LevelName.maxCharacters, `${length}: ${[...shown].length}`);
    assert.ok(shown.startsWith("s") && shown.endsWith(".dat"), String(length));
  }
});
