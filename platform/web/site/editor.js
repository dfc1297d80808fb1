// The level editor's page: the level being edited, where it comes from and Undo, and after every
// change corvel-level's own check and solve, run in a Web Worker so the page never waits for them.
// The board, the tools, Generate, the solution and the links are pieces of their own.
import { EditorAnalysis } from "./editor-analysis.js";
import { EditorBoard } from "./editor-board.js";
import { listenForGenerate } from "./editor-generate.js";
import { EditorHistory } from "./editor-history.js";
import { createLinks } from "./editor-links.js";
import { createSolution } from "./editor-solution.js";
import { listenForTools } from "./editor-tools.js";
import { createEditorView } from "./editor-view.js";
import { LevelFile } from "./level-file.js";
import { LevelLink } from "./level-link.js";
import { LevelName } from "./level-name.js";
import { keepSiteOffline } from "./offline.js";

const $ = (id) => document.getElementById(id);
const { maxSide } = EditorBoard;
// What Undo reaches back to: a long session of edits stays within a few megabytes.
const historySteps = 1000;
// What a nameless level (or one whose name is only spaces) is called.
const unnamed = "the level";
const nameOf = (raw) => LevelName.inert(raw, unnamed);

// ---- the level being edited, the state every piece of the page shares ----
const editor = {
  level: EditorBoard.newLevel(6, 7),
  name: "GameData.dat",
  // The bytes of the file the level came from, until its first change: the check then speaks
  // about that file's own lines. After a change the level is its text as saving writes it.
  fileBytes: null,
  analysis: null,  // the latest answer of the worker about the level
  solutionStep: null,  // the key shown on the board while stepping through the win
  cursor: { x: 0, y: 0 },  // the cell the keyboard works on
  cellSize: 0,  // the board's cell, in pixels, as last drawn
  generation: 0,  // counts the questions about the level: only the latest one's answer is shown
};
editor.cellSize = EditorBoard.cellSizeFor(editor.level);

const encoder = new TextEncoder();
const savedBytes = () => encoder.encode(EditorBoard.text(editor.level));
const levelBytes = () => editor.fileBytes || savedBytes();

// ---- undo and redo: every change records the state before it ----
const undoHistory = EditorHistory.create(historySteps);
const copyOf = (l) => ({ ...l, hero: { ...l.hero }, monster: { ...l.monster }, exit: { ...l.exit }, cells: [...l.cells] });
const snapshot = () => ({ level: copyOf(editor.level), name: editor.name, fileBytes: editor.fileBytes });

function showState(state) {
  ({ name: editor.name, fileBytes: editor.fileBytes } = state);
  editor.level = copyOf(state.level);
  $("width").value = editor.level.width;
  $("height").value = editor.level.height;
  $("level-name").textContent = editor.name;
  clearError();
  levelChanged();
}
function undoOrRedo(which) {
  const state = undoHistory[which](snapshot());
  if (state) showState(state);
  showHistory();
}
function showHistory() {
  $("undo").disabled = !undoHistory.canUndo();
  $("redo").disabled = !undoHistory.canRedo();
}
// Runs `change` on the level; when it changed anything, Undo can bring back the level before it.
function change(changeLevel) {
  const before = snapshot();
  if (!changeLevel()) return false;
  undoHistory.record(before);
  showHistory();
  edited();
  return true;
}

// ---- the analysis worker: corvel-level's check, solve and generate ----
// Compiled once; a server that does not call it application/wasm still gets it compiled.
const analysisModule = WebAssembly.compileStreaming(fetch("corvel-analysis.wasm"))
  .catch(() => fetch("corvel-analysis.wasm").then((r) => r.arrayBuffer()).then((bytes) => WebAssembly.compile(bytes)));
const analyser = EditorAnalysis.create(analysisModule);
const ask = (question, onProgress) => analyser.ask(question, onProgress);

// What a fault of the worker means for the level, in the player's words, never the runtime's.
const faults = {
  memory: "the checker needs more memory for this level than the page can give it",
  stopped: "the checker stopped before it finished with this level",
  load: "the checker cannot be loaded; reload the page",
};

// ---- the pieces of the page ----
const view = createEditorView(editor);
const { redraw, showAnalysis } = view;
const solution = createSolution(editor, redraw);
const links = createLinks(editor, { savedBytes, levelBytes });
listenForTools(editor, { change, edited, showError, view });
listenForGenerate(editor, { ask, cancel: () => analyser.cancel(), faults, showError, levelChanged, openLevel });

// After every change: the level drawn at once, its findings and verdict as soon as the worker
// answers. Rapid changes (a key held down, a drag) are answered for the last of them.
const verdict = $("verdict");
async function levelChanged() {
  const asked = ++editor.generation;
  const started = performance.now();
  solution.stop();
  redraw();
  links.update();
  verdict.setAttribute("aria-busy", "true");
  verdict.classList.add("stale");
  const answer = await ask({ kind: "analyse", name: editor.name, bytes: levelBytes() });
  if (!answer || asked !== editor.generation) return;
  if (answer.fault) {
    verdict.textContent = "not checked";
    verdict.setAttribute("aria-busy", "false");
    return showError(`${editor.name}: ${faults[answer.fault]}.`);
  }
  showAnalysis(answer.result);
  window.editorVerdictTimes.push(performance.now() - started);
}

function showError(text) {
  $("error").textContent = text;
  $("error").hidden = false;
}
const clearError = () => ($("error").hidden = true);

