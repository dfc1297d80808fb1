// The editor's analysis worker: corvel-level's own check, solve and generate (corvel-analysis.wasm),
// run away from the page so that a long search never freezes it. The page ends a worker whose
// answer it no longer needs and starts another one from the module it already compiled.
"use strict";

importScripts("module-memory.js", "corvel-analysis.js");

let analysis = null;
const waiting = [];

// A fault inside the module (memory exhausted, say) is told to the page, not left as a silence.
function answer(request) {
  try {
    ask(request);
  } catch (error) {
    postMessage({ id: request.id, error: String(error.message || error) });
  }
}

function ask(request) {
  const { id, kind } = request;
  if (kind === "analyse" || kind === "read") {
    const bytes = request.bytes;
    const at = analysis._malloc(Math.max(bytes.length, 1));
    analysis.HEAPU8.set(bytes, at);
    try {
      const json = analysis.ccall(kind === "read" ? "corvel_read" : "corvel_analyse", "number", ["number", "number", "string"], [at, bytes.length, request.name]);
      postMessage({ id, result: JSON.parse(analysis.UTF8ToString(json)) });
    } finally {
      analysis._free(at);
    }
  } else if (kind === "generate") {
    const json = analysis.ccall("corvel_generate", "number", ["number", "number", "string", "string", "number", "number"],
      [request.width, request.height, request.method, String(request.seed), request.tries, request.seconds]);
    postMessage({ id, result: JSON.parse(analysis.UTF8ToString(json)) });
  } else if (kind === "hint" || kind === "daily") {
    postMessage({ id, result: askForGame(request) });
  }
}

onmessage = ({ data }) => {
  if (data.kind === "start") {
    // The module comes compiled from the page: a fresh worker is ready in a few milliseconds.
    createCorvelAnalysis({
      instantiateWasm(imports, ready) {
        WebAssembly.instantiate(data.module, imports).then((instance) => ready(instance, data.module));
        return {};
      },
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
