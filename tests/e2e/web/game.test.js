// The web edition played as a player plays it: the start paint against corvel-level render, keys,
// the end boxes, New Game, Instructions, Exit, refused levels, and a page that does nothing while idle.
"use strict";

const assert = require("node:assert/strict");
const fs = require("node:fs");
const path = require("node:path");
const { after, before, describe, test } = require("node:test");
const h = require("./harness");

const TITLE = "Corvel and the Brugak";
// The Instructions box, as every front-end shows it.
const INSTRUCTIONS = fs.readFileSync(path.join(__dirname, "..", "instructions.txt"), "utf8");
const { refused } = h;
const escapeRegExp = (text) => text.replace(/[.*+?^${}()|[\]\\]/g, "\\$&");
const missing = (folder) => `The level cannot be loaded.\n\nThere is no GameData.dat in the folder ${folder}\n\nPut a level there, then choose New Game from the File menu.`;
const { bundled, fixture } = h;

let session;
before(async () => {
  session = await h.startSession();
});
after(() => session.close());

const { newGame } = h;

describe("the page", () => {
  test("has the window's title, paints the start pixel for pixel as corvel-level render, and fetches nothing from elsewhere", async (t) => {
    const page = await h.openPage(session);
    assert.equal(await page.title(), TITLE);
    assert.equal(await h.boardDifference(page, bundled), null);
    // What reaches the screen, not only the canvas: a screenshot of the board at device-pixel ratio 1.
    const shot = await page.locator("#board").screenshot();
    assert.equal(h.pictureDifference(await h.pngPixels(page, shot), await h.pngPixels(page, h.render(bundled))), null);
    await page.screenshot({ path: path.join(path.dirname(h.site), "web-page.png") });
    assert.deepEqual(page.foreignRequests, []);
    await page.context().close();
  });

  test("at device-pixel ratio 2 scales the board by whole pixels, never smoothing it", async () => {
    const page = await h.openPage(session, session.url, { deviceScaleFactor: 2 });
    const shot = await page.locator("#board").screenshot({ scale: "device" });
    const picture = await h.pngPixels(page, shot);
    const expected = await h.pngPixels(page, h.render(bundled));
    // A board of half pixels in CSS may show one more device pixel of the page at its edge.
    const scale = Math.floor(picture.width / expected.width);
    assert.ok(scale >= 2 && scale % 2 === 0 && picture.width - expected.width * scale <= 1, `${picture.width} x ${picture.height}`);
    const board = h.croppedPicture(picture, expected.width * scale, expected.height * scale);
    assert.equal(h.pictureDifference(board, h.scaledPicture(expected, scale)), null);
    await page.context().close();
  });

  // The largest whole scale at which the window fits the screen; the canvas itself is never scaled.
  const screens = [
    ["a 390 x 844 phone", { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true }, 362],
    ["a 480 x 560 window", { viewport: { width: 480, height: 560 } }, 181],
    ["a 1280 x 1000 desktop", { viewport: { width: 1280, height: 1000 } }, 181 * 3],
  ];
  for (const [name, options, width] of screens) {
    test(`fits ${name} at a whole scale`, async () => {
      const page = await h.openPage(session, session.url, options);
      const sizes = await page.evaluate(() => {
        const board = document.getElementById("board");
        const box = board.getBoundingClientRect();
        const controls = document.querySelector("#game .controls").getBoundingClientRect();
        return { width: box.width, canvas: board.width, bottom: controls.bottom, viewport: innerHeight, scrolls: document.documentElement.scrollWidth > innerWidth };
      });
      assert.deepEqual([sizes.width, sizes.canvas, sizes.scrolls], [width, 181, false]);
      assert.ok(sizes.bottom <= sizes.viewport, JSON.stringify(sizes));
      await page.context().close();
    });
  }
});

