// The site played without a network after one visit: its service worker keeps every file, the level
// file is asked of the network first, a new version waits for the player, and the app's manifest.
// CORVEL_SITE_FOLDER serves the whole suite from a sub-folder of the host, as a site may be put.
"use strict";

const assert = require("node:assert/strict");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { after, afterEach, before, describe, test } = require("node:test");
const h = require("./harness");

const folder = process.env.CORVEL_SITE_FOLDER || "/";
const { bundled, fixture, newGame } = h;
const TITLE = "Corvel and the Brugak";

const packFolder = path.join(__dirname, "..", "..", "..", "levels");
const pack = fs.readFileSync(path.join(packFolder, "manifest.tsv"), "utf8").split("\n")
  .filter((line) => line && !line.startsWith("#") && !line.startsWith("file\t"))
  .map((line) => line.split("\t")[0])
  .filter((file) => !file.includes("/"));
const tool = (...args) => JSON.parse(execFileSync(process.env.CORVEL_LEVEL_TOOL, args, { encoding: "utf8" }));

let session;
before(async () => {
  session = await h.startSession({ folder });
});
after(() => session.close());
// A test that failed with the host out of reach leaves it in reach for the next.
afterEach(() => session.setReachable(true));

// A first visit in a browser that lets the site's worker in: returns once the worker keeps the site
// and serves the page.
async function firstVisit(s = session) {
  const context = await s.browser.newContext({ serviceWorkers: "allow", viewport: { width: 900, height: 900 } });
  const page = await context.newPage();
  page.setDefaultTimeout(60000);
  h.watchFaults(s, page);
  await page.goto(s.url);
  await h.levelSettled(page);
  await page.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  return { context, page };
}

// No network for `context`. The browser's offline mode leaves out the service worker's own requests,
// so the site's host goes out of reach too, as it is for a player on a plane.
async function goOffline(context, s = session) {
  await context.setOffline(true);
  s.setReachable(false);
}

async function goOnline(context, s = session) {
  s.setReachable(true);
  await context.setOffline(false);
}

// Whether the page could fetch `name`, as the player's browser would.
const fetches = (page, name) => page.evaluate((n) => fetch(n).then((r) => r.ok, () => false), name);

describe("after a first visit, with no network", () => {
  let visit;
  before(async () => {
    visit = await firstVisit();
    await goOffline(visit.context);
  });
  after(async () => {
    await goOnline(visit.context);
    await visit.context.close();
  });

  test("the game reloads and paints its start pixel for pixel as corvel-level render", async () => {
    const { page } = visit;
    await page.reload();
    await h.levelSettled(page);
    assert.equal(await page.title(), TITLE);
    assert.equal(await h.boardDifference(page, bundled), null);
    assert.equal(await h.boxOpen(page), false);
  });

  test("a file that was never part of the site is not there: the network is really gone", async () => {
    fs.writeFileSync(path.join(session.root, "never-kept.txt"), "on the host, never kept\n");
    try {
      assert.equal(await fetches(visit.page, "never-kept.txt"), false);
      assert.equal(await fetches(visit.page, "corvel.css"), true);
    } finally {
      fs.rmSync(path.join(session.root, "never-kept.txt"));
    }
  });

  test("the levels page lists the pack with its pictures, and every pack level plays its start", async () => {
    const { page } = visit;
    await page.goto(session.url + "levels.html");
    await page.waitForSelector("#pack[aria-busy=false]");
    const shown = await page.locator(".pack li").evaluateAll((items) => items.map((li) => li.querySelector("canvas") !== null));
    assert.deepEqual(shown, pack.map(() => true));
    for (const [index, file] of pack.entries()) {
      await page.goto(`${session.url}#pack=${index + 1}`);
      await h.levelSettled(page);
      assert.equal(await h.boardDifference(page, path.join(packFolder, file)), null, file);
    }
  });

  test("the daily level is the one its command makes, and a hint comes from the solver", async () => {
    const { page } = visit;
    const date = "2026-12-10";
    await page.goto(`${session.url}#daily=${date}`);
    await page.waitForFunction((d) => document.getElementById("level-title").textContent.includes(d), date);
    await h.levelSettled(page);
    const [, , out, ...options] = (await page.locator("#daily-command-text").textContent()).split(" ");
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), "corvel-daily-"));
    try {
      execFileSync(process.env.CORVEL_LEVEL_TOOL, ["generate", path.join(dir, out), ...options], { stdio: "ignore" });
      assert.equal(await h.boardDifference(page, path.join(dir, out)), null);
      const { length } = tool("solve", path.join(dir, out), "--json");
      await page.getByRole("button", { name: "Hint" }).click();
      await page.waitForFunction(() => /^Hint: .+\(/.test(document.getElementById("hint-text").textContent));
      assert.match(await page.locator("#hint-text").textContent(), new RegExp(`^Hint: . \\(a shortest win from here takes ${length} keys\\)$`));
    } finally {
      fs.rmSync(dir, { recursive: true, force: true });
    }
  });

  test("the editor opens the site's level and its worker gives the solver's verdict", async () => {
    const { page } = visit;
    await page.goto(session.url + "editor.html");
    await page.waitForSelector("#verdict[aria-busy=false]", { state: "attached" });
    const { length } = tool("solve", bundled, "--json");
    assert.match(await page.locator("#verdict").textContent(), new RegExp(`^can be won in ${length} keys`));
    assert.equal(await page.locator("#error").isHidden(), true);
  });
});

