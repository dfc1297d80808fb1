// The editor's undo and redo: what comes back, in which order, and how far back.
import assert from "node:assert/strict";
import { test } from "node:test";
import { EditorHistory } from "../../platform/web/site/editor-history.js";

test("undo brings the states back newest first, redo brings them forward again, a change drops the redos", () => {
  const history = EditorHistory.create(10);
  assert.deepEqual([history.canUndo(), history.canRedo(), history.undo("now"), history.redo("now")], [false, false, null, null]);
  history.record("a");
  history.record("b");
  assert.equal(history.undo("c"), "b");
  assert.equal(history.undo("b"), "a");
  assert.equal(history.undo("a"), null);
  assert.equal(history.redo("a"), "b");
  assert.equal(history.redo("b"), "c");
  assert.equal(history.canRedo(), false);
  history.undo("c");
  history.record("b2");
  assert.deepEqual([history.canRedo(), history.redo("x")], [false, null]);
  assert.equal(history.undo("d"), "b2");
});

test("undo reaches back as far as the limit and no further", () => {
  const history = EditorHistory.create(3);
  for (const state of [1, 2, 3, 4, 5]) history.record(state);
  const back = [];
  for (let state = history.undo(6); state !== null; state = history.undo(state)) back.push(state);
  assert.deepEqual(back, [5, 4, 3]);
});
