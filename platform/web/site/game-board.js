// The game page's board: the picture the game painted, copied to the canvas when the game asks,
// at the largest whole scale at which it, the menu bar and the controls fit the screen.
const $ = (id) => document.getElementById(id);

export function createBoardView(canvas, words) {
  const context = canvas.getContext("2d");
  const view = { game: null, repaintPending: false, ended: false, painted: false };

  function paint() {
    view.repaintPending = false;
    const { game } = view;
    if (view.ended || !game) return;
    const pixels = game._corvel_paint();
    const width = game._corvel_board_width();
    const height = game._corvel_board_height();
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      fitToScreen();
    }
    context.putImageData(new ImageData(new Uint8ClampedArray(game.HEAPU8.buffer, pixels, width * height * 4), width, height), 0, 0);
    view.painted = true;
    performance.mark("corvel-paint");
    const text = game.UTF8ToString(game._corvel_board_words());
    if (words.textContent !== text) words.textContent = text;
  }

  // One board pixel is always a whole number of screen pixels, never a blur between them.
  function fitToScreen() {
    const ratio = window.devicePixelRatio || 1;
    const gameWindow = $("game");
    if (!gameWindow) return;
    const around = gameWindow.getBoundingClientRect();
    const frame = getComputedStyle(gameWindow);
    const body = getComputedStyle(document.body);
    const sum = (style, ...sides) => sides.reduce((total, side) => total + (parseFloat(style[side]) || 0), 0);
    // The board may take the window's whole width, and the height the rest of the window leaves.
    const spareWidth = innerWidth - sum(body, "marginLeft", "marginRight") - sum(frame, "borderLeftWidth", "borderRightWidth");
    const spareHeight = innerHeight - (around.top + scrollY) - sum(body, "marginBottom") - (around.height - canvas.getBoundingClientRect().height);
    // Whole screen pixels a board pixel at each step of the scale (2 on a screen of ratio 2).
    const step = Math.max(1, Math.floor(ratio));
    const scale = Math.max(1, Math.floor(Math.min((spareWidth * ratio) / (canvas.width * step), (spareHeight * ratio) / (canvas.height * step))));
    canvas.style.width = (canvas.width * scale * step) / ratio + "px";
    canvas.style.height = (canvas.height * scale * step) / ratio + "px";
  }
  window.addEventListener("resize", fitToScreen);
  fitToScreen();

  return {
    // The game, once it has started: its pictures are painted from now on.
    attach(game) {
      view.game = game;
    },
    // The game's picture, unless one has been painted already.
    paintUnlessPainted() {
      if (!view.painted) paint();
    },
    // Every paint answers a change: the game asks, and the board is painted once before the next task.
    requestRepaint() {
      if (view.repaintPending) return;
      view.repaintPending = true;
      queueMicrotask(paint);
    },
    end() {
      view.ended = true;
    },
    focus: () => canvas.focus({ preventScroll: true }),
  };
}
