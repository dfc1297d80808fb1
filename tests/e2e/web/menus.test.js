// The menu bar as a desktop menu bar works: its roles for screen readers, the mouse, and the
// keyboard (F10, the arrow keys, Enter and Escape), and keys that go to the menu rather than the game.
"use strict";

const assert = require("node:assert/strict");
const path = require("node:path");
const { after, before, test } = require("node:test");
const h = require("./harness");

const { bundled } = h;

let session;
before(async () => {
  session = await h.startSession();
});
after(() => session.close());

const focused = (page) => page.evaluate(() => document.activeElement.textContent.trim());
const expanded = (page, name) => page.getByRole("menuitem", { name, exact: true }).getAttribute("aria-expanded");

test("the menu bar, its menus and items carry the roles a screen reader announces, in the desktop's order", async () => {
  const page = await h.openPage(session);
  const bar = page.getByRole("menubar");
  assert.deepEqual(await bar.locator(":scope > li > [role=menuitem]").allTextContents(), ["File", "Help"]);
  const entries = async (menu) =>
    page.locator(`#${await page.getByRole("menuitem", { name: menu, exact: true }).getAttribute("aria-controls")} > li`)
      .evaluateAll((items) => items.map((li) => (li.getAttribute("role") === "separator" ? "-" : li.firstElementChild.getAttribute("role") + ":" + li.textContent.trim())));
  assert.deepEqual(await entries("File"), ["menuitem:New Game", "-", "menuitem:Exit"]);
  assert.deepEqual(await entries("Help"), ["menuitem:Instructions"]);
  assert.equal(await page.getByRole("menuitem", { name: "File", exact: true }).getAttribute("aria-haspopup"), "menu");
  await page.context().close();
});

test("F10, the arrow keys, Enter and Escape work the menus; while they have the keyboard, letters do not play", async () => {
  const page = await h.openPage(session);
  await page.keyboard.press("F10");
  assert.equal(await focused(page), "File");
  await page.keyboard.press("ArrowLeft");  // wraps round to the last menu
  assert.equal(await focused(page), "Help");
  await page.keyboard.press("ArrowDown");
  assert.equal(await expanded(page, "Help"), "true");
  assert.equal(await focused(page), "Instructions");
  await page.keyboard.press("ArrowRight");  // across to the next menu, open
  assert.equal(await expanded(page, "File"), "true");
  assert.equal(await expanded(page, "Help"), "false");
  assert.equal(await focused(page), "New Game");
  await page.keyboard.press("ArrowDown");  // over the separator
  assert.equal(await focused(page), "Exit");
  await page.keyboard.press("ArrowUp");
  assert.equal(await focused(page), "New Game");
  await page.keyboard.press("f");  // a letter in a menu is no turn: "f" here would lose the game
  await page.keyboard.press("Escape");
  assert.equal(await expanded(page, "File"), "false");
  assert.equal(await focused(page), "File");
  await page.keyboard.press("Escape");
  assert.notEqual(await focused(page), "File");
  await h.press(page, "w");
  assert.equal(await h.boardDifference(page, bundled, "w"), null);
  // Help > Instructions from the keyboard alone, and the box closed by Escape.
  await page.keyboard.press("F10");
  await page.keyboard.press("ArrowRight");
  await page.keyboard.press("Enter");
  await page.keyboard.press("Enter");
  assert.equal((await h.readBox(page)).caption, "Instructions");
  await h.closeBox(page, "Escape");
  // File > New Game, then File > Exit, from the keyboard.
  await page.keyboard.press("F10");
  await h.afterRepaint(page, async () => {
    await page.keyboard.press("Enter");
    await page.keyboard.press("Enter");
  });
  await h.levelSettled(page);
  assert.equal(await h.boardDifference(page, bundled), null);
  await page.keyboard.press("F10");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("End");
  await page.keyboard.press("Enter");
  await page.waitForSelector("#ended", { state: "visible" });
  await page.context().close();
});

test("F10 pressed the moment a box closes keeps the menu: the board does not take the keyboard back from it", async () => {
  const page = await h.openPage(session);
  await page.keyboard.press("F10");
  await page.keyboard.press("ArrowLeft");
  await page.keyboard.press("Enter");
  await page.keyboard.press("Enter");
  await h.readBox(page);
  // Both keys land before the page hears that the box has closed, as they can on a busy machine.
  await page.evaluate(() => {
    const key = (target, name) => target.dispatchEvent(new KeyboardEvent("keydown", { key: name, bubbles: true, cancelable: true }));
    key(document.getElementById("message-ok"), "Escape");
    key(document.activeElement, "F10");
  });
  await page.waitForSelector("dialog#message", { state: "hidden" });
  await page.evaluate(() => new Promise((settled) => setTimeout(settled, 50)));
  assert.equal(await focused(page), "File");
  await page.context().close();
});

test("the mouse opens a menu, a second click or a click elsewhere closes it, and nothing is chosen", async () => {
  const page = await h.openPage(session);
  const file = page.getByRole("menuitem", { name: "File", exact: true });
  await file.click();
  assert.equal(await expanded(page, "File"), "true");
  assert.equal(await page.getByRole("menuitem", { name: "New Game" }).isVisible(), true);
  await file.click();
  assert.equal(await expanded(page, "File"), "false");
  await file.click();
  await page.mouse.click(400, 500);
  assert.equal(await expanded(page, "File"), "false");
  assert.equal(await page.getByRole("menuitem", { name: "New Game" }).isVisible(), false);
  assert.equal(await h.boxOpen(page), false);
  await page.context().close();
});
