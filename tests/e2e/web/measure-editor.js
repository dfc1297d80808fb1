// The level editor's figures, measured in headless Chromium (a measuring script, not a test):
// the solver in the browser (WebAssembly in the editor's worker) against the native corvel-level on
// the same levels in the same run, and the time from an edit to its verdict on screen.
// Run: node tests/e2e/web/measure-editor.js  (after building the web and dev presets)
"use strict";

const path = require("node:path");
process.env.CORVEL_SITE ||= path.resolve(__dirname, "../../../build/web/site");
const levelTool = process.env.CORVEL_LEVEL_TOOL || path.resolve(__dirname, "../../../build/dev/tools/corvel-level");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const h = require("./harness");

const runs = 7;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => value.toFixed(1) + " ms";

// The README's benchmark levels: the bundled 6 x 7 level and the 64 x 64 sealed maze of level_tools_bench.
const levels = [
  ["bundled 6 x 7", path.resolve(__dirname, "../../levels/bundled.dat")],
  ["sealed 64 x 64 (1,960,935 positions)", path.join(h.levels, "sealed-64.dat")],
];

function nativeMilliseconds(command, file) {
  const times = [];
  for (let i = 0; i < runs; ++i) {
    const start = process.hrtime.bigint();
    execFileSync(levelTool, [command, file, "--json"]);
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  return median(times);
}

// Each question answered by a worker of the editor's own, timed from the question to the answer.
async function browserMilliseconds(page, file) {
  return page.evaluate(async ({ bytes, runs }) => {
    const module = await WebAssembly.compileStreaming(fetch("corvel-analysis.wasm"));
    const worker = new Worker("analysis-worker.js", { type: "module" });
    worker.postMessage({ kind: "start", module });
    const ask = (id) => new Promise((resolve, reject) => {
      worker.onmessage = ({ data }) => resolve(data);
      worker.onerror = (e) => reject(new Error(`the analysis worker failed: ${e.message}`));
      worker.postMessage({ kind: "analyse", id, name: "level.dat", bytes: new Uint8Array(bytes) });
    });
    await ask(0);  // the module started and warmed
    const times = [];
    for (let i = 1; i <= runs; ++i) {
      const start = performance.now();
      await ask(i);
      times.push(performance.now() - start);
    }
    worker.terminate();
    return times.sort((a, b) => a - b)[Math.floor(times.length / 2)];
  }, { bytes: [...fs.readFileSync(file)], runs });
}

// Milliseconds from a click that changes a wall of the bundled level to its verdict on screen.
async function editToVerdict(page) {
  await page.evaluate(() => (window.editorVerdictTimes.length = 0));
  const box = await page.locator("#editor-board").boundingBox();
  for (let i = 0; i < 2 * 10; ++i) {
    await page.mouse.click(box.x + 30 * 3.5, box.y + 30 * 2.95);  // the wall under cell (2, 1), closed and opened again
    await page.waitForSelector("#verdict[aria-busy=false]", { state: "attached" });
  }
  return median(await page.evaluate(() => window.editorVerdictTimes));
}

// Milliseconds from each key press to the end of the page's work on it, on the 64 x 64 sealed maze
// (whose search takes seconds): 300 arrow keys (the cursor moved and the board drawn: the baseline)
// and 300 presses of d, each a change that asks for a new search.
async function keyTimes(page) {
  await page.locator("#level-file").setInputFiles(path.join(h.levels, "sealed-64.dat"));
  await page.waitForFunction(() => document.getElementById("level-name").textContent === "sealed-64.dat");
  await page.locator("#editor-board").focus();
  const timesOf = async (keys) => {
    await page.evaluate(() => (window.editorKeyTimes.length = 0));
    for (const key of keys) await page.keyboard.press(key);
    return page.evaluate(() => window.editorKeyTimes.slice());
  };
  const arrows = await timesOf(Array.from({ length: 300 }, (_, i) => (i % 2 ? "ArrowLeft" : "ArrowRight")));
  const edits = await timesOf(Array(300).fill("d"));
  const percentile = (values, p) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) * p)];
  return { arrows: median(arrows), edits: median(edits), edits95: percentile(edits, 0.95), arrows95: percentile(arrows, 0.95) };
}

(async () => {
  const session = await h.startSession();
  try {
    const page = await session.browser.newPage();
    await page.goto(session.url + "editor.html");
    await page.waitForSelector("#verdict[aria-busy=false]", { state: "attached" });
    console.log(`Solver, median of ${runs} (native: the whole corvel-level process; browser: question to answer in the worker)`);
    for (const [name, file] of levels) {
      const solve = nativeMilliseconds("solve", file), check = nativeMilliseconds("check", file);
      const browser = await browserMilliseconds(page, file);
      console.log(`  ${name}: native solve ${ms(solve)}, native check ${ms(check)}, browser check and solve ${ms(browser)}` +
                  ` = ${(browser / check).toFixed(2)}x native check (goal: within 1.5x)`);
    }
    console.log(`Edit to verdict on screen, 6 x 7, median of 20: ${ms(await editToVerdict(page))} (goal: under 50 ms)`);
    const keys = await keyTimes(page);
    console.log(`Key press to the page's work done, 64 x 64 while it is searched, 300 of each: an edit (d) median ${ms(keys.edits)},` +
                ` 95th percentile ${ms(keys.edits95)}; the cursor moved (baseline) median ${ms(keys.arrows)}, 95th percentile` +
                ` ${ms(keys.arrows95)}: ${(keys.edits / keys.arrows).toFixed(2)}x the baseline (goal: within a frame, 16.7 ms)`);
  } finally {
    await session.close();
  }
})();
