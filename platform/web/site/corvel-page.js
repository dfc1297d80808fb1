// The game page: starts the game and joins the pieces around it (the board, its boxes, the menu
// bar, keys, taps and swipes, the levels, hints and how a game went). Nothing runs while the player
// thinks: every paint answers a change.
import createCorvel from "./corvel.js";
import { createBoardView } from "./game-board.js";
import { createMessageBoxes } from "./game-boxes.js";
import { gameKey, waitKey } from "./game-keys.js";
import { createLevels } from "./game-levels.js";
import { createScore, gameStatus } from "./game-result.js";
import { listenForTouch } from "./game-touch.js";
import { analysis, copyText, gameAnalysis, hints, playInfo } from "./later.js";
import { LevelFile } from "./level-file.js";
import { LevelLink } from "./level-link.js";
import { LevelName } from "./level-name.js";
import { MenuBar } from "./menu-bar.js";
import { ModuleMemory } from "./module-memory.js";
import { keepSiteOffline } from "./offline.js";

// The game starts loading first, so that its WebAssembly compiles while the page's pieces are
// made; what it asks of its window is answered once they are (below).
const gameWindow = {};
const gameLoaded = createCorvel({ corvelPage: gameWindow });

const $ = (id) => document.getElementById(id);
const canvas = $("board");
const page = { game: null, ended: false, droppedDuringBox: null };

const board = createBoardView(canvas, $("board-words"));
const score = createScore();
// The position changed or a game started: no hint asked for so far is wanted any more.
function forgetHint() {
  analysis.now?.forgetHint();
  if (playInfo.now) playInfo.use((info) => info.showHint(""));
}
const levels = createLevels(canvas, {
  started(about) {
    const shown = score.started(about);
    forgetHint();
    return shown;
  },
  analysis: gameAnalysis,
});

// The menu bar's commands are the desktop menus'.
const menus = new MenuBar(
  $("menubar"),
  (command) => {
    if (command === "new-game") levels.newGame();
    else if (command === "exit") page.game._corvel_menu_exit();
    else if (command === "instructions") page.game._corvel_menu_instructions();
  },
  () => board.focus(),
);

// The board takes the keyboard back once the last box has closed, unless the player has already
// given it to the menu bar: a quick F10 can come before the page hears of the close.
const boxes = createMessageBoxes($("message"), () => {
  if (page.ended) return;
  if (!menus.contains(document.activeElement)) board.focus();
  score.showWaiting();
  if (page.droppedDuringBox) playFiles(page.droppedDuringBox.splice(0));
  page.droppedDuringBox = null;
});

// ---- what the game asks of its window ----
Object.assign(gameWindow, {
  // A box stands over the game's picture, even over a first level refused before any paint.
  showMessage(text, caption) {
    board.paintUnlessPainted();
    return boxes.show(text, caption);
  },
  requestRepaint: () => board.requestRepaint(),
  close() {
    page.ended = true;
    board.end();
    boxes.end();
    $("game").remove();
    $("play-info").remove();
    $("ended").hidden = false;
    document.title = "Corvel and the Brugak (ended)";
  },
});

// ---- the game's keys ----
// Where the pieces stand in which game: a hint is about one such position.
function position() {
  const { game } = page;
  const { bytes } = levels.current();
  if (!game || !bytes) return null;
  return {
    level: bytes, status: game._corvel_game_status(),
    hero: { x: game._corvel_hero_x(), y: game._corvel_hero_y() }, brugak: { x: game._corvel_brugak_x(), y: game._corvel_brugak_y() },
  };
}
const samePosition = (a, b) => (!a || !b ? a === b : a.level === b.level && a.status === b.status && a.hero.x === b.hero.x && a.hero.y === b.hero.y &&
  a.brugak.x === b.brugak.x && a.brugak.y === b.brugak.y);

function type(ch) {
  const { game } = page;
  if (!game || page.ended || boxes.isOpen()) return;
  const before = position();
  game._corvel_typed_character(ch);
  if (!samePosition(before, position())) forgetHint();
  score.noteTheEnd(game._corvel_game_status(), game._corvel_turns_played(), levels.current().bytes);
}

document.addEventListener("keydown", (e) => {
  if (page.ended || boxes.isOpen()) return;
  const meant = gameKey(e, e.target instanceof HTMLButtonElement || e.target instanceof HTMLInputElement);
  if (!meant) return;
  e.preventDefault();
  if (meant.menu) menus.activate();
  if (meant.character !== undefined) type(meant.character);
});
listenForTouch(canvas, {
  type,
  heroBox: () => page.game && { x: page.game._corvel_hero_x(), y: page.game._corvel_hero_y(), cell: page.game._corvel_cell_size() },
});
$("wait").addEventListener("click", () => type(waitKey));

// ---- levels from files and links ----
// Of several files picked or dropped at once, the first is played and the player told so.
function playFiles(files) {
  const { file, note } = LevelFile.firstOf(files);
  $("status-text").textContent = note;
  $("level-link").hidden = true;
  if (file) levels.playFile(file);
}

$("open-level").addEventListener("click", () => $("level-file").click());
$("level-file").addEventListener("change", (e) => {
  playFiles(e.target.files);
  e.target.value = "";
});
document.addEventListener("dragover", (e) => {
  if (page.ended || !e.dataTransfer.types.includes("Files")) return;
  e.preventDefault();
  e.dataTransfer.dropEffect = "copy";
});
document.addEventListener("drop", (e) => {
  if (page.ended || !e.dataTransfer.files.length) return;
  e.preventDefault();
  if (!boxes.isOpen()) return playFiles(e.dataTransfer.files);
  page.droppedDuringBox = [...e.dataTransfer.files];
  $("status-text").textContent = `${LevelName.inert(page.droppedDuringBox[0].name, "The file")} opens when the box is closed.`;
});
window.addEventListener("hashchange", () => !page.ended && levels.playAddressed());

$("copy-link").addEventListener("click", async () => {
  const { name, bytes } = levels.current();
  if (!bytes) return;
  const fragment = LevelLink.fragment(name, bytes);
  if (!fragment) {
    $("level-link").hidden = true;
    $("status-text").textContent = "This level is too large for a link.";
    return;
  }
  await copyText.use((copy) => copy.offer(new URL(fragment, location.href).href, "link"));
});

// The level editor opens on the level in play, through the same kind of link.
$("edit-level").addEventListener("click", (e) => {
  const { name, bytes } = levels.current();
  e.currentTarget.href = "editor.html" + ((bytes && LevelLink.fragment(name, bytes)) || "");
});

const hintPlay = {
  position, samePosition, usedAHint: () => score.usedAHint(), analysis: gameAnalysis,
  showHint: (text) => playInfo.use((info) => info.showHint(text)).catch(() => {}),
};
$("hint").addEventListener("click", () => hints.use((hint) => hint.askForHint(hintPlay, gameStatus.playing)));

// ---- start ----
const started = gameLoaded.then((game) => {
  page.game = game;
  board.attach(game);
  // The box about a missing level file names the site's folder, which only the page knows.
  ModuleMemory.withText(game, new URL(".", location.href).href, (at) => game._corvel_set_site_folder(at));
  // The game's picture goes up at once while a level the address names is on its way; the site's
  // level is played as it comes, and painted once.
  if (!levels.opensOnSiteLevel()) board.requestRepaint();
  board.focus();
  return levels.start(game);
});
keepSiteOffline(started);
