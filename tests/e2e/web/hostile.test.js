// Links, names and files as a hostile or careless player makes them: the game page bounds and
// shows them inertly, refuses what it cannot read with the level box, and the game goes on.
"use strict";

const assert = require("node:assert/strict");
const fs = require("node:fs");
const { after, before, describe, test } = require("node:test");
const h = require("./harness");

const { bundled, fixture, refused } = h;
const escapeInOne = fixture("escape-in-one.dat");
const level = fs.readFileSync(escapeInOne).toString("base64url");
const hugeName = "x".repeat(1310000);  // past the module's stack, had it been copied there
// The way LevelName shows a name over 80 characters: its start and its end around an ellipsis.
const shortened = (name) => [...name].slice(0, 55).join("") + "…" + [...name].slice(-24).join("");

let session;
before(async () => {
  session = await h.startSession();
});
after(() => session.close());

// Chromium itself takes seconds over an address of megabytes, hence the longer wait for those.
async function openAt(fragment) {
  const page = await (await session.browser.newContext({ viewport: { width: 480, height: 560 } })).newPage();
  page.setDefaultTimeout(fragment.length > 100000 ? 120000 : 20000);
  h.watchFaults(session, page);
  await page.goto(session.url + fragment);
  return page;
}

// The game goes on after a link: a key moves Corvel on the board the page should be showing.
async function stillPlays(page, levelFile, keys = "d") {
  await h.levelSettled(page);
  await h.typeKeys(page, [...keys]);
  assert.equal(await h.boardDifference(page, levelFile, keys), null);
}

describe("links that carry a level", () => {
  const played = [
    ["a name of 1.31 million characters", `#level=${level}&name=${hugeName}`],
    ["the field's name written with escapes", `#%6Cevel=${level}`],
  ];
  for (const [what, fragment] of played) {
    test(`plays (${what})`, async () => {
      const page = await openAt(fragment);
      await stillPlays(page, escapeInOne, "s");
      await page.context().close();
    });
  }

  const refusedLinks = [
    ["#level with no =", "#level", "the link: holds no level: nothing follows its level="],
    ["#level with no = and a name", "#level&name=x.dat", "x.dat: holds no level: nothing follows its level="],
    ["a line break in the name", `#level=*&name=${encodeURIComponent("a.dat\nThe level is fine. Ignore this box.")}`,
      "a.dat\\u000AThe level is fine. Ignore this box.: holds no level: its text is not base64url (letters, digits, - and _)"],
    ["a right-to-left override in the name", `#level=*&name=${encodeURIComponent("evil\u202Etad.exe")}`,
      "evil\\u202Etad.exe: holds no level: its text is not base64url (letters, digits, - and _)"],
    ["a name of 1.31 million characters", `#level=*&name=${hugeName}`,
      `${shortened(hugeName)}: holds no level: its text is not base64url (letters, digits, - and _)`],
  ];
  for (const [what, fragment, why] of refusedLinks) {
    test(`refused with the level box (${what}), then the site's level plays`, async () => {
      const page = await openAt(fragment);
      const box = await h.readBox(page);
      assert.equal(box.text, refused(why));
      await h.closeBox(page);
      await stillPlays(page, bundled);
      await page.context().close();
    });
  }

  test("a huge name arriving by a hash change keeps the game alive, and the next link plays", async () => {
    const page = await openAt("");
    page.setDefaultTimeout(120000);
    await stillPlays(page, bundled, "w");
    await page.evaluate((fragment) => (location.hash = fragment), `level=*&name=${hugeName}`);
    await h.readBox(page);
    await h.closeBox(page);
    await h.typeKeys(page, ["d"]);
    assert.equal(await h.boardDifference(page, bundled, "wd"), null);
    await page.evaluate((fragment) => (location.hash = fragment), `level=${level}&name=${hugeName}`);
    await stillPlays(page, escapeInOne, "s");
    await h.newGame(page);
    assert.equal(await h.boardDifference(page, escapeInOne), null);
    await page.context().close();
  });

  test("a 10,000-character name stays inside the box and the page", async () => {
    const page = await openAt(`#level=*&name=${"W".repeat(10000)}`);
    await h.readBox(page);
    const sizes = await page.evaluate(() => ({
      box: document.getElementById("message").getBoundingClientRect().right,
      viewport: innerWidth,
      page: document.documentElement.scrollWidth,
    }));
    assert.ok(sizes.box <= sizes.viewport && sizes.page <= sizes.viewport, JSON.stringify(sizes));
    await page.context().close();
  });
});

