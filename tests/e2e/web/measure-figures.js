// The web edition's figures, measured in headless Chromium (a measuring script, not a test):
// bytes fetched for the first paint, navigation to the first painted board, key press to repaint.
// Run: node tests/e2e/web/measure-figures.js  (after cmake --build --preset web; CORVEL_SITE names another site)
"use strict";

process.env.CORVEL_SITE ||= require("node:path").resolve(__dirname, "../../../build/web/site");
const fs = require("node:fs");
const path = require("node:path");
const zlib = require("node:zlib");
const h = require("./harness");

const quantile = (values, q) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) * q)];
const median = (values) => quantile(values, 0.5);
// The middle half of the runs, to show how far one median can be trusted on a shared machine.
const spread = (values) => `${quantile(values, 0.25).toFixed(1)}–${quantile(values, 0.75).toFixed(1)}`;
const kb = (bytes) => (bytes / 1024).toFixed(1) + " KB";
const ms = (value) => value.toFixed(2) + " ms";

// A page that paints a board-sized canvas at once: what any page costs here, the baseline. Its
// script is a file of its own, as the site's policy (sent by the test server) allows no other.
const baselinePage = `<!doctype html><title>baseline</title><canvas id=c width=181 height=211></canvas><script src=baseline.js></script>`;
const baselineScript = `c.getContext("2d").fillRect(0, 0, 181, 211); performance.mark("corvel-paint");
document.addEventListener("keydown", () => performance.mark("corvel-paint"));`;

async function firstPaintBytes(session) {
  const page = await (await session.browser.newContext()).newPage();
  const fetched = [];
  page.on("response", async (r) => fetched.push({ name: new URL(r.url()).pathname, body: await r.body().catch(() => Buffer.alloc(0)) }));
  await page.goto(session.url);
  await h.levelSettled(page);
  await page.context().close();
  return fetched.map(({ name, body }) => ({ name, raw: body.length, gzipped: zlib.gzipSync(body, { level: 9 }).length }));
}

// A new browser window loads pages of its own (its address bar's) in its first moments, on the same
// two cores: each navigation waits for them to finish, the game's and the baseline's alike.
const windowSettled = () => new Promise((resolve) => setTimeout(resolve, 1000));

// Milliseconds from navigation to the paint that showed the level (the last paint once it settled).
async function navigationToBoard(session, url) {
  const page = await (await session.browser.newContext()).newPage();
  await windowSettled();
  await page.goto(url);
  if (url === session.url) await h.levelSettled(page);
  const time = await page.evaluate(() => performance.getEntriesByName("corvel-paint").at(-1).startTime);
  await page.context().close();
  return time;
}

// Milliseconds from the key's event to the paint it caused, and to the next frame after it.
async function keyToRepaint(session, url, key, count) {
  const page = await (await session.browser.newContext()).newPage();
  await page.goto(url);
  if (url === session.url) await h.levelSettled(page);
  await page.evaluate(() => {
    window.keyTimes = [];
    document.addEventListener("keydown", (e) => {
      const entry = { event: e.timeStamp };
      window.keyTimes.push(entry);
      requestAnimationFrame(() => (entry.frame = performance.now()));
    }, true);
  });
  const painted = [];
  const framed = [];
  for (let i = 0; i < count; ++i) {
    const before = await h.paintCount(page);
    await page.keyboard.press(key);
    await h.waitForPaints(page, before + 1);
    await page.waitForFunction((n) => window.keyTimes[n] && window.keyTimes[n].frame, i);
    const { event, frame, paint } = await page.evaluate((n) => ({
      ...window.keyTimes[n], paint: performance.getEntriesByName("corvel-paint").at(-1).startTime,
    }), i);
    painted.push(paint - event);
    framed.push(frame - event);
  }
  await page.context().close();
  return { painted: median(painted), framed: median(framed) };
}

(async () => {
  const session = await h.startSession();
  fs.writeFileSync(path.join(session.root, "baseline.html"), baselinePage);
  fs.writeFileSync(path.join(session.root, "baseline.js"), baselineScript);
  const baseline = session.url + "baseline.html";
  try {
    const files = await firstPaintBytes(session);
    const page = files.filter((f) => /\.(html|js|css|wasm)$/.test(f.name) || f.name === "/");
    const sum = (list, field) => list.reduce((total, f) => total + f[field], 0);
    console.log("Bytes fetched for the first paint:");
    for (const f of files) console.log(`  ${f.name.padEnd(18)} ${String(f.raw).padStart(7)} raw ${String(f.gzipped).padStart(7)} gzipped`);
    console.log(`  page (.html .js .css .wasm): ${kb(sum(page, "raw"))} raw, ${kb(sum(page, "gzipped"))} gzipped (goal: at most 40 KB gzipped)`);

    // The two pages alternate, so that a busy moment of the machine falls on both alike.
    const runs = 31;
    const game = [];
    const plain = [];
    for (let i = 0; i < runs; ++i) {
      game.push(await navigationToBoard(session, session.url));
      plain.push(await navigationToBoard(session, baseline));
    }
    console.log(`Navigation to the first painted board, median of ${runs}: ${ms(median(game))} (middle half ${spread(game)}; ` +
      `goal under 300 ms); a page that only paints a canvas: ${ms(median(plain))} (${spread(plain)}); ` +
      `ratio ${(median(game) / median(plain)).toFixed(2)} (goal: at most 2.5)`);

    const keys = 100;
    const wall = await keyToRepaint(session, session.url, "a", keys);  // a wall: no turn, but a full repaint
    const none = await keyToRepaint(session, baseline, "a", keys);
    console.log(`Key press to repainted board, median of ${keys}: ${ms(wall.painted)} to the board's paint, ` +
      `${ms(wall.framed)} to the next frame (goal under 16 ms); the baseline page: ${ms(none.framed)} to the next frame; ` +
      `ratio ${(wall.framed / none.framed).toFixed(2)}`);
  } finally {
    await session.close();
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
