// The level editor: a level built by clicks and saved byte for byte, findings and verdicts that are
// corvel-level's own, a page that answers clicks while a large level is solved, play-testing in the
// game page and stepping through the shortest win.
"use strict";

const assert = require("node:assert/strict");
const { execFileSync, spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { after, before, describe, test } = require("node:test");
const h = require("./harness");

const { fixture } = h;
const sharedFixture = (name) => path.join(__dirname, "..", "..", "levels", name);

let session;
before(async () => (session = await h.startSession()));
after(() => session.close());

// corvel-level's answer as JSON: check always, solve only for a level it accepts.
function levelTool(command, file) {
  const run = spawnSync(process.env.CORVEL_LEVEL_TOOL, [command, file, "--json"], { encoding: "utf8" });
  return { status: run.status, json: run.stdout ? JSON.parse(run.stdout) : null };
}

async function openEditor(address = session.url + "editor.html") {
  const page = await (await session.browser.newContext({ viewport: { width: 900, height: 900 } })).newPage();
  page.setDefaultTimeout(60000);
  await page.goto(address);
  await analysed(page);
  return page;
}

// Waits until the findings and the verdict are those of the level on the board.
const analysed = (page) => page.waitForSelector("#verdict[aria-busy=false]", { state: "attached" });

async function editAndWait(page, action) {
  await action();
  await analysed(page);
}

// What the page says of its level: the verdict, the keys, the findings as listed, the error shown.
const shown = (page) => page.evaluate(() => ({
  verdict: document.getElementById("verdict").textContent,
  keys: document.getElementById("keys").textContent,
  findings: [...document.querySelectorAll("#findings li")].map((li) => li.textContent),
  error: document.getElementById("error").hidden ? null : document.getElementById("error").textContent,
  name: document.getElementById("level-name").textContent,
}));

// What the page should say, from corvel-level check --json and solve --json on the same file.
function expectedFromTool(file) {
  const check = levelTool("check", file).json;
  const solve = levelTool("solve", file).json;
  return {
    findings: [...check.findings.map((f) => (f.line > 0 ? `line ${f.line}: ${f.message}` : f.message)),
               ...Object.entries(check.leftOut).map(([kind, count]) => `... and ${count} more ${kind}`)],
    verdict: !solve.winnable ? "cannot be won" : `can be won in ${solve.length} ${solve.length === 1 ? "key" : "keys"}` +
      (solve.traps !== undefined ? `, with ${solve.traps} ${solve.traps === 1 ? "trap" : "traps"}` : ""),
    keys: solve.winnable ? solve.keys : "",
  };
}

// A click on the board: at a side of a cell ("up", "down", "left", "right") or at its middle.
async function clickCell(page, x, y, where = "middle") {
  const box = await page.locator("#editor-board").boundingBox();
  const n = await page.evaluate(() => {
    const canvas = document.getElementById("editor-board");
    return { cell: canvas.width / (Number(document.getElementById("width").value) + 2) - 0, scale: canvas.getBoundingClientRect().width / canvas.width };
  });
  const size = Math.floor(n.cell);
  const offsets = { middle: [0.5, 0.5], up: [0.5, 0.08], down: [0.5, 0.92], left: [0.08, 0.5], right: [0.92, 0.5] }[where];
  await page.mouse.click(box.x + ((x + 1 + offsets[0]) * size) * n.scale, box.y + ((y + 1 + offsets[1]) * size) * n.scale);
}

async function chooseTool(page, label) {
  await page.getByRole("radio", { name: label }).check();
}

async function openFile(page, file) {
  await editAndWait(page, () => page.locator("#level-file").setInputFiles(file));
}

async function savedBytes(page) {
  const [download] = await Promise.all([page.waitForEvent("download"), page.getByRole("button", { name: "Save GameData.dat" }).click()]);
  assert.equal(download.suggestedFilename(), "GameData.dat");
  return fs.readFileSync(await download.path());
}

function writeTemporary(bytes) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "corvel-editor-"));
  const file = path.join(dir, "GameData.dat");
  fs.writeFileSync(file, bytes);
  return file;
}

