// The level pack on the site: the levels page, #pack=N, how a win went, progress kept in the
// browser (and what happens when the browser keeps nothing, or keeps junk).
"use strict";

const assert = require("node:assert/strict");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const path = require("node:path");
const { after, before, describe, test } = require("node:test");
const h = require("./harness");

const packFolder = path.join(__dirname, "..", "..", "..", "levels");
// The pack as its manifest lists it: every row but the bundled level's, in order.
const manifest = fs.readFileSync(path.join(packFolder, "manifest.tsv"), "utf8").split("\n")
  .filter((line) => line && !line.startsWith("#") && !line.startsWith("file\t"))
  .map((line) => line.split("\t"))
  .filter(([file]) => !file.includes("/"))
  .map(([file, width, height, , , , par, traps]) => ({ file, width: +width, height: +height, par: +par, traps: +traps }));
const packLevel = (n) => path.join(packFolder, manifest[n - 1].file);
const tool = (...args) => JSON.parse(execFileSync(process.env.CORVEL_LEVEL_TOOL, args, { encoding: "utf8" }));
const solution = (file) => tool("solve", file, "--json").keys;
// The fewest waits after which the Brugak has caught Corvel.
const waitsToLose = (file) => {
  for (let waits = "f"; waits.length <= 40; waits += "f") if (tool("play", file, waits, "--json").status === "Caught") return waits;
  throw new Error(`${file}: waiting never loses`);
};

let session;
before(async () => {
  session = await h.startSession();
});
after(() => session.close());

async function levelsPage(context) {
  const page = await context.newPage();
  h.watchFaults(session, page);
  await page.goto(session.url + "levels.html");
  await page.waitForSelector("#pack[aria-busy=false]");
  return page;
}

const marks = (page) => page.locator(".pack .mark").allTextContents();

// Plays pack level n (or the level on the page, for null) to its end with `keys`, closes the end box and returns what the page says.
async function playToTheEnd(page, n, keys) {
  if (n !== null) {
    await page.goto(`${session.url}#pack=${n}`);
    await h.levelSettled(page);
  }
  await h.typeKeys(page, [...keys]);
  await h.readBox(page);
  await h.closeBox(page);
  // The page hears of the box's close a moment after it has gone.
  await page.waitForFunction(() => document.getElementById("result").textContent !== "");
  return page.locator("#result").textContent();
}

describe("the levels page", () => {
  test("lists every level of the manifest in its order, each linked to its own file", async () => {
    const context = await session.browser.newContext({ viewport: { width: 900, height: 900 } });
    const page = await levelsPage(context);
    const shown = await page.locator(".pack li").evaluateAll((items) => items.map((li) => ({
      href: li.querySelector("a").getAttribute("href"),
      words: li.querySelector(".words").innerText.replace(/\n/g, " | "),
      picture: li.querySelector("canvas") !== null,
    })));
    assert.deepEqual(shown, manifest.map((m, i) => ({
      href: `index.html#pack=${i + 1}`,
      words: `Level ${i + 1} of ${manifest.length} · ${m.width} × ${m.height} | par ${m.par} · ${m.traps} trap${m.traps === 1 ? "" : "s"} | not solved yet`,
      picture: true,
    })));
    // A link opens that very level: its start, pixel for pixel; then every other by its address.
    await page.locator(".pack a").nth(11).click();
    await h.levelSettled(page);
    assert.equal(await page.locator("#level-title").textContent(), `Level 12 of ${manifest.length} · 6 × 7`);
    assert.equal(await h.boardDifference(page, packLevel(12)), null);
    for (let n = 1; n <= manifest.length; ++n) {
      await page.evaluate((n) => (location.hash = `pack=${n}`), n);
      await page.waitForFunction((n) => document.getElementById("level-title").textContent.startsWith(`Level ${n} of`), n);
      await h.levelSettled(page);
      assert.equal(await h.boardDifference(page, packLevel(n)), null, manifest[n - 1].file);
    }
    await context.close();
  });

  test("a wrong level number gets the refused-level box, and the game goes on", async () => {
    const page = await h.openPage(session);
    await h.typeKeys(page, ["w"]);
    for (const [fragment, why] of [
      [`pack=${manifest.length + 1}`, `Level ${manifest.length + 1} of the pack: names no level of the pack: it has levels 1 to ${manifest.length}`],
      ["pack=0", "the link: names no level of the pack: pack= takes a level's number, from 1"],
    ]) {
      await page.evaluate((f) => (location.hash = f), fragment);
      assert.equal((await h.readBox(page)).text, h.refused(why));
      await h.closeBox(page);
      await h.levelSettled(page);
      assert.equal(await h.boardDifference(page, h.bundled, "w"), null);
    }
    await page.context().close();
  });
});

