// The editor's questions to its analysis worker (check, solve, read and generate a level): one
// question at a time, the newest one wins, and a worker that is being ended is never heard again.

export const EditorAnalysis = (() => {
  // A worker busy with a question no longer wanted is ended once it has had this long, so that
  // rapid edits of a large level start a fresh search a few times a second, not at every key.
  const patience = 100;

  // `module`: a promise of the compiled corvel-analysis.wasm. Returns {ask, cancel}.
  function create(module) {
    let worker = null;  // {thread}; only the current one's messages are heard
    let job = null;     // {id, question, resolve, onProgress, asked} being answered
    let next = null;    // the question waiting for a busy worker to be ended or done
    let queued = null;  // the question waiting for the module to be compiled
    let restart = null; // the timer that ends a worker busy with a superseded question
    let nextId = 1;

    function end() {
      if (!worker) return;
      worker.thread.onmessage = worker.thread.onerror = null;
      worker.thread.terminate();
      worker = null;
    }

    function start(compiled) {
      const thread = new Worker("analysis-worker.js", { type: "module" });
      const own = { thread };
      thread.postMessage({ kind: "start", module: compiled });
      thread.onmessage = ({ data }) => {
        if (worker !== own || !job || data.id !== job.id) return;
        if (data.progress !== undefined) return job.onProgress?.(data.progress);
        // A module that failed may be left broken: the next question gets a fresh worker.
        if (data.fault) end();
        finish(data.fault ? { fault: data.fault } : { result: data.result });
      };
      thread.onerror = (event) => {
        event.preventDefault();
        if (worker !== own) return;
        end();
        finish({ fault: "stopped" });
      };
      worker = own;
    }

    function finish(answer) {
      const done = job;
      job = null;
      const superseded = next !== null;
      if (superseded) post(next);
      done?.resolve(superseded ? null : answer);
    }

    function post(entry) {
      next = null;
      clearTimeout(restart);
      restart = null;
      queued?.resolve(null);
      queued = entry;
      module.then((compiled) => {
        if (queued !== entry) return;  // a newer question came while the module was compiled
        queued = null;
        if (!worker) start(compiled);
        job = entry;
        job.asked = performance.now();
        worker.thread.postMessage({ ...entry.question, id: entry.id });
      }, () => {
        if (queued !== entry) return;
        queued = null;
        entry.resolve({ fault: "load" });
      });
    }

    // Resolves with {result}, {fault: "memory" | "stopped" | "load"}, or null when a newer
    // question superseded this one. `onProgress` hears generate's progress lines.
    function ask(question, onProgress = null) {
      return new Promise((resolve) => {
        const entry = { id: nextId++, question, resolve, onProgress };
        next?.resolve(null);
        if (!job) return post(entry);
        next = entry;
        if (restart) return;
        const wait = Math.max(0, patience - (performance.now() - (job.asked ?? 0)));
        restart = setTimeout(() => {
          restart = null;
          if (!job || !next) return;
          const superseded = job;
          job = null;
          end();
          superseded.resolve(null);
          post(next);
        }, wait);
      });
    }

    // Ends whatever is being asked: its answer and any waiting question's are null.
    function cancel() {
      clearTimeout(restart);
      restart = null;
      next?.resolve(null);
      queued?.resolve(null);
      next = queued = null;
      if (job) {
        const ended = job;
        job = null;
        end();
        ended.resolve(null);
      }
    }

    return { ask, cancel };
  }

  return { create };
})();