describe("building a level", () => {
  test("by clicks alone: the saved file is the expected one byte for byte, and corvel-level agrees with the page", async () => {
    const page = await openEditor();
    await page.locator("#width").fill("3");
    await page.locator("#height").fill("2");
    await editAndWait(page, () => page.getByRole("button", { name: "New level" }).click());
    await chooseTool(page, "open or close a wall");
    await editAndWait(page, () => clickCell(page, 2, 1, "right"));  // close the gap beside the new level's exit
    await editAndWait(page, () => clickCell(page, 0, 0, "left"));   // a gap on the left instead
    await editAndWait(page, () => clickCell(page, 1, 0, "down"));   // walls between the rows
    await editAndWait(page, () => clickCell(page, 0, 1, "up"));
    await chooseTool(page, "place the exit");
    await editAndWait(page, () => clickCell(page, -1, 0));
    await chooseTool(page, "place Corvel");
    await editAndWait(page, () => clickCell(page, 2, 0));
    const bytes = await savedBytes(page);
    assert.equal(bytes.toString("latin1"), fs.readFileSync(fixture("built-by-clicks.dat")).toString("latin1"));
    const file = writeTemporary(bytes);
    assert.equal(levelTool("check", file).status, 0);
    const page_ = await shown(page);
    const expected = expectedFromTool(file);
    assert.deepEqual([page_.verdict, page_.keys, page_.findings], [expected.verdict, expected.keys, expected.findings]);
    await page.context().close();
  });

  test("by keys alone: the same level as by clicks", async () => {
    const page = await openEditor();
    await page.locator("#width").fill("3");
    await page.locator("#height").fill("2");
    await editAndWait(page, () => page.getByRole("button", { name: "New level" }).click());
    await page.locator("#editor-board").focus();
    // The cursor starts on (0, 0); each letter is one change, as each click was.
    const steps = [["ArrowRight", "ArrowRight", "ArrowDown", "d"], ["ArrowLeft", "ArrowLeft", "ArrowUp", "a"],
                   ["ArrowRight", "s"], ["ArrowLeft", "s"], ["ArrowLeft", "e"], ["ArrowRight", "ArrowRight", "ArrowRight", "c"]];
    for (const keys of steps) {
      for (const key of keys.slice(0, -1)) await page.keyboard.press(key);
      await editAndWait(page, () => page.keyboard.press(keys.at(-1)));
    }
    assert.equal((await savedBytes(page)).toString("latin1"), fs.readFileSync(fixture("built-by-clicks.dat")).toString("latin1"));
    await page.context().close();
  });

  test("a one-way passage is shown and kept; a click on it opens it both ways", async () => {
    const page = await openEditor();
    await openFile(page, fixture("one-way.dat"));
    assert.equal((await savedBytes(page)).toString(), fs.readFileSync(fixture("one-way.dat"), "utf8"));
    await editAndWait(page, () => clickCell(page, 1, 0, "left"));
    assert.equal((await savedBytes(page)).toString(), "3 1\n2 0\n0 0\n-1 0\n12\n12\n4\n");
    assert.ok(!(await shown(page)).findings.some((f) => f.includes("one-way")));
    await page.context().close();
  });
});

describe("generate", () => {
  for (const method of ["search", "random"]) {
    test(`fills the grid with the level corvel-level generate --method ${method} makes from the same size, seed and tries`, async () => {
      const page = await openEditor();
      await page.locator("#width").fill("4");
      await page.locator("#height").fill("3");
      await page.locator("#method").selectOption(method);
      await page.locator("#seed").fill("18446744073709551615");
      await page.locator("#tries").fill("30");
      await editAndWait(page, () => page.getByRole("button", { name: "Generate" }).click());
      const dir = fs.mkdtempSync(path.join(os.tmpdir(), "corvel-generate-"));
      const out = path.join(dir, "generated.dat");
      execFileSync(process.env.CORVEL_LEVEL_TOOL,
                   ["generate", out, "--width", "4", "--height", "3", "--method", method, "--seed", "18446744073709551615", "--tries", "30"]);
      assert.equal((await savedBytes(page)).toString(), fs.readFileSync(out, "utf8"));
      assert.equal((await shown(page)).verdict, expectedFromTool(out).verdict);
      await page.context().close();
    });
  }
});