describe("a win and what is kept of it", () => {
  test("says keys and par, offers the next level, and the levels page marks it after a reload", async () => {
    const context = await session.browser.newContext();
    const page = await context.newPage();
    h.watchFaults(session, page);
    const keys = solution(packLevel(1));
    assert.equal(await playToTheEnd(page, 1, keys), `Escaped in ${keys.length} keys · par ${manifest[0].par}`);
    assert.equal(await page.locator("#next-level").getAttribute("href"), "index.html#pack=2");
    // A loss records nothing: waiting on level 2 lets the Brugak catch Corvel.
    const waits = waitsToLose(packLevel(2));
    assert.equal(await playToTheEnd(page, 2, waits), `Caught after ${waits.length} keys. New Game starts again.`);
    assert.equal(await page.locator("#next-level").isHidden(), true);
    const levels = await levelsPage(context);
    assert.deepEqual((await marks(levels)).slice(0, 2), [`solved in ${keys.length} keys · ★ par · ✓ no hints`, "not solved yet"]);
    await levels.reload();
    await levels.waitForSelector("#pack[aria-busy=false]");
    assert.equal((await marks(levels))[0], `solved in ${keys.length} keys · ★ par · ✓ no hints`);
    // Forget my progress asks first; kept, nothing changes; forgotten, every mark goes.
    for (const [answer, expected] of [["Keep", `solved in ${keys.length} keys · ★ par · ✓ no hints`], ["Forget", "not solved yet"]]) {
      await levels.getByRole("button", { name: "Forget my progress" }).click();
      await levels.getByRole("button", { name: answer, exact: true }).click();
      await levels.reload();
      await levels.waitForSelector("#pack[aria-busy=false]");
      assert.equal((await marks(levels))[0], expected);
    }
    await context.close();
  });

  test("the last level's next is the levels page", async () => {
    const page = await h.openPage(session);
    const n = manifest.length;
    await playToTheEnd(page, n, solution(packLevel(n)));
    assert.deepEqual([await page.locator("#next-level").getAttribute("href"), await page.locator("#next-level").textContent()], ["levels.html", "All levels"]);
    await page.context().close();
  });

  const brokenStorage = [
    ["storage refused", () => Object.defineProperty(window, "localStorage", { get() { throw new DOMException("denied", "SecurityError"); } }), true],
    ["storage full", () => { Storage.prototype.setItem = () => { throw new DOMException("full", "QuotaExceededError"); }; }, true],
    // Once, before the first page: what a broken or foreign script might have left.
    ["stored junk", () => localStorage.getItem("spoiled") || (localStorage.setItem("spoiled", "1"), localStorage.setItem("corvel-progress", '{"x": 1, "y": {"fewestKeys": "many"')), false],
  ];
  for (const [what, spoil, keepsNothing] of brokenStorage) {
    test(`${what}: the game plays, the page says what it keeps, nothing breaks`, async () => {
      const context = await session.browser.newContext();
      await context.addInitScript(spoil);
      const page = await context.newPage();
      h.watchFaults(session, page);
      const keys = solution(packLevel(1));
      const result = await playToTheEnd(page, 1, keys);
      const levels = await levelsPage(context);
      if (keepsNothing) {
        assert.match(result, /Progress is not kept/);
        assert.equal(await levels.locator("#progress-note").textContent(), "Progress is not kept: this browser does not let the page store it.");
        assert.equal((await marks(levels))[0], "not solved yet");
      } else {
        assert.equal(result, `Escaped in ${keys.length} keys · par ${manifest[0].par}`);
        assert.equal((await marks(levels))[0], `solved in ${keys.length} keys · ★ par · ✓ no hints`);
      }
      await context.close();
    });
  }
});

describe("the board and the pointer", () => {
  test("a mouse click on the board gives it the keyboard and moves nothing", async () => {
    const page = await h.openPage(session);
    await page.locator("#hint").focus();
    const box = await page.locator("#board").boundingBox();
    await page.mouse.click(box.x + box.width - 5, box.y + box.height / 2);
    assert.equal(await page.evaluate(() => document.activeElement.id), "board");
    assert.equal(await h.boardDifference(page, h.bundled), null);
    await h.typeKeys(page, ["d"]);
    assert.equal(await h.boardDifference(page, h.bundled, "d"), null);
    await page.context().close();
  });
});

