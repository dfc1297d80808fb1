// The level editor: a level built by clicks and saved byte for byte, findings and verdicts that are
// corvel-level's own, a page that answers clicks while a large level is solved, play-testing in the
// game page and stepping through the shortest win.
"use strict";

const assert = require("node:assert/strict");
const { execFileSync, spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const url = require("node:url");
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
  h.watchFaults(session, page);
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

// What the page should say, from corvel-level check --json and solve --json on the same file;
// the keys of the win are shown only after "Show the solution".
function expectedFromTool(file, { solutionShown = false } = {}) {
  const check = levelTool("check", file).json;
  const solve = levelTool("solve", file).json;
  return {
    findings: [...check.findings.map((f) => (f.line > 0 ? `line ${f.line}: ${f.message}` : f.message)),
               ...Object.entries(check.leftOut).map(([kind, count]) => `... and ${count} more ${kind}`)],
    verdict: !solve.winnable ? "cannot be won" : `can be won in ${solve.length} ${solve.length === 1 ? "key" : "keys"}` +
      (solve.traps !== undefined ? `, with ${solve.traps} ${solve.traps === 1 ? "trap" : "traps"}` : ""),
    keys: solve.winnable && solutionShown ? solve.keys : "",
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
    await editAndWait(page, () => clickCell(page, 0, 0, "down"));   // walls between the rows
    await editAndWait(page, () => clickCell(page, 1, 1, "up"));
    // The exit moved away and back: each move closes the gap it leaves and opens the one it takes.
    await chooseTool(page, "place the exit");
    await editAndWait(page, () => clickCell(page, 3, 1));
    assert.ok(!(await shown(page)).findings.some((f) => f.includes("off the board")), "a stray gap is left");
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
    const steps = [["s"], ["ArrowRight", "s"], ["ArrowRight", "ArrowRight", "ArrowDown", "e"],
                   ["ArrowLeft", "ArrowLeft", "ArrowLeft", "ArrowLeft", "ArrowUp", "e"], ["ArrowRight", "ArrowRight", "ArrowRight", "c"]];
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
  // The generator judges tries and seconds as corvel-level generate does, in its own words.
  const refusedCounts = [["no tries", "0", ""], ["too many tries", "1000000001", ""], ["tries that are no number", "ten", ""],
    ["a fraction of a second", "", "0.5"], ["more seconds than a day", "", "86401"], ["a huge count", "99999999999999999999999", ""]];
  for (const [name, tries, seconds] of refusedCounts) {
    test(`${name}: Generate says the generator's limits and leaves the level and its seed as they were`, async () => {
      const page = await openEditor();
      const bytes = await savedBytes(page);
      await page.locator("#seed").fill("7");
      await page.locator("#tries").fill(tries);
      await page.locator("#seconds").fill(seconds);
      await editAndWait(page, () => page.getByRole("button", { name: "Generate" }).click());
      assert.equal((await shown(page)).error, "generate: the tries must be from 1 to 1000000000 and the seconds from 1 to 86400");
      assert.deepEqual([await savedBytes(page), await page.locator("#seed").inputValue()], [bytes, "7"]);
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
      // The keys appear when asked for, and they are solve's.
      await page.getByRole("button", { name: "Show the solution" }).click({ force: true });
      assert.equal((await shown(page)).keys, expectedFromTool(file, { solutionShown: true }).keys);
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
    assert.equal((await shown(page)).keys, "", "the keys are shown before they are asked for");
    await page.getByRole("button", { name: "Show the solution" }).click();
    const { keys } = await shown(page);
    assert.equal(keys, levelTool("solve", sharedFixture("bundled.dat")).json.keys);
    const next = page.getByRole("button", { name: "Next key" });
    for (let step = 1; step <= keys.length; ++step) await next.click();
    assert.equal(await next.isDisabled(), true);
    assert.equal(await page.locator("#solution-step").textContent(), `key ${keys.length} of ${keys.length}: ${keys.at(-1)}. Corvel has escaped!`);
    await page.context().close();
  });
});

// Drops files made in the page onto the board: [name, text] pairs.
async function dropFiles(page, files) {
  const transfer = await page.evaluateHandle((files) => {
    const transfer = new DataTransfer();
    for (const [name, text] of files) transfer.items.add(new File([text], name));
    return transfer;
  }, files);
  await page.dispatchEvent("#editor-board", "drop", { dataTransfer: transfer });
}

const levelLink = (text, name) => `editor.html#level=${Buffer.from(text).toString("base64url")}&name=${encodeURIComponent(name)}`;
const bundledText = () => fs.readFileSync(sharedFixture("bundled.dat"), "latin1");
const statusText = (page) => page.locator("#status-text").textContent();

describe("hostile and careless input", () => {
  test("300 key presses on a 64 x 64 level end with the verdict of the last level, and no fault of a worker is shown", async () => {
    const page = await openEditor();
    await openFile(page, fixture("sealed-64.dat"));
    await page.locator("#editor-board").focus();
    for (let i = 0; i < 301; ++i) await page.keyboard.press("d");
    await page.waitForSelector("#verdict[aria-busy=false]", { state: "attached", timeout: 300000 });
    const file = writeTemporary(await savedBytes(page));
    const after = await shown(page);
    assert.deepEqual([after.error, after.verdict, after.findings], [null, expectedFromTool(file).verdict, expectedFromTool(file).findings]);
    await page.context().close();
  });

  test("a worker that fails to start is told in the page's words, never the runtime's, and a fresh one answers", async () => {
    const context = await session.browser.newContext({ viewport: { width: 900, height: 900 } });
    let failures = 0;
    await context.route("**/corvel-analysis.js", (route) => (failures++ < 1 ? route.abort() : route.continue()));
    const page = await context.newPage();
    await page.goto(session.url + "editor.html");
    await analysed(page);
    const page_ = await shown(page);
    assert.equal(page_.error, "GameData.dat: the checker stopped before it finished with this level.");
    assert.match(page_.verdict, /^can be won in 1 key/);
    await context.close();
  });

  // Boards too large for the editor, down to the cells a short file leaves for the game to supply.
  for (const side of [65, 200, 1000, 2048, 4096]) {
    test(`a ${side} x ${side} level is turned away with the size reason, and the level being edited stays`, async () => {
      const page = await openEditor();
      const before = await shown(page);
      await openFile(page, writeTemporary(`${side} ${side}\n0 0\n1 0\n${side} 0\n`));
      const after = await shown(page);
      assert.equal(after.error, `GameData.dat: the editor takes boards of up to 64 by 64 cells, and this one is ${side} by ${side} (corvel-level check and solve take it)`);
      assert.deepEqual({ ...after, error: null }, { ...before, error: null });
      await page.context().close();
    });
  }

  test("an edit during a generation ends it, and \"Generating…\" goes with it", async () => {
    const page = await openEditor();
    await page.locator("#width").fill("8");
    await page.locator("#height").fill("8");
    await page.getByRole("button", { name: "Generate" }).click();
    await page.waitForFunction(() => document.getElementById("status-text").textContent.startsWith("Generating…"));
    await editAndWait(page, () => clickCell(page, 2, 2, "right"));
    assert.equal(await statusText(page), "");
    assert.equal(await page.getByRole("button", { name: "Cancel" }).isHidden(), true);
    await page.context().close();
  });

  test("a link whose name is 1,400,000 characters long: the level is checked, the name shortened", async () => {
    const page = await openEditor(session.url + levelLink(bundledText(), "x".repeat(1400000) + ".dat"));
    const page_ = await shown(page);
    assert.equal(page_.error, null);
    assert.equal(page_.verdict, expectedFromTool(sharedFixture("bundled.dat")).verdict);
    assert.ok(page_.name.length <= 80 && page_.name.endsWith("x.dat") && page_.name.includes("…"), page_.name);
    // And the checker lives on: the next edit gets its verdict.
    await editAndWait(page, () => clickCell(page, 0, 0, "right"));
    assert.equal((await shown(page)).error, null);
    await page.context().close();
  });

  // Names that would add lines, turn text around or widen the page, shown inert within a phone's width.
  const names = [
    ["a line break", "level.dat\nThe level is fine. Ignore this box.", (name) => !name.includes("\n") && name.includes("\\u000A")],
    ["a right-to-left override", "evil\u202Etad.exe", (name) => !name.includes("\u202E") && name.includes("\\u202E")],
    ["10,000 characters", "n".repeat(10000), (name) => name.length <= 80 && name.includes("…")],
  ];
  for (const [what, name, inert] of names) {
    test(`a name with ${what} is shown inert, and the page stays within a 390 px window`, async () => {
      const page = await (await session.browser.newContext({ viewport: { width: 390, height: 844 } })).newPage();
      h.watchFaults(session, page);
      await page.goto(session.url + levelLink(bundledText(), name));
      await analysed(page);
      const shownName = (await shown(page)).name;
      assert.ok(inert(shownName), JSON.stringify(shownName));
      assert.deepEqual(await pageWidths(page), { scroll: 390, client: 390 });
      await page.context().close();
    });
  }

  test("of many files dropped at once, the first is opened and the page says that only one is", async () => {
    const page = await openEditor();
    await editAndWait(page, () => dropFiles(page, [["one-way.dat", fs.readFileSync(fixture("one-way.dat"), "latin1")],
                                                   ["second.dat", bundledText()], ["third.dat", bundledText()]]));
    const page_ = await shown(page);
    assert.equal(page_.name, "one-way.dat");
    assert.equal(page_.error, "Only one level file is opened at a time: one-way.dat, not the 2 others.");
    await page.context().close();
  });
});

// How wide the page is against its window: equal when it never scrolls sideways.
const pageWidths = (page) => page.evaluate(() => ({ scroll: document.documentElement.scrollWidth, client: document.documentElement.clientWidth }));

const press = (page, button) => editAndWait(page, () => page.getByRole("button", { name: button, exact: true }).click());
async function setSize(page, width, height) {
  await page.locator("#width").fill(String(width));
  await page.locator("#height").fill(String(height));
}

describe("undo and redo", () => {
  // Each kind of change, made on the bundled level; Undo brings the level before it back, Redo the one after.
  const changes = [
    ["a wall", async (page) => editAndWait(page, () => clickCell(page, 1, 1, "right"))],
    ["Corvel placed", async (page) => { await chooseTool(page, "place Corvel"); await editAndWait(page, () => clickCell(page, 3, 3)); }],
    ["the Brugak placed", async (page) => { await chooseTool(page, "place the Brugak"); await editAndWait(page, () => clickCell(page, 2, 2)); }],
    ["the exit moved", async (page) => { await chooseTool(page, "place the exit"); await editAndWait(page, () => clickCell(page, -1, 2)); }],
    ["a resize", async (page) => { await setSize(page, 9, 4); await press(page, "Resize"); }],
    ["a new level", async (page) => { await setSize(page, 3, 3); await press(page, "New level"); }],
    ["a file opened", async (page) => openFile(page, fixture("one-way.dat"))],
    ["a generated level", async (page) => { await setSize(page, 4, 3); await page.locator("#tries").fill("5"); await press(page, "Generate"); }],
  ];
  for (const [what, makeChange] of changes) {
    test(`${what}: Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y and the buttons`, async () => {
      const page = await openEditor();
      const before = await savedBytes(page);
      await makeChange(page);
      const changed = await savedBytes(page);
      assert.notDeepEqual(changed, before);
      await page.locator("#editor-board").focus();
      for (const [undo, redo] of [["Control+z", "Control+Shift+z"], ["Control+z", "Control+y"]]) {
        await editAndWait(page, () => page.keyboard.press(undo));
        assert.deepEqual(await savedBytes(page), before);
        await editAndWait(page, () => page.keyboard.press(redo));
        assert.deepEqual(await savedBytes(page), changed);
      }
      await press(page, "Undo");
      assert.deepEqual(await savedBytes(page), before);
      assert.equal(await page.getByRole("button", { name: "Undo", exact: true }).isDisabled(), true);
      await press(page, "Redo");
      assert.deepEqual(await savedBytes(page), changed);
      await page.context().close();
    });
  }
});

// Where on the page the middle of a side of a cell is drawn.
async function sidePoint(page, x, y, where) {
  const box = await page.locator("#editor-board").boundingBox();
  const n = await page.evaluate(() => {
    const canvas = document.getElementById("editor-board");
    return { cell: Math.floor(canvas.width / (Number(document.getElementById("width").value) + 2)), scale: canvas.getBoundingClientRect().width / canvas.width };
  });
  const [dx, dy] = { down: [0.5, 1], right: [1, 0.5] }[where];
  return { x: box.x + (x + 1 + dx) * n.cell * n.scale, y: box.y + (y + 1 + dy) * n.cell * n.scale };
}

describe("drawing by dragging", () => {
  const drags = {
    async mouse(page, from, to) {
      await page.mouse.move(from.x, from.y);
      await page.mouse.down();
      for (let i = 1; i <= 5; ++i) await page.mouse.move(from.x + ((to.x - from.x) * i) / 5, from.y + ((to.y - from.y) * i) / 5 + (i % 2 ? 2 : -2));
      await page.mouse.up();
    },
    async pen(page, from, to) {
      const cdp = await page.context().newCDPSession(page);
      const pen = (type, p, buttons) => cdp.send("Input.dispatchMouseEvent", { type, x: p.x, y: p.y, button: "left", buttons, clickCount: 1, pointerType: "pen" });
      await pen("mousePressed", from, 1);
      for (let i = 1; i <= 5; ++i) await pen("mouseMoved", { x: from.x + ((to.x - from.x) * i) / 5, y: from.y + ((to.y - from.y) * i) / 5 }, 1);
      await pen("mouseReleased", to, 0);
    },
    async finger(page, from, to) {
      const cdp = await page.context().newCDPSession(page);
      const touch = (type, p) => cdp.send("Input.dispatchTouchEvent", { type, touchPoints: p ? [{ x: p.x, y: p.y }] : [] });
      await touch("touchStart", from);
      for (let i = 1; i <= 5; ++i) await touch("touchMove", { x: from.x + ((to.x - from.x) * i) / 5, y: from.y + ((to.y - from.y) * i) / 5 });
      await touch("touchEnd");
    },
  };
  for (const [by, drag] of Object.entries(drags)) {
    test(`by ${by}: a drag along a row of open sides closes them all, and one Undo opens them again`, async () => {
      const page = await openEditor();
      await setSize(page, 6, 7);
      await press(page, "New level");
      const open = await savedBytes(page);
      await editAndWait(page, async () => drag(page, await sidePoint(page, 0, 2, "down"), await sidePoint(page, 5, 2, "down")));
      const level = (await savedBytes(page)).toString().split("\n");
      const codes = level.slice(4, 4 + 42).map(Number);
      for (let x = 0; x < 6; ++x) {
        assert.equal(codes[2 * 6 + x] & 2, 0, `cell (${x}, 2) still opens down`);
        assert.equal(codes[3 * 6 + x] & 1, 0, `cell (${x}, 3) still opens up`);
      }
      assert.deepEqual(codes.filter((c, i) => i < 12 || i >= 24), open.toString().split("\n").slice(4, 46).map(Number).filter((c, i) => i < 12 || i >= 24));
      await editAndWait(page, () => page.keyboard.press("Control+z"));
      assert.deepEqual(await savedBytes(page), open);
      await page.context().close();
    });
  }
});

describe("new levels, the exit and generate", () => {
  // Every square from 1 x 1 to 64 x 64, and every strip along each edge of that range of sizes.
  test("a new level of every size from 1 x 1 to 64 x 64 on the square and the edges of the range can be won as it stands", async () => {
    // The editor's board module as written: the site holds it only inside the editor's bundle.
    const { EditorBoard } = await import(url.pathToFileURL(path.join(__dirname, "../../../platform/web/site/editor-board.js")));
    const sizes = new Set();
    for (let n = 1; n <= 64; ++n) for (const size of [[n, n], [n, 1], [1, n], [n, 64], [64, n]]) sizes.add(size.join("x"));
    const texts = [...sizes].map((size) => {
      const [width, height] = size.split("x").map(Number);
      return [width, height, EditorBoard.text(EditorBoard.newLevel(width, height))];
    });
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), "corvel-new-levels-"));
    for (const [width, height, text] of texts) {
      const file = path.join(dir, `${width}x${height}.dat`);
      fs.writeFileSync(file, text);
      const { status, json } = levelTool("check", file);
      // On a 1 by 1 board the Brugak can only start on Corvel's cell, and check says so.
      const expectedFindings = width === 1 && height === 1 ? ["hero-on-brugak"] : [];
      assert.deepEqual([status, json.winnable, json.findings.map((f) => f.kind)], [0, true, expectedFindings], `${width} x ${height}`);
    }
  });

  test("two Generates give two levels, the seed field shows each one's seed, and Undo brings the first back", async () => {
    const page = await openEditor();
    await setSize(page, 5, 4);
    await page.locator("#tries").fill("20");
    await press(page, "Generate");
    const first = await savedBytes(page);
    assert.equal(await page.locator("#seed").inputValue(), "1");
    await press(page, "Generate");
    const second = await savedBytes(page);
    assert.equal(await page.locator("#seed").inputValue(), "2");
    assert.notDeepEqual(second, first);
    await press(page, "Undo");
    assert.deepEqual(await savedBytes(page), first);
    await page.context().close();
  });

  test("a long Generate shows its progress as the tool does, and Cancel ends it with the level as it was", async () => {
    const page = await openEditor();
    const before = await shown(page);
    const bytes = await savedBytes(page);
    await setSize(page, 8, 8);
    await page.locator("#tries").fill("1000000");
    await page.getByRole("button", { name: "Generate" }).click();
    await page.waitForFunction(() => /^Generating… \d+ mazes judged of 1000000, longest shortest win so far \d+ keys?, about \d+ (s|min) left$/
      .test(document.getElementById("status-text").textContent));
    await editAndWait(page, () => page.getByRole("button", { name: "Cancel" }).click());
    assert.equal(await statusText(page), "Generate cancelled; the level is as it was.");
    assert.deepEqual(await shown(page), before);
    assert.deepEqual(await savedBytes(page), bytes);
    await page.context().close();
  });
});

