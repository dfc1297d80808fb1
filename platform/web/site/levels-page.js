// The levels page: the pack in its order, each level linked to the game page with a picture of its
// start painted by the game itself, its par, its traps and what this browser has kept of the
// player's wins.
import createCorvel from "./corvel.js";
import { ExitMark } from "./exit-mark.js";
import { LevelPack } from "./level-pack.js";
import { ModuleMemory } from "./module-memory.js";
import { Progress } from "./progress.js";
import { keepSiteOffline } from "./offline.js";

const $ = (id) => document.getElementById(id);
const list = $("pack");

// The game paints each start; the page crops the board, rings it and marks its exit.
function picture(game, entry, bytes) {
  const accepted = ModuleMemory.withBytes(game, bytes, (at, length) =>
    ModuleMemory.withText(game, entry.file, (nameAt) => game._corvel_new_game_from_text(at, length, nameAt)));
  if (!accepted) return null;
  const cell = game._corvel_cell_size();
  const width = entry.width * cell + 1;
  const height = entry.height * cell + 1;
  const areaWidth = game._corvel_board_width();
  const pixels = game._corvel_paint();
  const canvas = document.createElement("canvas");
  canvas.width = width + 2 * cell;
  canvas.height = height + 2 * cell;
  const context = canvas.getContext("2d");
  context.fillStyle = "#eef1f5";
  context.fillRect(0, 0, canvas.width, canvas.height);
  const board = context.createImageData(width, height);
  for (let y = 0; y < height; ++y) {
    const from = pixels + y * areaWidth * 4;
    board.data.set(game.HEAPU8.subarray(from, from + width * 4), y * width * 4);
  }
  context.putImageData(board, cell, cell);
  ExitMark.draw(context, (game._corvel_exit_x() + 1) * cell, (game._corvel_exit_y() + 1) * cell, cell);
  canvas.className = "start";
  canvas.setAttribute("role", "img");
  return canvas;
}

function mark(record, par) {
  if (!record) return "not solved yet";
  const marks = [`solved in ${record.fewestKeys} keys`];
  if (record.fewestKeys <= par) marks.push("★ par");
  if (record.withoutHints) marks.push("✓ no hints");
  return marks.join(" · ");
}

function item(game, number, count, entry, bytes) {
  const li = document.createElement("li");
  const link = document.createElement("a");
  link.href = LevelPack.address(number);
  link.className = "level";
  const shown = picture(game, entry, bytes);
  if (shown) {
    shown.setAttribute("aria-label", `The start of level ${number}`);
    link.append(shown);
  }
  const words = document.createElement("span");
  words.className = "words";
  const name = document.createElement("strong");
  name.textContent = LevelPack.label(number, count, entry);
  const figures = document.createElement("span");
  figures.textContent = `par ${entry.par} · ${entry.traps} trap${entry.traps === 1 ? "" : "s"}`;
  const record = document.createElement("span");
  record.className = "mark";
  record.dataset.level = Progress.levelKey(bytes);
  record.textContent = mark(Progress.of(bytes), entry.par);
  words.append(name, figures, record);
  link.append(words);
  li.append(link);
  return li;
}

async function showPack(game) {
  try {
    const levels = await LevelPack.levels();
    const files = await Promise.all(levels.map((entry) => fetch("levels/" + entry.file).then((r) => {
      if (!r.ok) throw new Error(`levels/${entry.file} cannot be fetched from the site: ${r.status} ${r.statusText}`);
      return r.arrayBuffer();
    })));
    list.replaceChildren(...levels.map((entry, i) => item(game, i + 1, levels.length, entry, new Uint8Array(files[i]))));
  } catch (error) {
    $("pack-error").textContent = `The level pack cannot be shown: ${error.message}`;
    $("pack-error").hidden = false;
  } finally {
    list.setAttribute("aria-busy", "false");
  }
}

if (!Progress.kept()) {
  $("progress-note").textContent = "Progress is not kept: this browser does not let the page store it.";
  $("progress-note").hidden = false;
}

const forgetBox = $("forget-box");
$("forget").addEventListener("click", () => forgetBox.showModal());
forgetBox.addEventListener("close", () => {
  if (forgetBox.returnValue !== "forget") return;
  $("forget-status").textContent = Progress.forget() ? "Your progress is forgotten." : "This browser keeps no progress to forget.";
  for (const shown of document.querySelectorAll(".mark")) shown.textContent = mark(null);
});

// The game's window is not shown here: the game only paints the pictures.
const quiet = { showMessage() {}, requestRepaint() {}, close() {} };
createCorvel({ corvelPage: quiet }).then(showPack);

keepSiteOffline();