describe("the daily level and hints", () => {
  test("a day's level is the file its shown command writes; a win is shared without spoilers", async () => {
    const context = await session.browser.newContext({ permissions: ["clipboard-read", "clipboard-write"] });
    const page = await context.newPage();
    h.watchFaults(session, page);
    for (const date of ["2026-12-10", "2027-02-28"]) {
      await page.goto(`${session.url}#daily=${date}`);
      await page.waitForFunction((d) => document.getElementById("level-title").textContent.includes(d), date);
      await h.levelSettled(page);
      assert.equal(await page.locator("#level-title").textContent(), `Daily level · ${date} · 6 × 6`);
      const command = await page.locator("#daily-command-text").textContent();
      const [program, , out, ...options] = command.split(" ");
      assert.deepEqual([program, out], ["corvel-level", `daily-${date}.dat`]);
      const dir = fs.mkdtempSync(path.join(require("node:os").tmpdir(), "corvel-daily-"));
      execFileSync(process.env.CORVEL_LEVEL_TOOL, ["generate", path.join(dir, out), ...options], { stdio: "ignore" });
      assert.equal(await h.boardDifference(page, path.join(dir, out)), null, command);
      if (date === "2026-12-10") {
        const keys = solution(path.join(dir, out));
        assert.equal(await playToTheEnd(page, null, keys), `Escaped in ${keys.length} keys · par ${keys.length}`);
        await page.getByRole("button", { name: "Share result" }).click();
        // Sharing is fetched at the first press: the clipboard holds the result once the page says so.
        await page.waitForFunction(() => /^(Result copied|Copy this result):$/.test(document.getElementById("status-text").textContent));
        const shared = await page.evaluate(() => navigator.clipboard.readText());
        assert.equal(shared, `Corvel and the Brugak · daily ${date} · escaped in ${keys.length} keys · par ${keys.length} · no hints ${session.url}index.html#daily=${date}`);
      }
      fs.rmSync(dir, { recursive: true, force: true });
    }
    await context.close();
  });

  test("a hint's key starts a shortest win; a hint for a position left is never shown; a win after one counts with hints", async () => {
    const context = await session.browser.newContext();
    const page = await context.newPage();
    h.watchFaults(session, page);
    await page.goto(`${session.url}#pack=3`);
    await h.levelSettled(page);
    // Every hint text the page ever shows, to prove that none was about a position already left.
    await page.evaluate(() => {
      window.hintsShown = [];
      new MutationObserver(() => window.hintsShown.push(document.getElementById("hint-text").textContent))
        .observe(document.getElementById("hint-text"), { childList: true, characterData: true, subtree: true });
    });
    const win = solution(packLevel(3));
    const askHint = async () => {
      await page.getByRole("button", { name: "Hint" }).click();
      await page.waitForFunction(() => /^Hint: .+\(/.test(document.getElementById("hint-text").textContent));
      return page.locator("#hint-text").textContent();
    };
    // Asked, then a move of a shortest win before the answer: that answer is dropped.
    await page.getByRole("button", { name: "Hint" }).click();
    await h.typeKeys(page, [win[0]]);
    let played = win[0];
    // Follow the hints to the end: each says one key less, and each key keeps to a shortest win.
    for (let left = win.length - 1; left > 0; --left) {
      const text = await askHint();
      const [, key, length] = /^Hint: (.) \(a shortest win from here takes ([0-9]+) keys\)$/.exec(text) ?? [];
      assert.equal(Number(length), left, text);
      played += key;
      if (left > 1) await h.typeKeys(page, [key]);
      else assert.equal(await playRest(page, key), `Escaped in ${win.length} keys · par ${win.length} · with hints`);
    }
    const shown = await page.evaluate(() => window.hintsShown.filter((t) => t.startsWith("Hint: ") && t !== "Hint: thinking…"));
    assert.equal(shown.length, win.length - 1, shown.join("\n"));
    const levels = await levelsPage(context);
    assert.equal((await marks(levels))[2], `solved in ${win.length} keys · ★ par`);
    await context.close();
  });

  test("no way out: the hint says so", async () => {
    // The first waits on level 2 after which the game goes on but no win is left.
    const file = packLevel(2);
    const waits = waitsToLose(file);
    const doomed = [...waits].map((_, k) => waits.slice(0, k + 1)).find((w) => {
      const played = tool("play", file, w, "--json");
      return played.status === "Playing" && !tool("solve", positionFile(file, played.hero, played.monster), "--json").winnable;
    });
    assert.ok(doomed, "waiting on level 2 reaches a lost position before the catch");
    const page = await h.openPage(session, `${session.url}#pack=2`);
    await h.typeKeys(page, [...doomed]);
    await page.getByRole("button", { name: "Hint" }).click();
    await page.waitForFunction(() => document.getElementById("hint-text").textContent.includes("no way out"));
    assert.equal(await page.locator("#hint-text").textContent(), "Hint: there is no way out from here; New Game starts again.");
    await page.context().close();
  });
});

// A level file with its starts moved to [x, y] cells, written where corvel-level can read it.
function positionFile(levelFile, [hx, hy], [mx, my]) {
  const lines = fs.readFileSync(levelFile, "latin1").split("\n");
  lines[1] = `${hx} ${hy}`;
  lines[2] = `${mx} ${my}`;
  const file = path.join(require("node:os").tmpdir(), `corvel-position-${process.pid}.dat`);
  fs.writeFileSync(file, lines.join("\n"), "latin1");
  return file;
}

// Types the last key of a win, closes its box and returns what the page says of it.
async function playRest(page, key) {
  await h.typeKeys(page, [key]);
  await h.readBox(page);
  await h.closeBox(page);
  await page.waitForFunction(() => document.getElementById("result").textContent !== "");
  return page.locator("#result").textContent();
}
