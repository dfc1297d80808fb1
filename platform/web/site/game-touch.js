// Play by finger and pen on the game's board: a swipe moves Corvel its way, a tap moves him toward
// the side of him it falls on, and a tap on Corvel himself waits a turn. A mouse click only gives
// the board the keyboard.
import { directionKey, waitKey } from "./game-keys.js";

const swipeDistance = 24;  // CSS pixels; a shorter stroke is a tap

// `play.type(code)` plays a key; `play.heroBox()` is {x, y, cell}: Corvel's cell in board pixels.
export function listenForTouch(board, play) {
  const touch = { pressed: null };
  board.style.touchAction = "none";
  board.addEventListener("pointerdown", (e) => {
    if (!e.isPrimary) return;
    touch.pressed = { x: e.clientX, y: e.clientY };
    board.setPointerCapture(e.pointerId);
  });
  board.addEventListener("pointercancel", () => (touch.pressed = null));
  board.addEventListener("pointerup", (e) => {
    if (!touch.pressed || !e.isPrimary) return;
    const dx = e.clientX - touch.pressed.x;
    const dy = e.clientY - touch.pressed.y;
    touch.pressed = null;
    board.focus({ preventScroll: true });
    if (e.pointerType === "mouse") return;
    if (Math.hypot(dx, dy) >= swipeDistance) return play.type(directionKey(dx, dy));
    const box = board.getBoundingClientRect();
    const hero = play.heroBox();
    if (!hero) return;
    const x = ((e.clientX - box.left) * board.width) / box.width - (hero.x + 0.5) * hero.cell;
    const y = ((e.clientY - box.top) * board.height) / box.height - (hero.y + 0.5) * hero.cell;
    play.type(Math.abs(x) <= hero.cell / 2 && Math.abs(y) <= hero.cell / 2 ? waitKey : directionKey(x, y));
  });
}
