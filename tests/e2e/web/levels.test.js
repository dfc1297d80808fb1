// Levels from elsewhere than the site, and play without a keyboard: a local file (picker and
// drag-and-drop), a link that carries a level, the page's link to its level, taps, swipes and "wait".
"use strict";

const assert = require("node:assert/strict");
const fs = require("node:fs");
const path = require("node:path");
const { after, before, describe, test } = require("node:test");
const h = require("./harness");

const { bundled, fixture } = h;
const crlfLevel = path.join(__dirname, "..", "..", "levels", "short-crlf.dat");
const linkTo = (session, file, name = path.basename(file)) =>
  `${session.url}#level=${fs.readFileSync(file).toString("base64url")}&name=${encodeURIComponent(name)}`;
const { refused } = h;

let session;
before(async () => {
  session = await h.startSession();
});
after(() => session.close());

const { newGame } = h;

describe("a level from a local file", () => {
  test("opened with the picker plays instead of the site's, and New Game plays it again", async () => {
    const page = await h.openPage(session);
    await page.locator("#level-file").setInputFiles(fixture("escape-in-one.dat"));
    await h.levelSettled(page);
    assert.equal(await h.boardDifference(page, fixture("escape-in-one.dat")), null);
    assert.match(page.url(), /#level=[A-Za-z0-9_-]+&name=escape-in-one\.dat$/);
    await h.typeKeys(page, ["s"]);
    await newGame(page);
    assert.equal(await h.boardDifference(page, fixture("escape-in-one.dat")), null);
    await page.context().close();
  });

  test("dropped onto the page plays, its bytes exactly (carriage returns included)", async () => {
    const page = await h.openPage(session);
    const dropped = await page.evaluateHandle((bytes) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([new Uint8Array(bytes)], "short-crlf.dat"));
      return transfer;
    }, [...fs.readFileSync(crlfLevel)]);
    await page.dispatchEvent("#board", "dragover", { dataTransfer: dropped });
    await page.dispatchEvent("#board", "drop", { dataTransfer: dropped });
    await h.levelSettled(page);
    assert.equal(await h.boardDifference(page, crlfLevel), null);
    await page.context().close();
  });

  test("refused: the box names the file, line and fault, and the game goes on", async () => {
    const page = await h.openPage(session);
    await h.typeKeys(page, ["w"]);
    await page.locator("#level-file").setInputFiles(fixture("broken.dat"));
    const box = await h.readBox(page);
    assert.equal(box.caption, "Corvel and the Brugak");
    assert.equal(box.text, refused("broken.dat:1: " + box.text.split("broken.dat:1: ")[1].split("\n")[0]));
    await h.closeBox(page);
    await h.typeKeys(page, ["a"]);
    assert.equal(await h.boardDifference(page, bundled, "wa"), null);
    await newGame(page);  // still the site's level
    assert.equal(await h.boardDifference(page, bundled), null);
    await page.context().close();
  });

  test("too large for a link (notes after its cells): it plays, the address carries no link, Copy link says so", async () => {
    const page = await h.openPage(session);
    await h.dropFile(page, "#board", "noted.dat", fs.readFileSync(fixture("escape-in-one.dat"), "latin1"), 2);
    await h.levelSettled(page);
    assert.equal(await h.boardDifference(page, fixture("escape-in-one.dat")), null);
    assert.equal(new URL(page.url()).hash, "");
    await page.getByRole("button", { name: /Copy link/ }).click();
    assert.equal(await page.locator("#status-text").textContent(), "This level is too large for a link.");
    assert.equal(await page.locator("#level-link").isHidden(), true);
    await page.context().close();
  });

  test("over the size the page opens: turned away unread, and the game goes on", async () => {
    const page = await h.openPage(session);
    await h.typeKeys(page, ["d"]);
    await h.dropFile(page, "#board", "huge.dat", "", 300);
    assert.equal((await h.readBox(page)).text, refused("huge.dat: is 314,572,800 bytes; the page opens level files of up to 268,435,456 bytes (256 MB)"));
    await h.closeBox(page);
    await h.typeKeys(page, ["d"]);
    assert.equal(await h.boardDifference(page, bundled, "dd"), null);
    await page.context().close();
  });
});