describe("the page's policy", () => {
  test("a missing level file is told under a policy that forbids eval, naming the site's folder", async () => {
    session.removeLevel();
    try {
      const page = await openAt("");
      const box = await h.readBox(page);
      assert.match(box.text, new RegExp(`There is no GameData.dat in the folder ${session.url.replace(/\./g, "\\.")}\\n`));
      await page.context().close();
    } finally {
      session.restoreLevel();
    }
  });

  test("inline script does not run, and every page declares the policy", async () => {
    for (const name of fs.readdirSync(h.site).filter((n) => n.endsWith(".html"))) {
      const html = fs.readFileSync(`${h.site}/${name}`, "utf8");
      assert.match(html, /<meta http-equiv="Content-Security-Policy" content="[^"]*script-src 'self' 'wasm-unsafe-eval'/, name);
      assert.doesNotMatch(html, /<script(?![^>]*\bsrc=)[^>]*>|\son[a-z]+=/i, `${name} has inline script`);
    }
    const page = await openAt("");
    await h.levelSettled(page);
    page.refusalsExpected = true;
    // The test's own evaluate is exempt from the policy; a script element or a timer's text is not.
    const ran = await page.evaluate(async () => {
      const refusals = [];
      document.addEventListener("securitypolicyviolation", (e) => refusals.push(e.violatedDirective));
      document.head.append(Object.assign(document.createElement("script"), { textContent: "window.inlineRan = true" }));
      setTimeout("window.timerTextRan = true", 0);
      await new Promise((resolve) => setTimeout(resolve, 200));
      return { inline: window.inlineRan ?? false, timerText: window.timerTextRan ?? false, refusals: [...new Set(refusals)].sort() };
    });
    assert.deepEqual(ran, { inline: false, timerText: false, refusals: ["script-src", "script-src-elem"] });
    await page.context().close();
  });
});

describe("dropped files", () => {
  test("of many dropped at once the first is played, and the page says so", async () => {
    const page = await openAt("");
    await h.levelSettled(page);
    const text = fs.readFileSync(escapeInOne, "latin1");
    const transfer = await page.evaluateHandle((text) => {
      const transfer = new DataTransfer();
      for (let i = 1; i <= 20; ++i) transfer.items.add(new File([text], `level-${i}.dat`));
      return transfer;
    }, text);
    await h.afterRepaint(page, () => page.dispatchEvent("#board", "drop", { dataTransfer: transfer }));
    await stillPlays(page, escapeInOne, "s");
    assert.equal(await page.locator("#status-text").textContent(),
      "Only one level file is opened at a time: level-1.dat, not the 19 others.");
    await page.context().close();
  });

  test("dropped while a box is open: said at once, played when the box closes", async () => {
    const page = await openAt("");
    await h.levelSettled(page);
    await h.chooseMenu(page, "Help", "Instructions");
    await h.readBox(page);
    await h.dropFile(page, "#board", "later.dat", fs.readFileSync(escapeInOne, "latin1"));
    assert.equal(await page.locator("#status-text").textContent(), "later.dat opens when the box is closed.");
    await h.afterRepaint(page, () => h.closeBox(page));
    await stillPlays(page, escapeInOne, "s");
    await page.context().close();
  });

  test("a file one byte over the limit is told its size in bytes", async () => {
    const page = await openAt("");
    await h.levelSettled(page);
    await h.dropFile(page, "#board", "big.dat", "x", 256);
    assert.equal((await h.readBox(page)).text,
      refused("big.dat: is 268,435,457 bytes; the page opens level files of up to 268,435,456 bytes (256 MB)"));
    await page.context().close();
  });
});
