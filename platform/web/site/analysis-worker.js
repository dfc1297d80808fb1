// The pages' analysis worker (corvel-analysis.wasm): corvel-level's own check, solve and generate for
// the editor, the daily level and hints for the game page, run away from the page so that a long
// search never freezes it. The page ends a worker whose answer it no longer needs and starts
// another one from the module it already compiled.
import createCorvelAnalysis from "./corvel-analysis.js";
import { ModuleMemory } from "./module-memory.js";

let analysis = null;
let answering = null;  // the id of the question being answered, which progress is about
const waiting = [];

// A fault inside the module (memory exhausted, say) is told to the page as what it is; the page
// words it for the player, never showing the module's own message.
function answer(request) {
  answering = request.id;
  try {
    postMessage({ id: request.id, result: ask(request) });
  } catch (error) {
    postMessage({ id: request.id, fault: error instanceof WebAssembly.RuntimeError || /abort/i.test(String(error)) ? "memory" : "stopped" });
  } finally {
    answering = null;
  }
}

const json = (address) => JSON.parse(analysis.UTF8ToString(address));

// Every text and byte goes through memory the module allocates, never through its stack; null
// when the module cannot allocate them, which the page hears as a level too large for it.
function ask(request) {
  const { kind } = request;
  if (kind === "hint" || kind === "daily") return askForGame(request);
  const result = kind === "generate"
    ? ModuleMemory.withTexts(analysis, [request.method, String(request.seed)], (method, seed) =>
      json(analysis._corvel_generate(request.width, request.height, method, seed, request.tries, request.seconds)))
    : ModuleMemory.withBytes(analysis, request.bytes, (at, length) => ModuleMemory.withText(analysis, request.name, (name) =>
      json(kind === "read" ? analysis._corvel_read(at, length, name, request.maxSide) : analysis._corvel_analyse(at, length, name))));
  if (result === null) throw new WebAssembly.RuntimeError("no memory");
  return result;
}

onmessage = ({ data }) => {
  if (data.kind === "start") {
    // The module comes compiled from the page: a fresh worker is ready in a few milliseconds.
    createCorvelAnalysis({
      instantiateWasm(imports, ready) {
        WebAssembly.instantiate(data.module, imports).then((instance) => ready(instance, data.module));
        return {};
      },
      onGenerateProgress: (text) => postMessage({ id: answering, progress: text }),
      // The runtime's own words go nowhere: the fault is posted as a fault of the level.
      print() {},
      printErr() {},
    }).then((module) => {
      analysis = module;
      waiting.splice(0).forEach(answer);
    });
    return;
  }
  if (analysis) answer(data);
  else waiting.push(data);
};

// The game page's questions: a hint for the position on the board, and a day's level. Bytes and
// text pass through memory the module allocates.
function askForGame(request) {
  const answerAt = (json) => JSON.parse(analysis.UTF8ToString(json));
  const unallocated = { error: "the solver has no memory left for the level" };
  if (request.kind === "daily") {
    return ModuleMemory.withText(analysis, request.date, (at) => answerAt(analysis._corvel_daily(at))) || unallocated;
  }
  const { hero, monster } = request;
  return ModuleMemory.withBytes(analysis, request.bytes, (at, length) =>
    answerAt(analysis._corvel_hint(at, length, hero.x, hero.y, monster.x, monster.y))) || unallocated;
}