describe("keys", () => {
  test("move Corvel as corvel-level plays them; a move into a wall passes no turn; other keys do nothing", async () => {
    const page = await h.openPage(session);
    // Corvel starts with walls above, below and to his left: no turn, so the Brugak stays where it is.
    await h.typeKeys(page, ["a", "s", "w", "x", "D", "Space", "1"]);
    assert.equal(await h.boardDifference(page, bundled), null);
    assert.equal(await h.boxOpen(page), false);
    assert.equal(await page.locator("#board-words").textContent(),
      "Corvel at (0, 4), the Brugak at (5, 1), the exit at (6, 3). Corvel can go right.");
    await h.typeKeys(page, ["d", "d"]);
    assert.equal(await h.boardDifference(page, bundled, "dd"), null);
    // The board in words, for a screen reader, follows the game.
    assert.equal(await page.locator("#board-words").textContent(),
      "Corvel at (1, 4), the Brugak at (5, 3), the exit at (6, 3). Corvel can go down, left.");
    await page.context().close();
  });

  test("scrolling keys and typed characters leave the page where it is", async () => {
    const page = await h.openPage(session, session.url, { viewport: { width: 300, height: 200 } });
    for (const key of ["ArrowDown", "PageDown", "End", "Space", "s"]) await page.keyboard.press(key);
    await h.press(page, "w");
    assert.deepEqual(await page.evaluate(() => [scrollX, scrollY]), [0, 0]);
    await page.context().close();
  });
});

describe("the end of a game", () => {
  for (const [name, level, keys, caption, text, words] of [
    ["a win", "escape-in-one.dat", "d", "Congratulations!", "Corvel has escaped from the maze!", "Corvel has escaped."],
    ["a loss", "caught-on-waiting.dat", "f", "Game Over!", "Corvel has died.", "Corvel has died."],
  ]) {
    test(`${name}: one box, with its OK button focused, and none after`, async () => {
      session.setLevel(level);
      try {
        const page = await h.openPage(session);
        await h.typeKeys(page, [...keys]);
        assert.deepEqual(await h.readBox(page), { caption, text, focused: "OK", buttons: ["OK"] });
        await h.closeBox(page, "Escape");
        assert.equal(await h.boardDifference(page, fixture(level), keys), null);
        assert.ok((await page.locator("#board-words").textContent()).endsWith(". " + words));
        await h.typeKeys(page, ["f", "d", "w"]);
        assert.equal(await h.boxOpen(page), false);
        // New Game after the end: a fresh game that ends with its own box again.
        await newGame(page);
        assert.equal(await h.boardDifference(page, fixture(level)), null);
        await h.typeKeys(page, [...keys]);
        assert.equal((await h.readBox(page)).caption, caption);
        await page.getByRole("button", { name: "OK" }).click();
        assert.equal(await h.boxOpen(page), false);
        await page.context().close();
      } finally {
        session.restoreLevel();
      }
    });
  }

  test("New Game in the middle of a game starts it again, reading the level file afresh", async () => {
    const page = await h.openPage(session);
    await h.typeKeys(page, ["w", "a"]);
    await newGame(page);
    assert.equal(await h.boardDifference(page, bundled), null);
    // A level maker replaces the file: the next New Game plays the new one.
    session.setLevel("escape-in-one.dat");
    try {
      await newGame(page);
      assert.equal(await h.boardDifference(page, fixture("escape-in-one.dat")), null);
    } finally {
      session.restoreLevel();
    }
    await page.context().close();
  });
});

describe("menu commands", () => {
  test("Help > Instructions shows the instructions, line breaks as line breaks", async () => {
    const page = await h.openPage(session);
    await h.chooseMenu(page, "Help", "Instructions");
    assert.deepEqual(await h.readBox(page), { caption: "Instructions", text: INSTRUCTIONS, focused: "OK", buttons: ["OK"] });
    assert.equal(await page.locator("#message-text").evaluate((p) => getComputedStyle(p).whiteSpace), "pre-line");
    // While the box is up, keys are the box's, not the game's: "f" here would have lost the game.
    await page.keyboard.press("f");
    await h.closeBox(page, "Enter");
    assert.equal(await h.boardDifference(page, bundled), null);
    await page.context().close();
  });

  test("File > Exit ends the game in the page and says how to start again", async () => {
    const page = await h.openPage(session);
    await h.chooseMenu(page, "File", "Exit");
    await page.waitForSelector("#ended", { state: "visible" });
    assert.equal(await page.locator("#board").count(), 0);
    assert.equal(await page.getByRole("menubar").count(), 0);
    assert.match(await page.locator("#ended").innerText(), /The game has ended\.[\s\S]*reload this page/);
    await page.keyboard.press("f");
    await page.reload();
    await h.levelSettled(page);
    assert.equal(await h.boardDifference(page, bundled), null);
    await page.context().close();
  });
});

