// What the browser tests share: the site served from a copy of its own on 127.0.0.1, Debian's
// Chromium started headless through playwright-core, and the player's view of the page.
"use strict";

const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const http = require("node:http");
const os = require("node:os");
const path = require("node:path");
// playwright-core lives where the web build's web_e2e_packages test installed it, not in the sources.
const packages = process.env.CORVEL_WEB_PACKAGES || path.resolve(__dirname, "../../../build/web/tests/e2e/web");
const { chromium } = require(require.resolve("playwright-core", { paths: [packages] }));

const site = process.env.CORVEL_SITE;
const levelTool = process.env.CORVEL_LEVEL_TOOL;
const levels = path.join(__dirname, "levels");
const chromiumPath = process.env.CORVEL_CHROMIUM || "/usr/bin/chromium";
const timeout = 20000;

const types = {
  ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm", ".png": "image/png",
  ".json": "application/json", ".webmanifest": "application/manifest+json",
};
// The site's Content-Security-Policy, sent as a header as a careful host would, beside the pages' own.
const policy = fs.readFileSync(path.join(__dirname, "..", "..", "..", "platform", "web", "content-security-policy"), "utf8").trim();

// A throw-away copy of the site, so a test can replace or remove its level file as a level maker would.
function copySite() {
  if (!site || !fs.existsSync(path.join(site, "index.html"))) throw new Error(`CORVEL_SITE (${site}) holds no built site`);
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "corvel-site-"));
  fs.cpSync(site, dir, { recursive: true });
  return dir;
}

