// A level's name as it came from outside (a link, a dropped file), made inert before the page shows
// it or hands it to the game: it cannot add lines to a box, turn text around, or widen the page.

export const LevelName = (() => {
  // Longer names keep their start and their end (where the extension is), joined by an ellipsis.
  const maxCharacters = 80;
  const keptAtEnd = 24;

  // Control characters (line breaks among them) and the marks that change the direction of text.
  const unsafe = /[\u0000-\u001f\u007f-\u009f\u061c\u200e\u200f\u2028\u2029\u202a-\u202e\u2066-\u2069\ufeff]/gu;
  const escaped = (c) => "\\u" + c.codePointAt(0).toString(16).toUpperCase().padStart(4, "0");

  function shortened(characters) {
    if (characters.length <= maxCharacters) return characters.join("");
    const atStart = maxCharacters - keptAtEnd - 1;
    return characters.slice(0, atStart).join("") + "…" + characters.slice(-keptAtEnd).join("");
  }

  // The name to show and to hand to the game; `fallback` when it is empty or only spaces. Only the
  // start and the end of a huge name are looked at, since nothing else of it is shown.
  function inert(name, fallback) {
    let text = String(name ?? "");
    if (text.length > 4 * maxCharacters) text = text.slice(0, 2 * maxCharacters) + text.slice(-2 * maxCharacters);
    const result = shortened([...text.replace(unsafe, escaped).replace(/[\ud800-\udfff]/gu, "\ufffd")]);
    return result.trim() ? result : fallback;
  }

  return { maxCharacters, inert };
})();
