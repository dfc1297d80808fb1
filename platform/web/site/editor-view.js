// The editor's board and what the check and the solver say about the level: the findings listed
// (the cells they speak of in yellow), the verdict, the traps, and the step of the win being shown.
import { EditorBoard } from "./editor-board.js";

const $ = (id) => document.getElementById(id);

// `editor` is the page's state: the level, the latest analysis, the solution step, the cursor, and
// the cell size it draws with (kept there for the tools, which aim at the cells).
export function createEditorView(editor) {
  const board = $("editor-board");
  const verdict = $("verdict");
  const view = { pointedFinding: null };  // the finding under the pointer in the list: its cell alone is highlighted

  function findingCell(line) {
    if (line === 2) return editor.level.hero;
    if (line === 3) return editor.level.monster;
    if (line === 4) return editor.level.exit;
    const cell = line - 5;
    if (line >= 5 && cell < editor.level.cells.length) return { x: cell % editor.level.width, y: Math.floor(cell / editor.level.width) };
    return null;
  }

  // Where Corvel stands at each trap of the win (before its key), with solve's words for it.
  function trapCells() {
    const turns = editor.analysis?.solve?.trapTurns || [];
    return turns.map(({ turn }, i) => {
      const at = turn === 1 ? [editor.level.hero.x, editor.level.hero.y] : editor.analysis.steps[turn - 2].hero;
      return { x: at[0], y: at[1], text: editor.analysis.trapTexts[i] };
    });
  }

  // The traps that spring on a cell, as solve words them, shown while the cell is pointed at.
  function showTrapsAt(cell) {
    const texts = cell ? trapCells().filter((t) => t.x === cell.x && t.y === cell.y).map((t) => t.text) : [];
    $("trap-note").textContent = texts.length ? `Trap: ${texts.join("; ")}` : "";
  }

  function redraw() {
    const show = { highlighted: new Set() };
    const lines = view.pointedFinding !== null ? [view.pointedFinding] : (editor.analysis?.check.findings || []).map((f) => f.line);
    for (const line of lines) {
      const cell = findingCell(line);
      if (cell) show.highlighted.add(`${cell.x},${cell.y}`);
    }
    if (editor.solutionStep !== null && editor.solutionStep > 0) {
      const step = editor.analysis.steps[editor.solutionStep - 1];
      show.hero = { x: step.hero[0], y: step.hero[1] };
      show.monster = { x: step.monster[0], y: step.monster[1] };
      show.ended = step.status !== "Playing";
    }
    if (document.activeElement === board) show.cursor = editor.cursor;
    show.traps = trapCells();
    board.dataset.trapCells = show.traps.map((t) => `${t.x},${t.y}`).join(" ");
    const zoom = Number($("zoom").value);
    editor.cellSize = EditorBoard.cellSizeFor(editor.level, boardRoom(), zoom);
    board.classList.toggle("zoomed", zoom > 1);
    EditorBoard.draw(board, editor.level, editor.cellSize, show);
  }

  // The pixels the board may take across: the window's width less the margins around the board.
  function boardRoom() {
    const frame = board.parentElement;
    const style = getComputedStyle(frame);
    const padding = parseFloat(style.paddingLeft) + parseFloat(style.paddingRight);
    // The frame's own bound on its content (a share of the window's width), where the style sets one.
    const bound = parseFloat(style.maxWidth) || Infinity;
    return Math.min(bound, document.documentElement.clientWidth - 2 * Math.max(0, frame.getBoundingClientRect().left + scrollX) - padding);
  }
  window.addEventListener("resize", () => redraw());
  $("zoom").addEventListener("change", () => redraw());

  function showAnalysis(answer) {
    editor.analysis = answer;
    view.pointedFinding = null;
    showTrapsAt(null);
    const { check, solve } = answer;
    const list = $("findings");
    // Past the first findings of a kind, check counts the rest, and so does the page.
    const more = Object.entries(check.leftOut || {}).map(([kind, count]) => {
      const item = document.createElement("li");
      item.textContent = `... and ${count} more ${kind}`;
      return item;
    });
    list.replaceChildren(...check.findings.map((f) => {
      const item = document.createElement("li");
      item.textContent = f.line > 0 ? `line ${f.line}: ${f.message}` : f.message;
      item.dataset.kind = f.kind;
      item.dataset.line = f.line;
      item.addEventListener("pointerenter", () => ((view.pointedFinding = f.line), redraw()));
      item.addEventListener("pointerleave", () => ((view.pointedFinding = null), redraw()));
      return item;
    }), ...more);
    if (solve?.winnable) {
      verdict.textContent = `can be won in ${solve.length} ${solve.length === 1 ? "key" : "keys"}` +
        (solve.traps !== undefined ? `, with ${solve.traps} ${solve.traps === 1 ? "trap" : "traps"}` : "");
    } else {
      verdict.textContent = solve ? "cannot be won" : "too large to search";
    }
    $("solution-start").disabled = !solve?.winnable;
    verdict.setAttribute("aria-busy", "false");
    verdict.classList.remove("stale");
    redraw();
  }

  return { redraw, showTrapsAt, showAnalysis };
}