// Copy link, as the player presses it; the link the page shows once it says the link is copied (the
// copying is fetched at the first press, so the link comes a moment after the click).
async function copyLink(page) {
  await page.getByRole("button", { name: "Copy link to this level" }).click();
  await page.waitForFunction(() => /^(Link copied|Copy this link):$/.test(document.getElementById("status-text").textContent));
  return page.locator("#level-link").inputValue();
}
describe("a level from a link", () => {
  test("plays the level the link carries, again at New Game, and the page's own link gives it back", async () => {
    const context = await session.browser.newContext({ permissions: ["clipboard-read", "clipboard-write"] });
    const page = await context.newPage();
    await page.goto(linkTo(session, crlfLevel));
    await h.levelSettled(page);
    assert.equal(await h.boardDifference(page, crlfLevel), null);
    await newGame(page);
    assert.equal(await h.boardDifference(page, crlfLevel), null);
    const shown = await copyLink(page);
    const copied = await page.evaluate(() => navigator.clipboard.readText());
    assert.equal(shown, copied);
    const other = await context.newPage();
    await other.goto(copied);
    await h.levelSettled(other);
    assert.equal(await h.boardDifference(other, crlfLevel), null);
    await context.close();
  });

  test("the site's level has a link too", async () => {
    const page = await h.openPage(session);
    const link = await copyLink(page);
    assert.equal(link, linkTo(session, bundled, "GameData.dat"));
    await page.context().close();
  });

  const refusedLinks = [
    ["not base64url", "#level=not%20a*level", "the link: holds no level: its text is not base64url (letters, digits, - and _)"],
    ["a level the game refuses", `#level=${Buffer.from("0 0\n0 0\n0 0\n0 0\n").toString("base64url")}&name=empty.dat`, 
      "empty.dat:1: the board must be at least 1 by 1, but it is 0 by 0"],
    // A month past December is no date at all: the reader must say so, not stop the page.
    ["a day of no month", "#daily=2026-13-01", "the link: names no day: daily= takes a date as YYYY-MM-DD"],
  ];
  for (const [name, fragment, why] of refusedLinks) {
    test(`refused (${name}): the box says why; a fresh page plays the site's level, a page in play keeps its game`, async () => {
      const page = await (await session.browser.newContext()).newPage();
      await page.goto(session.url + fragment);
      const box = await h.readBox(page);
      assert.deepEqual([box.caption, box.text], ["Corvel and the Brugak", refused(why)]);
      await h.closeBox(page);
      await h.levelSettled(page);
      assert.equal(await h.boardDifference(page, bundled), null);
      // The same link followed in a page with a game in progress.
      await h.typeKeys(page, ["w"]);
      await page.goto(session.url + "#");
      await h.levelSettled(page);
      await h.typeKeys(page, ["w"]);
      await page.goto(session.url + fragment);
      await h.readBox(page);
      await h.closeBox(page);
      await h.levelSettled(page);
      assert.equal(await h.boardDifference(page, bundled, "w"), null);
      await page.context().close();
    });
  }
});

describe("touch and pointer play", () => {
  test("a tap beside Corvel moves him that way, a swipe moves him, and the wait control gives a turn", async () => {
    const page = await h.openPage(session, session.url, { hasTouch: true, isMobile: true, viewport: { width: 360, height: 640 } });
    const box = await page.locator("#board").boundingBox();
    const at = (x, y) => [box.x + (x * box.width) / 181, box.y + (y * box.height) / 211];
    // Corvel starts in cell (0, 4), whose centre is (15, 135): tap to his right.
    await h.afterRepaint(page, () => page.touchscreen.tap(...at(60, 135)));
    assert.equal(await h.boardDifference(page, bundled, "d"), null);
    // A swipe to the left, anywhere on the board.
    const cdp = await page.context().newCDPSession(page);
    const [x0, y0] = at(160, 180);
    await h.afterRepaint(page, async () => {
      await cdp.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x: x0, y: y0 }] });
      for (let step = 1; step <= 4; ++step)
        await cdp.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: [{ x: x0 - step * 20, y: y0 + step }] });
      await cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
    });
    assert.equal(await h.boardDifference(page, bundled, "da"), null);
    assert.deepEqual(await page.evaluate(() => [scrollX, scrollY]), [0, 0]);
    // The wait control passes a turn, as "f" does: the Brugak comes two steps nearer.
    await newGame(page);
    // Clicked, not tapped: on a busy machine Chromium may take a slow tap for a long press, which
    // no button answers.
    await h.afterRepaint(page, () => page.getByRole("button", { name: "Wait a turn (f)" }).click());
    assert.equal(await h.boardDifference(page, bundled, "f"), null);
    await page.context().close();
  });
});
