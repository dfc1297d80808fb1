// The game page's analysis figures, measured in headless Chromium (a measuring script, not a test):
// a day's level made in the browser against the native command it prints, and a hint on the hardest
// pack level against the native corvel-level solve, in the same run.
// Run: node tests/e2e/web/measure-game-analysis.js  (after building the web and dev presets)
"use strict";

const path = require("node:path");
process.env.CORVEL_SITE ||= path.resolve(__dirname, "../../../build/web/site");
const levelTool = process.env.CORVEL_LEVEL_TOOL || path.resolve(__dirname, "../../../build/dev/tools/corvel-level");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const h = require("./harness");

const runs = 7;
const dates = ["2026-12-10", "2026-12-11", "2026-03-03"];
const hardest = path.resolve(__dirname, "../../../levels/30-10x10.dat");
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => value.toFixed(1) + " ms";

function nativeMilliseconds(args) {
  const times = [];
  for (let i = 0; i < runs; ++i) {
    const start = process.hrtime.bigint();
    execFileSync(levelTool, args, { stdio: "ignore" });
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  return median(times);
}

// Milliseconds of each call in the page, from the call to its answer: the first one (the module
// fetched and compiled, the worker started) apart from the median of the rest.
function browserMilliseconds(page, question, argument) {
  return page.evaluate(async ({ question, argument, runs }) => {
    const ask = question === "daily" ? () => GameAnalysis.daily(argument)
      : () => GameAnalysis.hint(new Uint8Array(argument.bytes), argument.hero, argument.monster);
    const timed = async () => {
      const start = performance.now();
      const answer = await ask();
      if (answer.error || answer.stale) throw new Error(JSON.stringify(answer));
      return performance.now() - start;
    };
    const first = await timed();
    const times = [];
    for (let i = 0; i < runs; ++i) times.push(await timed());
    return { first, median: times.sort((a, b) => a - b)[Math.floor(times.length / 2)] };
  }, { question, argument, runs });
}

async function openGame(session) {
  const page = await session.browser.newPage();
  await page.goto(session.url);
  await page.waitForSelector("#board[aria-busy=false]", { state: "attached" });
  const bundle = h.lazyModule(session, "game-analysis");
  await page.evaluate(async (file) => (window.GameAnalysis = (await import(`./${file}`)).createGameAnalysis(2 ** 28)), bundle);
  return page;
}

(async () => {
  const session = await h.startSession();
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "corvel-measure-"));
  try {
    console.log(`Daily level to its text, median of ${runs} (native: the whole corvel-level generate process it prints;` +
                " browser: GameAnalysis.daily, call to answer)");
    for (const date of dates) {
      const page = await openGame(session);
      const { first, median: browser } = await browserMilliseconds(page, "daily", date);
      const command = (await page.evaluate((date) => GameAnalysis.daily(date), date)).command.split(" ");
      const native = nativeMilliseconds([command[1], path.join(scratch, command[2]), ...command.slice(3)]);
      // A day whose first seed falls short makes two levels or more in the browser, the command one.
      console.log(`  ${date} (--seed ${command[command.indexOf("--seed") + 1]}): native ${ms(native)}, browser ${ms(browser)}` +
                  ` = ${(browser / native).toFixed(2)}x native; the first call, module loaded, ${ms(first)}`);
      await page.close();
    }
    const page = await openGame(session);
    const start = JSON.parse(execFileSync(levelTool, ["show", hardest, "--json"], { encoding: "utf8" }));
    const hint = { bytes: [...fs.readFileSync(hardest)], hero: { x: start.heroStart[0], y: start.heroStart[1] },
                   monster: { x: start.monsterStart[0], y: start.monsterStart[1] } };
    const { first, median: browser } = await browserMilliseconds(page, "hint", hint);
    const native = nativeMilliseconds(["solve", hardest, "--json"]);
    // Most of a native solve of so small a board is the process starting: show, which searches nothing, tells how much.
    const starting = nativeMilliseconds(["show", hardest, "--json"]);
    console.log(`Hint on levels/30-10x10.dat from its start, median of ${runs}: native solve ${ms(native)} (show, no search,` +
                ` ${ms(starting)}), browser ${ms(browser)} = ${(browser / native).toFixed(2)}x native solve;` +
                ` the first hint, module loaded, ${ms(first)}`);
  } finally {
    fs.rmSync(scratch, { recursive: true, force: true });
    await session.close();
  }
})().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
