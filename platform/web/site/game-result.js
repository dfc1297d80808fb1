// How a game went: a game that has just ended is scored once (a won level of the pack or of the
// day goes into the player's progress), and what the page says of it waits for its box to close.
// What the page says waits for play-info.js, fetched for the first level that is not the site's
// own: until then there is nothing shown to change.
import { playInfo, progress } from "./later.js";

// Pack levels and daily levels are the ones whose wins the levels page shows.
const keepsProgress = (about) => about?.kind === "pack" || about?.kind === "daily";

// The game's status as the module gives it (corvel_game_status).
export const gameStatus = { playing: 0, caught: 1, escaped: 2 };

export function createScore() {
  const score = { about: null, scored: false, hintsUsed: false, toShow: null };
  return {
    // A new game of the level `about` (what the page says of it, null for the site's own level).
    // Resolves once the page shows it.
    started(about) {
      Object.assign(score, { about, scored: false, hintsUsed: false, toShow: null });
      if (keepsProgress(about)) progress.use(() => {}).catch(() => {});
      if (about || playInfo.now) return playInfo.use((info) => info.show(about)).catch(() => {});
      return null;
    },
    usedAHint() {
      score.hintsUsed = true;
    },
    // After every key: `status` and `keys` as the game gives them, `bytes` the level's.
    noteTheEnd(status, keys, bytes) {
      if (score.scored || status === gameStatus.playing) return;
      score.scored = true;
      const escaped = status === gameStatus.escaped;
      const result = { escaped, keys, hintsUsed: score.hintsUsed };
      const { hintsUsed } = score;
      score.toShow = escaped && keepsProgress(score.about)
        ? progress.use((kept) => ({ ...result, stored: kept.recordWin(bytes, keys, hintsUsed) })).catch(() => ({ ...result, stored: false }))
        : Promise.resolve(result);
    },
    // The box that told of the end has closed: the page says how the game went.
    showWaiting() {
      const { about, toShow } = score;
      score.toShow = null;
      if (toShow) toShow.then((result) => playInfo.use((info) => info.showResult(about, result))).catch(() => {});
    },
  };
}
