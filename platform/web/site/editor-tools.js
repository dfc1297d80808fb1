// The editor's tools: walls, starts and the exit placed by mouse, pen or finger (a drag along
// walls is one change) and by keyboard, and a new level or the level resized to the size fields.
import { EditorBoard } from "./editor-board.js";

const $ = (id) => document.getElementById(id);

// The size the width and height fields ask for, or null (and the page says why).
export function sizeFromFields(showError) {
  const width = Number($("width").value), height = Number($("height").value);
  const fits = (n) => Number.isInteger(n) && n >= 1 && n <= EditorBoard.maxSide;
  if (fits(width) && fits(height)) return { width, height };
  showError(`Width and height must be whole numbers from 1 to ${EditorBoard.maxSide}.`);
  return null;
}

// `editor` is the page's state; `change(f)` runs f on the level as one step of Undo, `edited()`
// tells of a change already made (a drag's later walls), `view` redraws.
export function listenForTools(editor, { change, edited, showError, view }) {
  const board = $("editor-board");
  const { redraw, showTrapsAt } = view;

  const tool = () => document.querySelector("input[name=tool]:checked").value;

  // A point of the board in its own pixels.
  function boardPoint(e) {
    const box = board.getBoundingClientRect();
    return { x: ((e.clientX - box.left) * board.width) / box.width, y: ((e.clientY - box.top) * board.height) / box.height };
  }

  // A drag with the walls tool, by mouse, pen or finger: every wall it passes along takes the
  // state the first one took; the whole drag is one step of Undo.
  const tools = { drawing: null };  // the drag under way: {pointer, open, side, last}

  board.addEventListener("pointerdown", (e) => {
    if (!e.isPrimary || e.button > 0) return;
    const point = boardPoint(e);
    const at = EditorBoard.hit(editor.level, editor.cellSize, point.x, point.y);
    const onBoard = EditorBoard.inside(editor.level, at.x, at.y);
    const inRing = at.x >= -1 && at.y >= -1 && at.x <= editor.level.width && at.y <= editor.level.height;
    const place = tool();
    if (inRing) editor.cursor = { x: at.x, y: at.y };
    if (place === "walls") {
      const open = EditorBoard.sideOpen(editor.level, at.x, at.y, at.side);
      if (open === null) return;
      tools.drawing = { pointer: e.pointerId, open: !open, side: at.side, last: point };
      board.setPointerCapture(e.pointerId);
      change(() => EditorBoard.setSide(editor.level, at.x, at.y, at.side, !open));
    } else if (place === "exit") {
      if (inRing) change(() => EditorBoard.moveExit(editor.level, at));
    } else if (onBoard) {
      change(() => ((editor.level[place] = { x: at.x, y: at.y }), true));
    } else {
      showError(`${place === "hero" ? "Corvel" : "The Brugak"} must start on the board.`);
    }
  });
  board.addEventListener("pointermove", (e) => {
    if (!tools.drawing) {
      const point = boardPoint(e);
      return showTrapsAt(EditorBoard.hit(editor.level, editor.cellSize, point.x, point.y));
    }
    if (e.pointerId !== tools.drawing.pointer) return;
    const point = boardPoint(e);
    // Every few pixels between the last point and this one, so that a fast stroke misses no wall.
    const steps = Math.max(1, Math.ceil(Math.hypot(point.x - tools.drawing.last.x, point.y - tools.drawing.last.y) / (editor.cellSize / 3)));
    let changed = false;
    for (let i = 1; i <= steps; ++i) {
      const x = tools.drawing.last.x + ((point.x - tools.drawing.last.x) * i) / steps, y = tools.drawing.last.y + ((point.y - tools.drawing.last.y) * i) / steps;
      const at = EditorBoard.hitAlong(editor.level, editor.cellSize, x, y, tools.drawing.side);
      changed = EditorBoard.setSide(editor.level, at.x, at.y, at.side, tools.drawing.open) || changed;
    }
    tools.drawing.last = point;
    if (changed) edited();
  });
  const endDrawing = (e) => tools.drawing && e.pointerId === tools.drawing.pointer && (tools.drawing = null);
  board.addEventListener("pointerup", endDrawing);
  board.addEventListener("pointercancel", endDrawing);
  board.addEventListener("lostpointercapture", endDrawing);
  board.addEventListener("pointerleave", () => tools.drawing || showTrapsAt(null));

  // The board by keyboard: the arrows move a cursor over the cells (and the ring around them),
  // w, a, s and d open or close that side of its cell, c, b and e place Corvel, the Brugak and the exit.
  board.addEventListener("focus", redraw);
  board.addEventListener("blur", redraw);
  board.addEventListener("keydown", (e) => {
    if (e.ctrlKey || e.metaKey || e.altKey) return;
    const arrows = { ArrowUp: [0, -1], ArrowDown: [0, 1], ArrowLeft: [-1, 0], ArrowRight: [1, 0] };
    const key = e.key.toLowerCase();
    const onBoard = EditorBoard.inside(editor.level, editor.cursor.x, editor.cursor.y);
    if (arrows[e.key]) {
      const [dx, dy] = arrows[e.key];
      editor.cursor = { x: Math.min(Math.max(editor.cursor.x + dx, -1), editor.level.width), y: Math.min(Math.max(editor.cursor.y + dy, -1), editor.level.height) };
      showTrapsAt(editor.cursor);
      redraw();
    } else if ("wasd".includes(key) && key.length === 1) {
      change(() => EditorBoard.toggleSide(editor.level, editor.cursor.x, editor.cursor.y, EditorBoard.sideOfKey(key)));
    } else if (key === "e") {
      change(() => EditorBoard.moveExit(editor.level, editor.cursor));
    } else if ((key === "c" || key === "b") && onBoard) {
      change(() => ((editor.level[key === "c" ? "hero" : "monster"] = { ...editor.cursor }), true));
    } else {
      return;
    }
    e.preventDefault();
  });

  $("new-level").addEventListener("click", () => {
    const size = sizeFromFields(showError);
    if (size) change(() => ((editor.level = EditorBoard.newLevel(size.width, size.height)), true));
  });
  $("resize").addEventListener("click", () => {
    const size = sizeFromFields(showError);
    if (size) change(() => ((editor.level = EditorBoard.resized(editor.level, size.width, size.height)), true));
  });
}
