// What a key pressed on the game page means: F10 opens the menu bar, a printable character goes to
// the game, the keys that would scroll the page are kept from it, and the browser's shortcuts stay
// the player's. Pure: it reads only the event's fields.
const scrollingKeys = new Set(["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", "PageUp", "PageDown", "Home", "End", " ", "Backspace"]);

// `key` is {key, ctrlKey, altKey, metaKey}; `onControl` is true when a button or a field has the
// keyboard. Returns {menu: true}, {character: code point}, {swallow: true}, or null (the browser's).
export function gameKey(key, onControl) {
  if (key.key === "F10" && !key.ctrlKey && !key.altKey && !key.metaKey) return { menu: true };
  if (key.ctrlKey || key.metaKey || key.altKey) return null;
  if (onControl && (key.key === " " || key.key === "Enter")) return null;  // a focused button works as usual
  if ([...key.key].length === 1) return { character: key.key.codePointAt(0) };
  return scrollingKeys.has(key.key) ? { swallow: true } : null;
}

// The key of a stroke or of a tap beside Corvel: the direction it leans most toward.
export function directionKey(dx, dy) {
  const key = Math.abs(dx) >= Math.abs(dy) ? (dx > 0 ? "d" : "a") : dy > 0 ? "s" : "w";
  return key.charCodeAt(0);
}

export const waitKey = "f".charCodeAt(0);
