// The level editor's page: the level being edited, the tools that change it, and after every
// change corvel-level's own check and solve, run in a Web Worker so the page never waits for them.
"use strict";

(() => {
  const $ = (id) => document.getElementById(id);
  const board = $("editor-board");
  const maxSide = 64;

  // ---- the level being edited ----
  let level = EditorBoard.newLevel(6, 7);
  let name = "GameData.dat";
  // The bytes of the file the level came from, until its first change: the check then speaks
  // about that file's own lines. After a change the level is its text as saving writes it.
  let fileBytes = null;
  let analysis = null;  // the latest answer of the worker about the level
  let solutionStep = null;  // the key shown on the board while stepping through the win

  const encoder = new TextEncoder();
  const savedBytes = () => encoder.encode(EditorBoard.text(level));
  const levelBytes = () => fileBytes || savedBytes();

  // ---- the analysis worker: one at a time; a newer question ends the worker busy with an older one ----
  // Compiled once; a server that does not call it application/wasm still gets it compiled.
  const analysisModule = WebAssembly.compileStreaming(fetch("corvel-analysis.wasm"))
    .catch(() => fetch("corvel-analysis.wasm").then((r) => r.arrayBuffer()).then((bytes) => WebAssembly.compile(bytes)));
  let worker = null;
  let pending = null;  // {id, resolve} of the question the worker is answering
  let nextId = 1;

  function startWorker(module) {
    worker = new Worker("analysis-worker.js");
    worker.postMessage({ kind: "start", module });
    worker.onmessage = ({ data }) => {
      if (!pending || data.id !== pending.id) return;
      const { resolve } = pending;
      pending = null;
      resolve(data);
    };
    worker.onerror = (event) => {
      event.preventDefault();
      worker.terminate();
      worker = null;
      if (!pending) return;
      const { resolve } = pending;
      pending = null;
      resolve({ error: event.message || "the analysis stopped" });
    };
  }

  // Resolves with the worker's answer, or with null when a newer question superseded this one.
  function ask(question) {
    return analysisModule.then((module) => new Promise((resolve) => {
      if (pending) {
        worker.terminate();
        worker = null;
        pending.resolve(null);
      }
      if (!worker) startWorker(module);
      pending = { id: nextId++, resolve };
      worker.postMessage({ ...question, id: pending.id });
    }), (error) => ({ error: `the checker cannot be loaded: ${error.message}` }));
  }

  // ---- showing the level and what the check and the solver say about it ----
  const verdict = $("verdict");

  function findingCell(line) {
    if (line === 2) return level.hero;
    if (line === 3) return level.monster;
    if (line === 4) return level.exit;
    const cell = line - 5;
    if (line >= 5 && cell < level.cells.length) return { x: cell % level.width, y: Math.floor(cell / level.width) };
    return null;
  }

  let pointedFinding = null;  // the finding under the pointer in the list: its cell alone is highlighted

  function redraw() {
    const show = { highlighted: new Set() };
    const lines = pointedFinding !== null ? [pointedFinding] : (analysis?.check.findings || []).map((f) => f.line);
    for (const line of lines) {
      const cell = findingCell(line);
      if (cell) show.highlighted.add(`${cell.x},${cell.y}`);
    }
    if (solutionStep !== null && solutionStep > 0) {
      const step = analysis.steps[solutionStep - 1];
      show.hero = { x: step.hero[0], y: step.hero[1] };
      show.monster = { x: step.monster[0], y: step.monster[1] };
      show.ended = step.status !== "Playing";
    }
    if (document.activeElement === board) show.cursor = cursor;
    EditorBoard.draw(board, level, show);
  }

  function showAnalysis(answer) {
    analysis = answer;
    pointedFinding = null;
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
      item.addEventListener("pointerenter", () => ((pointedFinding = f.line), redraw()));
      item.addEventListener("pointerleave", () => ((pointedFinding = null), redraw()));
      return item;
    }), ...more);
    if (solve?.winnable) {
      verdict.textContent = `can be won in ${solve.length} ${solve.length === 1 ? "key" : "keys"}` +
        (solve.traps !== undefined ? `, with ${solve.traps} ${solve.traps === 1 ? "trap" : "traps"}` : "");
      $("keys").textContent = solve.keys;
    } else {
      verdict.textContent = solve ? "cannot be won" : "too large to search";
      $("keys").textContent = "";
    }
    $("solution-start").disabled = !solve?.winnable;
    verdict.setAttribute("aria-busy", "false");
    verdict.classList.remove("stale");
    redraw();
  }

  // After every change: the level drawn at once, its findings and verdict as soon as the worker answers.
  let generation = 0;
  async function levelChanged() {
    const asked = ++generation;
    const started = performance.now();
    stopSolution();
    redraw();
    updateLinks();
    verdict.setAttribute("aria-busy", "true");
    verdict.classList.add("stale");
    const answer = await ask({ kind: "analyse", name, bytes: levelBytes() });
    if (!answer || asked !== generation) return;
    if (answer.error) return showError(`The analysis stopped: ${answer.error}`);
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
  // `note`, when given, is shown once the level is open (why another level was not).
  async function openLevel(newName, bytes, note = null) {
    const asked = ++generation;
    verdict.setAttribute("aria-busy", "true");
    const answer = await ask({ kind: "read", name: newName, bytes });
    if (!answer || asked !== generation) return;
    const { check, level: read } = answer.result || {};
    if (answer.error || !check.usable) {
      const where = check?.refusal.line > 0 ? `${newName}:${check.refusal.line}` : newName;
      showError(answer.error ? `${newName}: ${answer.error}` : `${where}: refused: ${check.refusal.fault}`);
      return levelChanged();
    }
    if (read.size[0] > maxSide || read.size[1] > maxSide) {
      showError(`${newName}: the editor takes boards of up to ${maxSide} by ${maxSide} cells, and this one is ` +
                `${read.size[0]} by ${read.size[1]} (corvel-level check and solve take it)`);
      return levelChanged();
    }
    if (note) showError(note);
    else clearError();
    level = {
      width: read.size[0], height: read.size[1], cells: read.cells,
      hero: { x: read.heroStart[0], y: read.heroStart[1] },
      monster: { x: read.monsterStart[0], y: read.monsterStart[1] },
      exit: { x: read.exit[0], y: read.exit[1] },
    };
    name = newName;
    fileBytes = bytes;
    $("width").value = level.width;
    $("height").value = level.height;
    $("level-name").textContent = name;
    return levelChanged();
  }

  // The level changed by the editor: from now on it is the text saving writes.
  function edited() {
    fileBytes = null;
    clearError();
    levelChanged();
  }

  // ---- the tools ----
  const tool = () => document.querySelector("input[name=tool]:checked").value;

  board.addEventListener("pointerdown", (e) => {
    if (!e.isPrimary || e.button > 0) return;
    const box = board.getBoundingClientRect();
    const at = EditorBoard.hit(level, ((e.clientX - box.left) * board.width) / box.width, ((e.clientY - box.top) * board.height) / box.height);
    const onBoard = EditorBoard.inside(level, at.x, at.y);
    const inRing = at.x >= -1 && at.y >= -1 && at.x <= level.width && at.y <= level.height;
    const place = tool();
    if (inRing) cursor = { x: at.x, y: at.y };
    if (place === "walls") {
      if (EditorBoard.toggleSide(level, at.x, at.y, at.side)) edited();
    } else if (place === "exit") {
      if (inRing) {
        level.exit = { x: at.x, y: at.y };
        edited();
      }
    } else if (onBoard) {
      level[place] = { x: at.x, y: at.y };
      edited();
    } else {
      showError(`${place === "hero" ? "Corvel" : "The Brugak"} must start on the board.`);
    }
  });

  // The board by keyboard: the arrows move a cursor over the cells (and the ring around them),
  // w, a, s and d open or close that side of its cell, c, b and e place Corvel, the Brugak and the exit.
  let cursor = { x: 0, y: 0 };
  board.addEventListener("focus", redraw);
  board.addEventListener("blur", redraw);
  board.addEventListener("keydown", (e) => {
    if (e.ctrlKey || e.metaKey || e.altKey) return;
    const arrows = { ArrowUp: [0, -1], ArrowDown: [0, 1], ArrowLeft: [-1, 0], ArrowRight: [1, 0] };
    const key = e.key.toLowerCase();
    const onBoard = EditorBoard.inside(level, cursor.x, cursor.y);
    if (arrows[e.key]) {
      const [dx, dy] = arrows[e.key];
      cursor = { x: Math.min(Math.max(cursor.x + dx, -1), level.width), y: Math.min(Math.max(cursor.y + dy, -1), level.height) };
      redraw();
    } else if ("wasd".includes(key) && key.length === 1) {
      if (EditorBoard.toggleSide(level, cursor.x, cursor.y, EditorBoard.sideOfKey(key))) edited();
    } else if (key === "e") {
      level.exit = { ...cursor };
      edited();
    } else if ((key === "c" || key === "b") && onBoard) {
      level[key === "c" ? "hero" : "monster"] = { ...cursor };
      edited();
    } else {
      return;
    }
    e.preventDefault();
  });

  function sizeFromFields() {
    const width = Number($("width").value), height = Number($("height").value);
    const fits = (n) => Number.isInteger(n) && n >= 1 && n <= maxSide;
    if (fits(width) && fits(height)) return { width, height };
    showError(`Width and height must be whole numbers from 1 to ${maxSide}.`);
    return null;
  }

  $("new-level").addEventListener("click", () => {
    const size = sizeFromFields();
    if (!size) return;
    level = EditorBoard.newLevel(size.width, size.height);
    edited();
  });
  $("resize").addEventListener("click", () => {
    const size = sizeFromFields();
    if (!size) return;
    level = EditorBoard.resized(level, size.width, size.height);
    edited();
  });

  $("generate").addEventListener("click", async () => {
    const size = sizeFromFields();
    if (!size) return;
    // Blank tries and seconds mean what leaving out --tries and --seconds means.
    const count = (id, most) => {
      const text = $(id).value.trim();
      if (text === "") return 0;
      return /^[0-9]+$/.test(text) && Number(text) >= 1 && Number(text) <= most ? Number(text) : null;
    };
    const tries = count("tries", 1e9), seconds = count("seconds", 86400);
    if (tries === null || seconds === null)
      return showError("Tries must be a whole number from 1 to 1000000000 and seconds one from 1 to 86400, or left blank.");
    const asked = ++generation;
    $("status-text").textContent = "Generating…";
    verdict.setAttribute("aria-busy", "true");
    const answer = await ask({ kind: "generate", width: size.width, height: size.height, method: $("method").value, seed: $("seed").value.trim(), tries, seconds });
    if (!answer || asked !== generation) return;
    const made = answer.result;
    $("status-text").textContent = made?.outOfTime ? `The time ran out; tries ${made.tried} makes the same level again.` : "";
    if (answer.error || made.error) {
      showError(`generate: ${answer.error || made.error}`);
      return levelChanged();
    }
    return openLevel(name, encoder.encode(made.text));
  });

  // ---- stepping through the shortest win ----
  function showStep(step) {
    solutionStep = step;
    const keys = analysis.solve.keys;
    $("solution-back").disabled = step === 0;
    $("solution-next").disabled = step === keys.length;
    const status = step > 0 ? analysis.steps[step - 1].status : "Playing";
    $("solution-step").textContent = step === 0 ? `the start; ${keys.length} keys to go`
      : `key ${step} of ${keys.length}: ${keys[step - 1]}` + (status === "Escaped" ? ". Corvel has escaped!" : status === "Caught" ? ". Corvel has died." : "");
    redraw();
  }
  function stopSolution() {
    solutionStep = null;
    $("solution-back").disabled = $("solution-next").disabled = true;
    $("solution-step").textContent = "";
  }
  $("solution-start").addEventListener("click", () => analysis?.solve?.winnable && showStep(0));
  $("solution-next").addEventListener("click", () => solutionStep !== null && showStep(Math.min(solutionStep + 1, analysis.solve.keys.length)));
  $("solution-back").addEventListener("click", () => solutionStep !== null && showStep(Math.max(solutionStep - 1, 0)));

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
  document.addEventListener("drop", (e) => {
    if (!e.dataTransfer.files.length) return;
    e.preventDefault();
    openFile(e.dataTransfer.files[0]);
  });

  async function openFile(file) {
    let bytes;
    try {
      bytes = await LevelFile.read(file);
    } catch (error) {
      return showError(`${file.name}: ${error.message}`);
    }
    openLevel(file.name, bytes);
  }

  // Saving writes the documented format, whatever the file it came from looked like.
  $("save-level").addEventListener("click", () => {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([EditorBoard.text(level)], { type: "application/octet-stream" }));
    link.download = "GameData.dat";
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  });

  // A board of at most 64 by 64 cells always fits in a link.
  const gameLink = () => new URL("index.html" + LevelLink.fragment(name, savedBytes()), location.href).href;

  // The address carries the level, so going back from a play-test (or reloading) finds it again.
  function updateLinks() {
    $("play-test").href = gameLink();
    // An opened file too large for an address (long notes after its cells) leaves the address bare.
    history.replaceState(null, "", location.pathname + location.search + (LevelLink.fragment(name, levelBytes()) ?? ""));
  }

  $("copy-link").addEventListener("click", async () => {
    const shown = $("level-link");
    shown.hidden = false;
    shown.value = gameLink();
    try {
      await navigator.clipboard.writeText(shown.value);
      $("status-text").textContent = "Link copied:";
    } catch {
      $("status-text").textContent = "Copy this link:";
    }
    shown.select();
  });

  // ---- start: the level the address carries, else the site's ----
  async function openAddressedLevel() {
    const linked = LevelLink.parse(location.hash);
    if (linked?.bytes) return openLevel(linked.name, linked.bytes);
    const broken = linked && `${linked.name}: holds no level: its text is not base64url (letters, digits, - and _)`;
    if (broken && analysis) return showError(broken);
    try {
      const response = await fetch("GameData.dat", { cache: "no-store" });
      if (response.ok) return openLevel("GameData.dat", new Uint8Array(await response.arrayBuffer()), broken);
    } catch {
      // no level on the site: a new one
    }
    $("level-name").textContent = name;
    if (broken) showError(broken);
    return levelChanged();
  }
  const sameBytes = (a, b) => a.length === b.length && a.every((byte, i) => byte === b[i]);
  window.addEventListener("hashchange", () => {
    const linked = LevelLink.parse(location.hash);
    if (linked && !(linked.bytes && fileBytes && sameBytes(linked.bytes, fileBytes))) openAddressedLevel();
  });

  // How long a click waited for the page, for the tests: the search must never make it wait.
  window.editorInputDelays = [];
  // And how long each change took to its verdict on screen, for the measuring script.
  window.editorVerdictTimes = [];
  document.addEventListener("pointerdown", (e) => window.editorInputDelays.push(performance.now() - e.timeStamp), true);

  $("level-name").textContent = name;
  redraw();
  openAddressedLevel();
})();
