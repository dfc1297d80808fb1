// The game page's modules that its first paint does without: each is fetched when first needed.
// Every use goes through `use`, so that uses run in the order they were asked for.

import { LevelFile } from "./level-file.js";

function later(load) {
  const entry = {
    promise: null,
    now: null,  // the module, once it is here
    // Runs `action(module)` once the module is here; a failed fetch is tried again next time.
    use(action) {
      entry.promise ??= load().then((module) => (entry.now = module), (error) => {
        entry.promise = null;
        throw error;
      });
      return entry.promise.then(action);
    },
  };
  return entry;
}

export const playInfo = later(() => import("./play-info.js").then((m) => m.PlayInfo));
export const progress = later(() => import("./progress.js").then((m) => m.Progress));
export const levelPack = later(() => import("./level-pack.js").then((m) => m.LevelPack));
export const copyText = later(() => import("./copy-text.js").then((m) => m.CopyText));
export const hints = later(() => import("./game-hints.js"));
export const analysis = later(() => import("./game-analysis.js").then((m) => m.createGameAnalysis(LevelFile.maxBytes)));

// The analysis client (hints and the daily level) or, when it cannot be fetched, one that says so
// to every question.
const unreachable = { error: "The solver cannot be fetched from the site." };
const unreachableAnalysis = { hint: async () => unreachable, daily: async () => unreachable, isLatestHint: () => true };
export const gameAnalysis = () => analysis.use((client) => client).catch(() => unreachableAnalysis);
