// The game page's hints and daily levels, asked of corvel-level's own solver and generator in the
// analysis worker, which is started only when first asked: the game's first paint fetches none of it.
// `levelBytesBound` is the largest level file the page opens (LevelFile.maxBytes): the page passes
// it in, so that this module, fetched later, shares no code with the page's first paint.
export function createGameAnalysis(levelBytesBound) {
  // Longer than any date: a longer text, cut to this, is still refused by the module, which says why.
  const dateLengthBound = 11;
  // What the player reads when the worker itself fails: never the runtime's own message.
  const failures = {
    hint: "The solver stopped before it found a hint.",
    daily: "The day's level could not be made: the level maker stopped.",
  };
  const unloadable = "The solver cannot be loaded in this browser.";
  const noPosition = "No hint can be given: the position on the board is not known.";
  const tooLong = () => `No hint can be given: the level file is over ${levelBytesBound.toLocaleString("en")} bytes.`;

  // ---- the module, compiled once on first use; a failure is forgotten, so a later question tries again ----
  let compiled = null;
  function compiledModule() {
    if (!compiled) {
      compiled = WebAssembly.compileStreaming(fetch("corvel-analysis.wasm"))
        // A server that does not call it application/wasm still gets it compiled.
        .catch(() => fetch("corvel-analysis.wasm").then((response) => {
          if (!response.ok) throw new Error(`corvel-analysis.wasm: ${response.status}`);
          return response.arrayBuffer();
        }).then((bytes) => WebAssembly.compile(bytes)));
      compiled.catch(() => { compiled = null; });
    }
    return compiled;
  }

  // ---- one worker for each kind of question; a newer question of a kind supersedes the older ----
  const workers = { hint: null, daily: null };
  const pending = { hint: null, daily: null };  // {id, resolve} of the question being answered
  const latest = { hint: 0, daily: 0 };  // the id of the newest question of each kind, 0 once forgotten
  let nextId = 1;

  function settle(kind, answer) {
    const question = pending[kind];
    if (!question) return;
    pending[kind] = null;
    question.resolve({ ...answer, id: question.id });
  }

  // A worker that failed may hold a broken module: it is ended, and the next question starts another.
  // A worker being ended is never heard again: its handlers go first (Chromium may still report the
  // work it cut short), so a failure is always that of the worker it names.
  function endWorker(kind) {
    const worker = workers[kind];
    workers[kind] = null;
    if (!worker) return;
    worker.onmessage = worker.onerror = null;
    worker.terminate();
  }

  function startWorker(kind, module) {
    const worker = new Worker("analysis-worker.js", { type: "module" });
    worker.postMessage({ kind: "start", module });
    worker.onmessage = ({ data }) => {
      if (workers[kind] !== worker || !pending[kind] || data.id !== pending[kind].id || data.progress !== undefined) return;
      // Anything but a result (an error or a fault, however the worker words it) is the worker failing.
      if (data.result === undefined) {
        endWorker(kind);
        settle(kind, { error: failures[kind] });
      } else {
        settle(kind, asSentences(data.result));
      }
    };
    worker.onerror = (event) => {
      event.preventDefault();
      if (workers[kind] !== worker) return;
      endWorker(kind);
      settle(kind, { error: failures[kind] });
    };
    workers[kind] = worker;
  }

  // Ends the question of this kind still being answered: its promise resolves {id, stale: true}.
  function forget(kind) {
    if (!pending[kind]) return;
    endWorker(kind);
    settle(kind, { stale: true });
  }

  function ask(kind, question) {
    forget(kind);
    const id = latest[kind] = nextId++;
    return new Promise((resolve) => {
      pending[kind] = { id, resolve };
      compiledModule().then((module) => {
        if (!pending[kind] || pending[kind].id !== id) return;  // superseded while the module loaded
        if (!workers[kind]) startWorker(kind, module);
        workers[kind].postMessage({ ...question, kind, id });
      }, () => {
        if (pending[kind] && pending[kind].id === id) settle(kind, { error: unloadable });
      });
    });
  }

  // The module says why not in fragments ("the board of 90 by 90 cells has too many ..."): here, sentences.
  const sentence = (text) => text.charAt(0).toUpperCase() + text.slice(1) + (/[.!?]$/.test(text) ? "" : ".");
  function asSentences(answer) {
    const said = { ...answer };
    for (const field of ["error", "reason"]) if (typeof said[field] === "string") said[field] = sentence(said[field]);
    return said;
  }

  // An answer given at once, without the worker: it too supersedes the older question.
  function refuse(kind, error) {
    forget(kind);
    const id = latest[kind] = nextId++;
    return Promise.resolve({ id, error });
  }

  const isCell = (p) => p && Number.isInteger(p.x) && Number.isInteger(p.y) && Math.abs(p.x) < 2 ** 31 && Math.abs(p.y) < 2 ** 31;

  // A shortest win of the level (its file's bytes) from Corvel at hero and the Brugak at monster
  // ({x, y} each): resolves {id, searched: true, winnable, key, length}, {id, searched: false,
  // reason}, {id, error: a sentence}, or {id, stale: true} once a newer hint or forgetHint came.
  function hint(levelBytes, hero, monster) {
    if (!isCell(hero) || !isCell(monster) || !(levelBytes instanceof Uint8Array)) return refuse("hint", noPosition);
    if (levelBytes.length > levelBytesBound) return refuse("hint", tooLong());
    return ask("hint", { bytes: levelBytes, hero: { x: hero.x, y: hero.y }, monster: { x: monster.x, y: monster.y } });
  }

  // The level of the UTC day written YYYY-MM-DD: resolves {id, date, text, command, shortestWin,
  // seed}, {id, error: a sentence}, or {id, stale: true} once a newer daily came.
  function daily(date) {
    return ask("daily", { date: String(date).slice(0, dateLengthBound) });
  }

  return {
    hint,
    daily,
    // Whether the hint of this id is the latest asked for: a page shows no other.
    isLatestHint: (id) => id !== 0 && id === latest.hint,
    // The position changed: no hint asked for so far is wanted any more, and its search is ended.
    forgetHint: () => {
      forget("hint");
      latest.hint = 0;
    },
  };
}