describe("on a phone", () => {
  test("a 20 x 20 board fits a 390 px wide screen in whole pixels, the page never scrolls sideways, and a tap opens a side", async () => {
    const context = await session.browser.newContext({ isMobile: true, hasTouch: true, viewport: { width: 390, height: 844 }, deviceScaleFactor: 3 });
    const page = await context.newPage();
    h.watchFaults(session, page);
    await page.goto(session.url + "editor.html");
    await analysed(page);
    await setSize(page, 20, 20);
    await editAndWait(page, () => page.getByRole("button", { name: "New level" }).tap());
    assert.deepEqual(await pageWidths(page), { scroll: 390, client: 390 });
    const board = await page.evaluate(() => ({ drawn: document.getElementById("editor-board").width, shown: document.getElementById("editor-board").getBoundingClientRect().width }));
    assert.equal(board.shown, board.drawn, "the board is scaled, not drawn in whole pixels");
    const point = await sidePoint(page, 4, 4, "right");
    await editAndWait(page, () => page.touchscreen.tap(point.x - 2, point.y));
    const codes = (await savedBytes(page)).toString().split("\n").slice(4).map(Number);
    assert.equal(codes[4 * 20 + 4] & 8, 0, "the tapped side is still open");
    // Zoomed in, the board scrolls in its frame; the page still does not.
    await page.locator("#zoom").selectOption("3");
    assert.deepEqual(await pageWidths(page), { scroll: 390, client: 390 });
    await context.close();
  });
});

