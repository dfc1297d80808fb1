// The game page's keys, swipes and taps: what goes to the game, what to the menu bar, what stays the browser's.
import assert from "node:assert/strict";
import { test } from "node:test";
import { directionKey, gameKey } from "../../platform/web/site/game-keys.js";

test("a key goes to the game, to the menu bar, nowhere, or stays the browser's", () => {
  const plain = { ctrlKey: false, altKey: false, metaKey: false };
  // [key, modifiers, on a button or field, what it means]
  const cases = [
    ["w", {}, false, { character: 119 }],
    ["W", {}, false, { character: 87 }],
    ["é", {}, false, { character: 233 }],
    ["😀", {}, false, { character: 0x1f600 }],
    ["w", {}, true, { character: 119 }],
    [" ", {}, false, { character: 32 }],
    [" ", {}, true, null],
    ["Enter", {}, true, null],
    ["Enter", {}, false, null],
    ["F10", {}, false, { menu: true }],
    ["F10", {}, true, { menu: true }],
    ["F10", { ctrlKey: true }, false, null],
    ["F10", { altKey: true }, false, null],
    ["w", { ctrlKey: true }, false, null],
    ["r", { metaKey: true }, false, null],
    ["d", { altKey: true }, false, null],
    ["ArrowUp", {}, false, { swallow: true }],
    ["PageDown", {}, false, { swallow: true }],
    ["Backspace", {}, false, { swallow: true }],
    ["Tab", {}, false, null],
    ["F5", {}, false, null],
    ["Shift", {}, false, null],
  ];
  for (const [key, modifiers, onControl, expected] of cases) {
    assert.deepEqual(gameKey({ ...plain, ...modifiers, key }, onControl), expected, `${key} ${JSON.stringify(modifiers)}${onControl ? " on a control" : ""}`);
  }
});

test("a stroke moves the way it leans most; a tie goes across", () => {
  const cases = [[30, 0, "d"], [-30, 5, "a"], [3, 40, "s"], [-3, -40, "w"], [10, 10, "d"], [-10, -10, "a"], [0, 0, "a"]];
  for (const [dx, dy, key] of cases) assert.equal(String.fromCharCode(directionKey(dx, dy)), key, `${dx}, ${dy}`);
});