describe("the level the page opens on", () => {
  test("the site's level is the page's one paint as it opens", async () => {
    const page = await h.openPage(session);
    assert.equal(await h.paintCount(page), 1);
    assert.equal(await h.boardDifference(page, bundled), null);
    await page.context().close();
  });

  test("opened again, the page plays the site's level as it is now, though the browser keeps the site's files", async () => {
    session.setCacheable(true);
    const context = await session.browser.newContext();
    try {
      const first = await context.newPage();
      await first.goto(session.url);
      await h.levelSettled(first);
      // A level maker replaces the file and opens the page again.
      session.setLevel("escape-in-one.dat");
      const again = await context.newPage();
      await again.goto(session.url);
      await h.levelSettled(again);
      assert.equal(await h.boardDifference(again, fixture("escape-in-one.dat")), null);
    } finally {
      session.setCacheable(false);
      session.restoreLevel();
      await context.close();
    }
  });

  test("a site level refused as the page opens leaves the game's picture behind its box", async () => {
    for (const level of [null, "broken.dat"]) {
      level ? session.setLevel(level) : session.removeLevel();
      try {
        const page = await h.openPage(session);
        assert.equal((await h.readBox(page)).caption, TITLE);
        assert.equal(await h.paintCount(page), 1, level ?? "missing");
        await page.context().close();
      } finally {
        session.restoreLevel();
      }
    }
  });
});

describe("a level file the game refuses", () => {
  // The site's folder is named, as the desktop programs name the folder they looked in.
  const cases = [
    ["missing", null, (folder) => missing(folder)],
    ["broken", "broken.dat", (folder) => new RegExp(`^${escapeRegExp(folder)}GameData\\.dat:\\d+: `)],
    ["with an empty board", "empty-board.dat",
     (folder) => refused(`${folder}GameData.dat:1: the board must be at least 1 by 1, but it is 0 by 0`)],
  ];
  for (const [name, level, expected] of cases) {
    test(`${name}: the box says why, the game goes on, and a mended file plays at the next New Game`, async () => {
      const page = await h.openPage(session);
      const folder = await page.evaluate(() => new URL(".", location.href).href);
      await h.typeKeys(page, ["w"]);
      level ? session.setLevel(level) : session.removeLevel();
      try {
        await h.chooseMenu(page, "File", "New Game");
        const box = await h.readBox(page);
        assert.equal(box.caption, TITLE);
        const why = expected(folder);
        if (typeof why === "string") assert.equal(box.text, why);
        else {
          assert.match(box.text.split("\n\n")[1], why);
          assert.equal(box.text, refused(box.text.split("\n\n")[1]));
        }
        await h.closeBox(page);
        await h.typeKeys(page, ["a"]);
        assert.equal(await h.boardDifference(page, bundled, "wa"), null);
      } finally {
        session.restoreLevel();
      }
      await newGame(page);
      assert.equal(await h.boardDifference(page, bundled), null);
      await page.context().close();
    });
  }
});

describe("idle", () => {
  test("nothing is painted, and no frame or timer is asked for, while the player thinks", async () => {
    const context = await session.browser.newContext();
    // Counts every frame callback and timer the page asks for, from before its first script.
    await context.addInitScript(() => {
      window.asked = { frames: 0, timers: 0 };
      const count = (kind, original) => (...args) => (window.asked[kind]++, original.apply(window, args));
      window.requestAnimationFrame = count("frames", window.requestAnimationFrame);
      window.setTimeout = count("timers", window.setTimeout);
      window.setInterval = count("timers", window.setInterval);
    });
    const page = await context.newPage();
    await page.goto(session.url);
    await h.levelSettled(page);
    await h.typeKeys(page, ["w"]);
    const before = await page.evaluate(() => ({ paints: performance.getEntriesByName("corvel-paint").length, ...window.asked }));
    // A second of the player thinking: an observation window, not a wait for something to happen.
    await new Promise((resolve) => setTimeout(resolve, 1000));
    const later = await page.evaluate(() => ({ paints: performance.getEntriesByName("corvel-paint").length, ...window.asked }));
    assert.deepEqual(later, before);
    assert.deepEqual({ frames: later.frames, timers: later.timers }, { frames: 0, timers: 0 });
    await context.close();
  });
});