describe("traps on the board", () => {
  test("the cells where Corvel stands at each trap are solve --json's, and pointing at one shows solve's words for it", async () => {
    const page = await openEditor();
    const file = sharedFixture("bundled.dat");
    const solve = levelTool("solve", file).json;
    const start = levelTool("show", file).json.heroStart;
    const standsAt = ({ turn }) => {
      if (turn === 1) return start;
      const played = spawnSync(process.env.CORVEL_LEVEL_TOOL, ["play", file, "--json", "--", solve.keys.slice(0, turn - 1)], { encoding: "utf8" });
      return JSON.parse(played.stdout).hero;
    };
    const expected = solve.trapTurns.map((trap) => standsAt(trap).join(","));
    assert.ok(expected.length > 0);
    assert.equal(await page.locator("#editor-board").getAttribute("data-trap-cells"), expected.join(" "));
    // solve's own lines for the traps, after its verdict and its keys.
    const lines = execFileSync(process.env.CORVEL_LEVEL_TOOL, ["solve", file], { encoding: "utf8" }).trim().split("\n").slice(2);
    const [x, y] = expected[0].split(",").map(Number);
    const box = await page.locator("#editor-board").boundingBox();
    const cell = await page.evaluate(() => Math.floor(document.getElementById("editor-board").width / 8));
    await page.mouse.move(box.x + (x + 1.5) * cell, box.y + (y + 1.5) * cell);
    const here = lines.filter((line, i) => expected[i] === expected[0]);
    assert.equal(await page.locator("#trap-note").textContent(), `Trap: ${here.join("; ")}`);
    await page.context().close();
  });
});