// ---- opening a level: from the site, a file, a link or the generator ----
// A refused level is explained as corvel-level check explains it, and the level being edited stays.
// `note`, when given, is shown too (why another level was not opened); `record` false opens the
// page's first level, which there is nothing to undo to.
async function openLevel(newName, bytes, { note = null, record = true } = {}) {
  const asked = ++editor.generation;
  verdict.setAttribute("aria-busy", "true");
  const answer = await ask({ kind: "read", name: newName, bytes, maxSide });
  if (!answer || asked !== editor.generation) return;
  const { check, size, level: read } = answer.result || {};
  const why = (text) => {
    showError([text, note].filter(Boolean).join("\n"));
    return levelChanged();
  };
  if (answer.fault) return why(`${newName}: ${faults[answer.fault]}.`);
  if (!check.usable) {
    const where = check.refusal.line > 0 ? `${newName}:${check.refusal.line}` : newName;
    return why(`${where}: refused: ${check.refusal.fault}`);
  }
  if (!read) {
    return why(`${newName}: the editor takes boards of up to ${maxSide} by ${maxSide} cells, and this one is ` +
               `${size[0]} by ${size[1]} (corvel-level check and solve take it)`);
  }
  if (note) showError(note);
  else clearError();
  if (record) undoHistory.record(snapshot());
  showHistory();
  editor.level = EditorBoard.fromLevelJson(read);
  editor.name = newName;
  editor.fileBytes = bytes;
  $("width").value = editor.level.width;
  $("height").value = editor.level.height;
  $("level-name").textContent = editor.name;
  return levelChanged();
}

// The level changed by the editor: from now on it is the text saving writes.
function edited() {
  editor.fileBytes = null;
  clearError();
  levelChanged();
}

// Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo; in a text field they are the field's own.
$("undo").addEventListener("click", () => undoOrRedo("undo"));
$("redo").addEventListener("click", () => undoOrRedo("redo"));
document.addEventListener("keydown", (e) => {
  if (!(e.ctrlKey || e.metaKey) || e.altKey || e.target.closest?.("input, select, textarea")) return;
  const key = e.key.toLowerCase();
  if (key === "z") undoOrRedo(e.shiftKey ? "redo" : "undo");
  else if (key === "y" && !e.shiftKey) undoOrRedo("redo");
  else return;
  e.preventDefault();
});

// ---- open, save, link, play-test ----
$("open-level").addEventListener("click", () => $("level-file").click());
$("level-file").addEventListener("change", (e) => {
  const file = e.target.files[0];
  e.target.value = "";
  if (file) openFile(file);
});
document.addEventListener("dragover", (e) => {
  if (!e.dataTransfer.types.includes("Files")) return;
  e.preventDefault();
  e.dataTransfer.dropEffect = "copy";
});
// One level file is opened at a time: of several dropped, the first, and the page says so.
document.addEventListener("drop", (e) => {
  if (!e.dataTransfer.files.length) return;
  e.preventDefault();
  const { file, note } = LevelFile.firstOf(e.dataTransfer.files);
  openFile(file, note || null);
});

async function openFile(file, note = null) {
  const fileName = nameOf(file.name);
  // Busy from the moment the file is chosen: its verdict, or its refusal, is on the way.
  verdict.setAttribute("aria-busy", "true");
  let bytes;
  try {
    bytes = await LevelFile.read(file);
  } catch (error) {
    verdict.setAttribute("aria-busy", "false");
    return showError([`${fileName}: ${error.message}`, note].filter(Boolean).join("\n"));
  }
  openLevel(fileName, bytes, { note });
}

// ---- start: the level the address carries, else the site's ----
async function openAddressedLevel({ record = true } = {}) {
  const linked = LevelLink.parse(location.hash);
  if (linked?.bytes) return openLevel(linked.name, linked.bytes, { record });
  const broken = linked && `${linked.name}: ${linked.fault}`;
  if (broken && editor.analysis) return showError(broken);
  try {
    const response = await fetch("GameData.dat", { cache: "no-store" });
    if (response.ok) return openLevel("GameData.dat", new Uint8Array(await response.arrayBuffer()), { note: broken, record });
  } catch {
    // no level on the site: a new one
  }
  $("level-name").textContent = editor.name;
  if (broken) showError(broken);
  return levelChanged();
}
const sameBytes = (a, b) => a.length === b.length && a.every((byte, i) => byte === b[i]);
window.addEventListener("hashchange", () => {
  const linked = LevelLink.parse(location.hash);
  if (linked && !(linked.bytes && editor.fileBytes && sameBytes(linked.bytes, editor.fileBytes))) openAddressedLevel();
});

// How long a click waited for the page, for the tests: the search must never make it wait.
window.editorInputDelays = [];
// And how long each change took to its verdict on screen, for the measuring script.
window.editorVerdictTimes = [];
document.addEventListener("pointerdown", (e) => window.editorInputDelays.push(performance.now() - e.timeStamp), true);
// And from each key press to the end of the page's work on it, for the measuring script.
window.editorKeyTimes = [];
document.addEventListener("keydown", (e) => window.editorKeyTimes.push(performance.now() - e.timeStamp));

for (const id of ["width", "height"]) $(id).max = maxSide;
$("level-name").textContent = editor.name;
showHistory();
redraw();
openAddressedLevel({ record: false });

keepSiteOffline();
