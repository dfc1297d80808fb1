// The menu bar's keys, as a desktop menu bar takes them: what each key does on a title and on an item.
import assert from "node:assert/strict";
import { test } from "node:test";
import { itemKey, titleKey } from "../../platform/web/site/menu-bar.js";

test("keys on a menu title open, move, close or leave", () => {
  // [key, title, titles, a menu open, what it does]
  const cases = [
    ["ArrowRight", 0, 2, false, { focusTitle: 1 }],
    ["ArrowRight", 1, 2, false, { focusTitle: 0 }],
    ["ArrowLeft", 0, 2, false, { focusTitle: 1 }],
    ["ArrowRight", 0, 3, true, { open: 1, where: "first" }],
    ["ArrowLeft", 0, 3, true, { open: 2, where: "first" }],
    ["ArrowDown", 1, 2, false, { open: 1, where: "first" }],
    ["Enter", 0, 2, false, { open: 0, where: "first" }],
    [" ", 0, 2, false, { open: 0, where: "first" }],
    ["ArrowUp", 0, 2, false, { open: 0, where: "last" }],
    ["Escape", 0, 2, true, { close: true }],
    ["Escape", 0, 2, false, { exit: true }],
    ["F10", 0, 2, true, { close: true }],
    ["F10", 0, 2, false, { exit: true }],
    ["Tab", 0, 2, true, { exit: true }],
    ["w", 0, 2, false, null],
    ["Home", 0, 2, false, null],
  ];
  for (const [key, i, count, open, expected] of cases) assert.deepEqual(titleKey(key, i, count, open), expected, `${key} on ${i} of ${count}${open ? ", open" : ""}`);
});

test("keys on a menu item move round the items, to the next menu, choose, close or leave", () => {
  // [key, title, item with the keyboard (-1: none), items, titles, what it does]
  const cases = [
    ["ArrowDown", 0, 0, 2, 2, { focusItem: 1 }],
    ["ArrowDown", 0, 1, 2, 2, { focusItem: 0 }],
    ["ArrowUp", 0, 0, 2, 2, { focusItem: 1 }],
    ["ArrowDown", 0, -1, 3, 2, { focusItem: 0 }],
    ["Home", 0, 2, 3, 2, { focusItem: 0 }],
    ["End", 0, 0, 3, 2, { focusItem: 2 }],
    ["ArrowRight", 1, 0, 1, 2, { open: 0, where: "first" }],
    ["ArrowLeft", 0, 0, 2, 2, { open: 1, where: "first" }],
    ["Enter", 0, 1, 2, 2, { choose: 1 }],
    [" ", 1, 0, 1, 2, { choose: 0 }],
    ["Enter", 0, -1, 2, 2, null],
    ["Escape", 0, 0, 2, 2, { close: true }],
    ["F10", 0, 0, 2, 2, { exit: true }],
    ["Tab", 0, 0, 2, 2, { exit: true }],
    ["x", 0, 0, 2, 2, null],
  ];
  for (const [key, i, at, items, count, expected] of cases) assert.deepEqual(itemKey(key, i, at, items, count), expected, `${key} on item ${at} of menu ${i}`);
});
