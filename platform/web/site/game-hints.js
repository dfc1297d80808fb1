// The game page's Hint button: the solver answers in a worker while the player goes on, and an
// answer about a position the player has already left is dropped. Fetched at the first hint; it
// imports nothing, so that it shares no code with the page's first paint.

// The words the page shows for the solver's answer.
export function hintText(answer) {
  if (answer.error) return `Hint: ${answer.error}`;
  if (!answer.searched) return `Hint: ${answer.reason}`;
  if (!answer.winnable) return "Hint: there is no way out from here; New Game starts again.";
  return `Hint: ${answer.key} (a shortest win from here takes ${answer.length} keys)`;
}

// `play.position()` is where the pieces stand in which game, or null before there is a level;
// `play.samePosition(a, b)` whether two are one; `play.usedAHint()` marks the game as hinted;
// `play.analysis()` gives the analysis client, and `play.showHint(text)` shows the words.
export async function askForHint(play, playingStatus) {
  const showHint = (text) => play.showHint(text);
  const asked = play.position();
  if (!asked) return;
  if (asked.status !== playingStatus) return showHint("Hint: this game is over; New Game starts again.");
  showHint("Hint: thinking…");
  const analysis = await play.analysis();
  const answer = await analysis.hint(asked.level, asked.hero, asked.brugak);
  if (answer.stale || !analysis.isLatestHint(answer.id) || !play.samePosition(asked, play.position())) return;
  play.usedAHint();
  showHint(hintText(answer));
}