// A static server on an ephemeral port of 127.0.0.1; it answers only for files inside `root`, which
// it serves at `folder` (the site's index.html for the folder itself), as a host may serve a sub-folder.
// setReachable(false) makes it drop every request unanswered, as a host out of reach;
// setCacheable(true) lets the browser keep every file for an hour, as many hosts do.
async function serve(root, folder = "/") {
  let reachable = true;
  let cacheable = false;
  const server = http.createServer((request, response) => {
    if (!reachable) return request.socket.destroy();
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const inside = name.startsWith(folder) ? name.slice(folder.length) : null;
    const file = path.join(root, inside || "index.html");
    if (inside === null || !file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404, { "content-type": "text/plain" });
      return response.end("not found");
    }
    response.writeHead(200, {
      "content-type": types[path.extname(file)] || "application/octet-stream",
      "content-security-policy": policy,
      ...(cacheable ? { "cache-control": "max-age=3600" } : {}),
    });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}${folder}`,
    setReachable: (yes) => (reachable = yes),
    setCacheable: (yes) => (cacheable = yes),
    close: () => new Promise((r) => server.close(r)),
  };
}

const chromiumFlags = [
  "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
  "--disable-component-update", "--disable-sync",
];

// playwright-core starts every browser with a fresh profile of its own in a temporary folder. The
// site's service worker, which keeps the files of a first visit, is kept out unless a context asks
// for it (serviceWorkers: "allow"): the other tests change the site's files under a page on purpose.
async function launch() {
  const browser = await chromium.launch({ executablePath: chromiumPath, headless: true, args: chromiumFlags, timeout });
  const newContext = browser.newContext.bind(browser);
  browser.newContext = (options = {}) => newContext({ serviceWorkers: "block", ...options });
  browser.newPage = async (options) => {
    const context = await browser.newContext(options);
    const page = await context.newPage();
    page.once("close", () => context.close().catch(() => {}));
    return page;
  };
  return browser;
}

// One site, one server and one browser for a test file; each test opens its own page. `folder` is
// where the server puts the site.
async function startSession({ folder = "/" } = {}) {
  const root = copySite();
  const server = await serve(root, folder);
  const browser = await launch();
  return {
    pageFaults: [],
    root,
    url: server.url,
    browser,
    setReachable: server.setReachable,
    setCacheable: server.setCacheable,
    setLevel(fixture) { fs.copyFileSync(path.join(levels, fixture), path.join(root, "GameData.dat")); },
    restoreLevel() { fs.copyFileSync(path.join(site, "GameData.dat"), path.join(root, "GameData.dat")); },
    removeLevel() { fs.rmSync(path.join(root, "GameData.dat"), { force: true }); },
    async close() {
      await browser.close();
      await server.close();
      fs.rmSync(root, { recursive: true, force: true });
      if (this.pageFaults.length) throw new Error(`the pages refused or failed:\n${this.pageFaults.slice(0, 10).join("\n")}`);
    },
  };
}

// The site's file that holds a module the page loads only when asked for, such as "game-analysis":
// the build bundles it into a file of its own named after it, with a hash of its contents.
function lazyModule(session, name) {
  const files = fs.readdirSync(session.root).filter((file) => new RegExp(`^${name}-[A-Z0-9]+\\.js$`).test(file));
  if (files.length !== 1) throw new Error(`the site should hold one bundle of ${name}, and holds ${files.length}`);
  return files[0];
}

// A page whose foreign requests fail the test: the site must need nothing from any other host.
async function openPage(session, address = session.url, options = {}) {
  const context = await session.browser.newContext({ viewport: { width: 480, height: 560 }, ...options });
  const page = await context.newPage();
  page.setDefaultTimeout(timeout);
  page.foreignRequests = [];
  page.on("request", (r) => !r.url().startsWith(session.url) && !r.url().startsWith("data:") && page.foreignRequests.push(r.url()));
  // What the policy refused, in the page or its workers: every test can ask that it stayed empty.
  watchFaults(session, page);
  await page.goto(address);
  await levelSettled(page);
  return page;
}

// What the policy refused, and any error a page's scripts did not catch: the session fails on them
// when it closes.
function watchFaults(session, page) {
  const where = () => page.url().slice(0, 120);
  // A test that provokes the policy on purpose sets page.refusalsExpected.
  const refusal = (m) => /Content Security Policy|Refused to/.test(m.text()) && !page.refusalsExpected;
  page.on("console", (m) => refusal(m) && session.pageFaults.push(`${where()}: ${m.text()}`));
  page.on("pageerror", (e) => session.pageFaults.push(`${where()}: ${e}`));
}

// Waits until the level the page was asked for has been started or refused.
async function levelSettled(page) {
  await page.waitForSelector("#board[aria-busy=false]", { state: "attached" });
}

const paintCount = (page) => page.evaluate(() => performance.getEntriesByName("corvel-paint").length);

async function waitForPaints(page, count) {
  await page.waitForFunction((n) => performance.getEntriesByName("corvel-paint").length >= n, count, { polling: 20 });
}

// Presses one key and waits for the board's repaint that every typed character brings.
async function press(page, key) {
  const before = await paintCount(page);
  await page.keyboard.press(key);
  await waitForPaints(page, before + 1);
}

async function typeKeys(page, keys) {
  for (const key of keys) await press(page, key);
}

// Runs `action` and waits until the page has painted since, whatever it was.
async function afterRepaint(page, action) {
  const before = await paintCount(page);
  await action();
  await waitForPaints(page, before + 1);
}

// Drops onto `target` a file made in the page: `text`, then `megabytes` MB of zero bytes.
async function dropFile(page, target, name, text, megabytes = 0) {
  const transfer = await page.evaluateHandle(([name, text, megabytes]) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([text, ...Array(megabytes).fill(new Uint8Array(1024 * 1024))], name));
    return transfer;
  }, [name, text, megabytes]);
  await page.dispatchEvent(target, "drop", { dataTransfer: transfer });
}

// The open message box as the player reads it.
async function readBox(page) {
  await page.waitForSelector("dialog#message[open]");
  return page.evaluate(() => ({
    caption: document.getElementById("message-caption").textContent,
    text: document.getElementById("message-text").innerText,
    focused: document.activeElement && document.activeElement.textContent,
    buttons: [...document.querySelectorAll("dialog#message button")].map((b) => b.textContent),
  }));
}

async function closeBox(page, key = "Enter") {
  await page.keyboard.press(key);
  await page.waitForSelector("dialog#message", { state: "hidden" });
}

const boxOpen = (page) => page.evaluate(() => document.getElementById("message").open);

// corvel-level's picture of LEVEL after KEYS, as PNG bytes.
function render(level, keys = "") {
  if (!levelTool || !fs.existsSync(levelTool)) throw new Error(`CORVEL_LEVEL_TOOL (${levelTool}) is not built: build the dev preset first`);
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "corvel-render-"));
  const out = path.join(dir, "board.png");
  execFileSync(levelTool, keys ? ["render", level, out, "--", keys] : ["render", level, out]);
  const png = fs.readFileSync(out);
  fs.rmSync(dir, { recursive: true, force: true });
  return png;
}

// The board's pixels, read back from the canvas, as {width, height, rgba: base64}.
async function boardPixels(page) {
  return page.evaluate(() => {
    const board = document.getElementById("board");
    const data = board.getContext("2d").getImageData(0, 0, board.width, board.height);
    let text = "";
    for (const byte of data.data) text += String.fromCharCode(byte);
    return { width: board.width, height: board.height, rgba: btoa(text) };
  });
}

// Decodes a PNG in the page itself (no smoothing, no colour management) into the same form.
async function pngPixels(page, png) {
  return page.evaluate(async (base64) => {
    // From bytes, not a data: address, which the site's policy does not let a page fetch.
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: "image/png" }), {
      colorSpaceConversion: "none", premultiplyAlpha: "none",
    });
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext("2d");
    context.drawImage(bitmap, 0, 0);
    const data = context.getImageData(0, 0, bitmap.width, bitmap.height);
    let text = "";
    for (const byte of data.data) text += String.fromCharCode(byte);
    return { width: bitmap.width, height: bitmap.height, rgba: btoa(text) };
  }, png.toString("base64"));
}

// A picture made `scale` times larger, each pixel a square of scale x scale, as {width, height, rgba}.
function scaledPicture(picture, scale) {
  const width = picture.width * scale;
  const height = picture.height * scale;
  const source = Buffer.from(picture.rgba, "base64");
  const scaled = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x) {
      const from = (Math.floor(y / scale) * picture.width + Math.floor(x / scale)) * 4;
      source.copy(scaled, (y * width + x) * 4, from, from + 4);
    }
  return { width, height, rgba: scaled.toString("base64") };
}

// The top-left width x height of a picture.
function croppedPicture(picture, width, height) {
  const source = Buffer.from(picture.rgba, "base64");
  const cropped = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y) source.copy(cropped, y * width * 4, y * picture.width * 4, (y * picture.width + width) * 4);
  return { width, height, rgba: cropped.toString("base64") };
}

// Where two pictures differ: null when they are the same, else the size or the first pixel that differs.
function pictureDifference(actual, expected) {
  if (actual.width !== expected.width || actual.height !== expected.height)
    return `size ${actual.width}x${actual.height}, expected ${expected.width}x${expected.height}`;
  const a = Buffer.from(actual.rgba, "base64");
  const b = Buffer.from(expected.rgba, "base64");
  for (let i = 0; i < a.length; ++i) {
    if (a[i] !== b[i]) {
      const p = Math.floor(i / 4);
      return `pixel (${p % actual.width}, ${Math.floor(p / actual.width)}) is ${[...a.subarray(p * 4, p * 4 + 4)]}, expected ${[...b.subarray(p * 4, p * 4 + 4)]}`;
    }
  }
  return null;
}

// The board area as the window shows LEVEL: corvel-level's picture of the board, on white where
// the window's 181 x 211 area is larger than the board, cut off where a board is larger than 1201.
async function expectedBoardArea(page, level, keys) {
  const board = await pngPixels(page, render(level, keys));
  const width = Math.min(Math.max(board.width, 181), 1201);
  const height = Math.min(Math.max(board.height, 211), 1201);
  const from = Buffer.from(board.rgba, "base64");
  const area = Buffer.alloc(width * height * 4, 255);
  for (let y = 0; y < Math.min(height, board.height); ++y)
    from.copy(area, y * width * 4, y * board.width * 4, y * board.width * 4 + Math.min(width, board.width) * 4);
  return { width, height, rgba: area.toString("base64") };
}

// Whether the board shows what corvel-level renders for LEVEL after KEYS; null when it does.
async function boardDifference(page, level, keys = "") {
  return pictureDifference(await boardPixels(page), await expectedBoardArea(page, level, keys));
}

async function chooseMenu(page, menu, item) {
  await page.getByRole("menuitem", { name: menu, exact: true }).click();
  await page.getByRole("menuitem", { name: item, exact: true }).click();
}

// The site's own level file, which every page plays unless a test gives it another.
const bundled = site && path.join(site, "GameData.dat");
const fixture = (name) => path.join(levels, name);
const refused = (why) => `The level cannot be loaded.\n\n${why}\n\nMend the file, then choose New Game from the File menu.`;

async function newGame(page) {
  await afterRepaint(page, () => chooseMenu(page, "File", "New Game"));
  await levelSettled(page);
}

module.exports = {
  bundled, fixture, refused, newGame, site, levels, startSession, lazyModule, openPage, watchFaults, launch, serve, copySite, press, typeKeys, afterRepaint, dropFile, readBox, closeBox, boxOpen,
  paintCount, waitForPaints, levelSettled, render, boardPixels, pngPixels, pictureDifference, scaledPicture, croppedPicture, boardDifference, chooseMenu,
};