describe("findings, verdicts and refusals are corvel-level's", () => {
  const cases = [
    ["a one-way passage", fixture("one-way.dat")],
    ["an exit no move reaches, so no win", fixture("caught-on-waiting.dat")],
    ["a short file with CR LF line ends", sharedFixture("short-crlf.dat")],
    ["more findings of one kind than check lists", fixture("walled-in.dat")],
    ["the bundled level", sharedFixture("bundled.dat")],
  ];
  for (const [name, file] of cases) {
    test(`${name}: the findings and the verdict of check --json and solve --json`, async () => {
      const page = await openEditor();
      await openFile(page, file);
      const page_ = await shown(page);
      const expected = expectedFromTool(file);
      assert.deepEqual([page_.name, page_.verdict, page_.keys, page_.findings, page_.error],
                       [path.basename(file), expected.verdict, expected.keys, expected.findings, null]);
      await page.context().close();
    });
  }

  const refused = [
    ["not a level", fixture("broken.dat")],
    ["too few lines", sharedFixture("refused-three-lines.dat")],
  ];
  for (const [name, file] of refused) {
    test(`refused (${name}): the error names the line as check --json does, and the level being edited stays`, async () => {
      const page = await openEditor();
      const before = await shown(page);
      await openFile(page, file);
      const { json, status } = levelTool("check", file);
      assert.equal(status, 1);
      const where = json.refusal.line > 0 ? `${path.basename(file)}:${json.refusal.line}` : path.basename(file);
      const after = await shown(page);
      assert.equal(after.error, `${where}: refused: ${json.refusal.fault}`);
      assert.deepEqual({ ...after, error: null }, { ...before, error: null });
      await page.context().close();
    });
  }

  test("a board wider than the editor's 64 cells is turned away and the level being edited stays", async () => {
    const page = await openEditor();
    const before = await shown(page);
    const wide = writeTemporary("65 1\n0 0\n1 0\n65 0\n" + "12\n".repeat(65));
    await openFile(page, wide);
    const after = await shown(page);
    assert.equal(after.error, "GameData.dat: the editor takes boards of up to 64 by 64 cells, and this one is 65 by 1 (corvel-level check and solve take it)");
    assert.deepEqual({ ...after, error: null }, { ...before, error: null });
    await page.context().close();
  });

  test("a file over the size the page opens is turned away unread, and the level being edited stays", async () => {
    const page = await openEditor();
    const before = await shown(page);
    await h.dropFile(page, "#editor-board", "huge.dat", "", 300);
    await page.waitForSelector("#error", { state: "visible" });
    const after = await shown(page);
    assert.equal(after.error, "huge.dat: is 314,572,800 bytes; the page opens level files of up to 268,435,456 bytes (256 MB)");
    assert.deepEqual({ ...after, error: null }, { ...before, error: null });
    await page.context().close();
  });

  test("a broken link is reported and the site's level is edited", async () => {
    const page = await openEditor(session.url + "editor.html#level=not*base64&name=mine.dat");
    const page_ = await shown(page);
    assert.equal(page_.error, "mine.dat: holds no level: its text is not base64url (letters, digits, - and _)");
    assert.equal(page_.name, "GameData.dat");
    await page.context().close();
  });
});

describe("live analysis", () => {
  test("clicks are answered at once while a 64 x 64 level with about two million positions is solved", async () => {
    const page = await openEditor();
    await page.locator("#level-file").setInputFiles(fixture("sealed-64.dat"));
    await page.waitForFunction(() => document.getElementById("level-name").textContent === "sealed-64.dat");
    await page.evaluate(() => (window.editorInputDelays.length = 0));
    // A tool chosen and a wall opened while the search runs; the wall starts a new search.
    await chooseTool(page, "place the Brugak");
    assert.equal(await page.locator("#verdict").getAttribute("aria-busy"), "true");
    await chooseTool(page, "open or close a wall");
    await clickCell(page, 10, 10, "right");
    assert.equal(await page.locator("#verdict").getAttribute("aria-busy"), "true");
    const delays = await page.evaluate(() => window.editorInputDelays);
    assert.ok(delays.length >= 3 && delays.every((d) => d < 100), `input delays ${delays}`);
    await page.waitForSelector("#verdict[aria-busy=false]", { state: "attached", timeout: 300000 });
    const file = writeTemporary(await savedBytes(page));
    assert.deepEqual(await shown(page).then((s) => [s.verdict, s.findings]),
                     [expectedFromTool(file).verdict, expectedFromTool(file).findings]);
    await page.context().close();
  });
});

describe("play-test and the solution", () => {
  test("play-test opens the game on the edited level, and back returns to it", async () => {
    const page = await openEditor();
    await openFile(page, fixture("one-way.dat"));
    await chooseTool(page, "place Corvel");
    await editAndWait(page, () => clickCell(page, 1, 0));
    const file = writeTemporary(await savedBytes(page));
    await page.getByRole("link", { name: "Play-test" }).click();
    await h.levelSettled(page);
    assert.equal(await h.boardDifference(page, file), null);
    await page.goBack();
    await analysed(page);
    assert.equal((await savedBytes(page)).toString(), fs.readFileSync(file, "utf8"));
    // And from the game to the editor, on the level in play.
    await page.goForward();
    await h.levelSettled(page);
    await page.getByRole("link", { name: "Edit this level" }).click();
    await analysed(page);
    assert.equal((await savedBytes(page)).toString(), fs.readFileSync(file, "utf8"));
    await page.context().close();
  });

  test("show the solution steps through the shortest win, key by key, to the escape", async () => {
    const page = await openEditor();
    const { keys } = await shown(page);
    assert.equal(keys, levelTool("solve", sharedFixture("bundled.dat")).json.keys);
    await page.getByRole("button", { name: "Show the solution" }).click();
    const next = page.getByRole("button", { name: "Next key" });
    for (let step = 1; step <= keys.length; ++step) await next.click();
    assert.equal(await next.isDisabled(), true);
    assert.equal(await page.locator("#solution-step").textContent(), `key ${keys.length} of ${keys.length}: ${keys.at(-1)}. Corvel has escaped!`);
    await page.context().close();
  });
});
