// The editor writes level files in JavaScript; corvel-level writes them in C++ (generate). The two
// must write the same bytes for the same level, or a saved level would differ from a generated one.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { after, test } from "node:test";
import { EditorBoard } from "../../platform/web/site/editor-board.js";

const tool = process.env.CORVEL_LEVEL_TOOL;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "corvel-writer-"));
after(() => fs.rmSync(scratch, { recursive: true, force: true }));

function levelTool(...args) {
  if (!tool || !fs.existsSync(tool)) throw new Error(`CORVEL_LEVEL_TOOL (${tool}) is not built: build the dev preset first`);
  return execFileSync(tool, args, { encoding: "utf8" });
}

test("the editor's writer gives corvel-level's own bytes for the levels it generates", () => {
  // Narrow, tall, wide, square and the editor's largest boards, from both methods.
  const made = [[2, 9, "random", 1], [6, 7, "search", 5], [13, 4, "random", 8], [4, 4, "search", 2], [7, 3, "random", 4], [30, 30, "random", 2], [64, 64, "random", 1]];
  for (const [width, height, method, seed] of made) {
    const file = path.join(scratch, `${width}x${height}-${seed}.dat`);
    levelTool("generate", file, "--width", String(width), "--height", String(height), "--method", method, "--seed", String(seed), "--tries", "20");
    const read = JSON.parse(levelTool("show", file, "--json"));
    assert.equal(EditorBoard.text(EditorBoard.fromLevelJson(read)), fs.readFileSync(file, "utf8"), `${width} x ${height}, seed ${seed}`);
  }
});

test("a level read back from what the editor wrote is the level it wrote", () => {
  const level = EditorBoard.newLevel(5, 3);
  EditorBoard.setSide(level, 1, 1, EditorBoard.sideOfKey("d"), false);
  EditorBoard.moveExit(level, { x: 5, y: 2 });
  level.monster = { x: 2, y: 0 };
  const file = path.join(scratch, "edited.dat");
  fs.writeFileSync(file, EditorBoard.text(level));
  assert.deepEqual(EditorBoard.fromLevelJson(JSON.parse(levelTool("show", file, "--json"))), level);
});