describe("the level file", () => {
  test("online a replaced file plays at New Game; offline New Game plays the copy fetched last and says why", async () => {
    const { context, page } = await firstVisit();
    session.setLevel("escape-in-one.dat");
    try {
      await newGame(page);
      assert.equal(await h.boardDifference(page, fixture("escape-in-one.dat")), null);
      assert.equal(await h.boxOpen(page), false);
    } finally {
      session.restoreLevel();
    }
    await goOffline(context);
    await newGame(page);
    assert.deepEqual(await h.readBox(page), {
      caption: TITLE, focused: "OK", buttons: ["OK"],
      text: "The site could not be reached, so this game plays the copy of GameData.dat fetched last.",
    });
    await h.closeBox(page);
    assert.equal(await h.boardDifference(page, fixture("escape-in-one.dat")), null);
    // Back online, the site's own file again, and nothing to say.
    await goOnline(context);
    await newGame(page);
    assert.equal(await h.boardDifference(page, bundled), null);
    assert.equal(await h.boxOpen(page), false);
    await context.close();
  });

  test("with no copy kept, offline New Game says the site cannot be reached, not that the file is broken", async () => {
    const page = await h.openPage(session);
    await goOffline(page.context());
    await h.typeKeys(page, ["d"]);
    await h.chooseMenu(page, "File", "New Game");
    const box = await h.readBox(page);
    assert.match(box.text, /^The level cannot be loaded\.\n\nThe site could not be reached: GameData\.dat could not be fetched \(.+\)\.\n\nConnect to the network, then choose New Game from the File menu\.$/);
    assert.doesNotMatch(box.text, /Mend the file/);
    await h.closeBox(page);
    // The game goes on where it was.
    assert.equal(await h.boardDifference(page, bundled, "d"), null);
    await goOnline(page.context());
    await page.context().close();
  });
});

// A PNG's width and height, from its header; null for anything that is not a PNG.
function pngSize(bytes) {
  const signature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
  if (bytes.length < 24 || !bytes.subarray(0, 8).equals(signature) || bytes.toString("latin1", 12, 16) !== "IHDR") return null;
  return `${bytes.readUInt32BE(16)}x${bytes.readUInt32BE(20)}`;
}

describe("the app's manifest", () => {
  for (const name of ["index.html", "levels.html", "editor.html"]) {
    test(`${name} links it; it names the game, stays in the site's folder, and its icons are PNGs of the sizes they claim`, async () => {
      const context = await session.browser.newContext();
      const page = await context.newPage();
      h.watchFaults(session, page);
      await page.goto(session.url + name);
      const address = await page.evaluate(() => document.querySelector("link[rel=manifest]").href);
      await context.close();
      const response = await fetch(address);
      assert.equal(response.headers.get("content-type"), "application/manifest+json");
      const manifest = await response.json();
      assert.deepEqual([manifest.name, manifest.short_name, manifest.display], [TITLE, "Corvel", "standalone"]);
      assert.equal(new URL(manifest.start_url, address).href, session.url);
      assert.equal(new URL(manifest.scope, address).href, session.url);
      assert.deepEqual(manifest.icons.map((i) => i.purpose).sort(), ["any", "any", "maskable"]);
      for (const icon of manifest.icons) {
        const picture = await fetch(new URL(icon.src, address));
        assert.equal(picture.ok, true, icon.src);
        assert.equal(icon.type, "image/png");
        assert.equal(pngSize(Buffer.from(await picture.arrayBuffer())), icon.sizes, icon.src);
      }
      assert.deepEqual([...new Set(manifest.icons.map((i) => i.sizes))].sort(), ["192x192", "512x512"]);
    });
  }
});

describe("a new version of the site", () => {
  test("waits for the player in one line, never reloads a game under them, and its store replaces the old", async () => {
    // A site of its own, rebuilt in place: one file changed, and the worker's version with it.
    const rebuilt = await h.startSession({ folder });
    try {
      const { context, page } = await firstVisit(rebuilt);
      const stores = () => page.evaluate(() => caches.keys());
      const [oldStore] = await stores();
      const workerFile = path.join(rebuilt.root, "service-worker.js");
      const worker = fs.readFileSync(workerFile, "utf8");
      const [, oldVersion] = /storePrefix \+ "([0-9a-f]+)"/.exec(worker);
      assert.ok(oldStore.endsWith(` ${oldVersion}`), oldStore);
      const newVersion = (oldVersion.startsWith("0") ? "1" : "0").repeat(oldVersion.length);
      fs.appendFileSync(path.join(rebuilt.root, "corvel.css"), "/* rebuilt */\n");
      fs.writeFileSync(workerFile, worker.replace(`storePrefix + "${oldVersion}"`, `storePrefix + "${newVersion}"`));

      // A game in progress when the browser finds the new version.
      await h.typeKeys(page, ["d"]);
      await page.evaluate(() => (window.stillThisPage = true));
      await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
      await page.waitForSelector("#new-version");
      assert.equal(await page.locator("#new-version").innerText(), "A new version is ready: reload");
      assert.equal(await page.evaluate(() => window.stillThisPage), true);
      assert.equal(await h.boardDifference(page, bundled, "d"), null);
      assert.equal((await stores()).length, 2);

      // The player's choice: the new version takes over, the page reloads, the old store is gone.
      await Promise.all([page.waitForEvent("load"), page.getByRole("button", { name: "reload" }).click()]);
      await h.levelSettled(page);
      assert.equal(await page.evaluate(() => window.stillThisPage), undefined);
      assert.deepEqual(await stores(), [oldStore.replace(/ [0-9a-f]+$/, ` ${newVersion}`)]);
      assert.equal(await page.locator("#new-version").count(), 0);
      await goOffline(context, rebuilt);
      const style = await page.evaluate(() => fetch("corvel.css").then((r) => r.text()));
      assert.ok(style.endsWith("/* rebuilt */\n"), "offline, the new version's file is served");
      await context.close();
    } finally {
      await rebuilt.close();
    }
  });
});
