// The level editor's page: the level being edited, the tools that change it, and after every
// change corvel-level's own check and solve, run in a Web Worker so the page never waits for them.
"use strict";

(() => {
  const $ = (id) => document.getElementById(id);
  const board = $("editor-board");
  const maxSide = 64;
  // What Undo reaches back to: a long session of edits stays within a few megabytes.
  const historySteps = 1000;
  // What a nameless level (or one whose name is only spaces) is called.
  const unnamed = "the level";
  const nameOf = (raw) => LevelName.inert(raw, unnamed);

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

  // ---- undo and redo: every change records the state before it ----
  const undoHistory = EditorHistory.create(historySteps);
  const copyOf = (l) => ({ ...l, hero: { ...l.hero }, monster: { ...l.monster }, exit: { ...l.exit }, cells: [...l.cells] });
  const snapshot = () => ({ level: copyOf(level), name, fileBytes });

  function showState(state) {
    ({ name, fileBytes } = state);
    level = copyOf(state.level);
    $("width").value = level.width;
    $("height").value = level.height;
    $("level-name").textContent = name;
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

  // Calls `action` at once, or, if it ran less than `interval` ms ago, once when that is past.
  function coalesced(action, interval) {
    let last = -Infinity, timer = null;
    const run = () => {
      clearTimeout(timer);
      timer = null;
      last = performance.now();
      action();
    };
    const call = () => {
      if (timer) return;
      const wait = last + interval - performance.now();
      if (wait <= 0) run();
      else timer = setTimeout(run, wait);
    };
    call.flush = () => timer && run();
    return call;
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

  // Where Corvel stands at each trap of the win (before its key), with solve's words for it.
  function trapCells() {
    const turns = analysis?.solve?.trapTurns || [];
    return turns.map(({ turn }, i) => {
      const at = turn === 1 ? [level.hero.x, level.hero.y] : analysis.steps[turn - 2].hero;
      return { x: at[0], y: at[1], text: analysis.trapTexts[i] };
    });
  }

  // The traps that spring on a cell, as solve words them, shown while the cell is pointed at.
  function showTrapsAt(cell) {
    const texts = cell ? trapCells().filter((t) => t.x === cell.x && t.y === cell.y).map((t) => t.text) : [];
    $("trap-note").textContent = texts.length ? `Trap: ${texts.join("; ")}` : "";
  }

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
    show.traps = trapCells();
    board.dataset.trapCells = show.traps.map((t) => `${t.x},${t.y}`).join(" ");
    const zoom = Number($("zoom").value);
    cellSize = EditorBoard.cellSizeFor(level, boardRoom(), zoom);
    board.classList.toggle("zoomed", zoom > 1);
    EditorBoard.draw(board, level, cellSize, show);
  }

  // The pixels the board may take across: the window's width less the margins around the board.
  let cellSize = EditorBoard.cellSizeFor(level);
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
    analysis = answer;
    pointedFinding = null;
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
      item.addEventListener("pointerenter", () => ((pointedFinding = f.line), redraw()));
      item.addEventListener("pointerleave", () => ((pointedFinding = null), redraw()));
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

  // After every change: the level drawn at once, its findings and verdict as soon as the worker
  // answers. Rapid changes (a key held down, a drag) are answered for the last of them.
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
    if (answer.fault) {
      verdict.textContent = "not checked";
      verdict.setAttribute("aria-busy", "false");
      return showError(`${name}: ${faults[answer.fault]}.`);
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
    const asked = ++generation;
    verdict.setAttribute("aria-busy", "true");
    const answer = await ask({ kind: "read", name: newName, bytes, maxSide });
    if (!answer || asked !== generation) return;
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

  // A point of the board in its own pixels.
  function boardPoint(e) {
    const box = board.getBoundingClientRect();
    return { x: ((e.clientX - box.left) * board.width) / box.width, y: ((e.clientY - box.top) * board.height) / box.height };
  }

  // A drag with the walls tool, by mouse, pen or finger: every wall it passes along takes the
  // state the first one took; the whole drag is one step of Undo.
  let drawing = null;  // {pointer, open, side, last}

  board.addEventListener("pointerdown", (e) => {
    if (!e.isPrimary || e.button > 0) return;
    const point = boardPoint(e);
    const at = EditorBoard.hit(level, cellSize, point.x, point.y);
    const onBoard = EditorBoard.inside(level, at.x, at.y);
    const inRing = at.x >= -1 && at.y >= -1 && at.x <= level.width && at.y <= level.height;
    const place = tool();
    if (inRing) cursor = { x: at.x, y: at.y };
    if (place === "walls") {
      const open = EditorBoard.sideOpen(level, at.x, at.y, at.side);
      if (open === null) return;
      drawing = { pointer: e.pointerId, open: !open, side: at.side, last: point };
      board.setPointerCapture(e.pointerId);
      change(() => EditorBoard.setSide(level, at.x, at.y, at.side, !open));
    } else if (place === "exit") {
      if (inRing) change(() => EditorBoard.moveExit(level, at));
    } else if (onBoard) {
      change(() => ((level[place] = { x: at.x, y: at.y }), true));
    } else {
      showError(`${place === "hero" ? "Corvel" : "The Brugak"} must start on the board.`);
    }
  });
  board.addEventListener("pointermove", (e) => {
    if (!drawing) {
      const point = boardPoint(e);
      return showTrapsAt(EditorBoard.hit(level, cellSize, point.x, point.y));
    }
    if (e.pointerId !== drawing.pointer) return;
    const point = boardPoint(e);
    // Every few pixels between the last point and this one, so that a fast stroke misses no wall.
    const steps = Math.max(1, Math.ceil(Math.hypot(point.x - drawing.last.x, point.y - drawing.last.y) / (cellSize / 3)));
    let changed = false;
    for (let i = 1; i <= steps; ++i) {
      const x = drawing.last.x + ((point.x - drawing.last.x) * i) / steps, y = drawing.last.y + ((point.y - drawing.last.y) * i) / steps;
      const at = EditorBoard.hitAlong(level, cellSize, x, y, drawing.side);
      changed = EditorBoard.setSide(level, at.x, at.y, at.side, drawing.open) || changed;
    }
    drawing.last = point;
    if (changed) edited();
  });
  const endDrawing = (e) => drawing && e.pointerId === drawing.pointer && (drawing = null);
  board.addEventListener("pointerup", endDrawing);
  board.addEventListener("pointercancel", endDrawing);
  board.addEventListener("lostpointercapture", endDrawing);
  board.addEventListener("pointerleave", () => drawing || showTrapsAt(null));

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
      showTrapsAt(cursor);
      redraw();
    } else if ("wasd".includes(key) && key.length === 1) {
      change(() => EditorBoard.toggleSide(level, cursor.x, cursor.y, EditorBoard.sideOfKey(key)));
    } else if (key === "e") {
      change(() => EditorBoard.moveExit(level, cursor));
    } else if ((key === "c" || key === "b") && onBoard) {
      change(() => ((level[key === "c" ? "hero" : "monster"] = { ...cursor }), true));
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
    if (size) change(() => ((level = EditorBoard.newLevel(size.width, size.height)), true));
  });
  $("resize").addEventListener("click", () => {
    const size = sizeFromFields();
    if (size) change(() => ((level = EditorBoard.resized(level, size.width, size.height)), true));
  });

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

  // ---- generate: each press after a generation takes the next seed, so each gives a new level
  // and the seed field always tells how to make the level shown again ----
  let lastSeed = null;  // the seed of the last generation, as the field showed it
  const nextSeed = (text) => String((BigInt(text) + 1n) % (1n << 64n));
  let generating = null;  // the generation under way: {asked}

  function stopGenerating(status = "") {
    generating = null;
    $("generate").disabled = false;
    $("cancel-generate").hidden = true;
    $("status-text").textContent = status;
  }

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
    let seed = $("seed").value.trim();
    if (seed === lastSeed && /^[0-9]+$/.test(seed)) $("seed").value = seed = nextSeed(seed);
    const asked = ++generation;
    const mine = (generating = { asked });
    $("generate").disabled = true;
    $("cancel-generate").hidden = false;
    $("status-text").textContent = "Generating…";
    verdict.setAttribute("aria-busy", "true");
    const progress = (text) => generating === mine && ($("status-text").textContent = `Generating… ${text}`);
    const answer = await ask({ kind: "generate", width: size.width, height: size.height, method: $("method").value, seed, tries, seconds }, progress);
    // An edit, an opened level or Cancel ended it: the page says no more of it.
    if (generating === mine) stopGenerating();
    if (!answer || asked !== generation) return;
    const made = answer.result;
    if (answer.fault || made.error) {
      showError(`generate: ${answer.fault ? faults[answer.fault] : made.error}`);
      return levelChanged();
    }
    lastSeed = seed;
    $("status-text").textContent = made.outOfTime ? `The time ran out; tries ${made.tried} makes the same level again.` : "";
    return openLevel(name, encoder.encode(made.text));
  });
  // Cancel ends the search; the level being edited stays, checked again.
  $("cancel-generate").addEventListener("click", () => {
    if (!generating) return;
    analyser.cancel();
    stopGenerating("Generate cancelled; the level is as it was.");
    levelChanged();
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
    $("keys").textContent = "";
    $("solution-back").disabled = $("solution-next").disabled = true;
    $("solution-step").textContent = "";
  }
  // The keys of the win are shown only when asked for: a player who came to look at the level
  // has not been told its answer.
  $("solution-start").addEventListener("click", () => {
    if (!analysis?.solve?.winnable) return;
    $("keys").textContent = analysis.solve.keys;
    showStep(0);
  });
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
  // Rapid changes rewrite it a few times a second, not at every key: browsers stop listening to
  // a page that rewrites its address hundreds of times in a few seconds.
  const updateAddress = coalesced(() => {
    $("play-test").href = gameLink();
    // An opened file too large for an address (long notes after its cells) leaves the address bare.
    history.replaceState(null, "", location.pathname + location.search + (LevelLink.fragment(name, levelBytes()) ?? ""));
  }, 250);
  const updateLinks = () => updateAddress();
  // The play-test link is made when it is followed, with the address brought up to date first.
  $("play-test").addEventListener("click", () => {
    updateAddress.flush();
    $("play-test").href = gameLink();
  });
  window.addEventListener("pagehide", () => updateAddress.flush());

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
  async function openAddressedLevel({ record = true } = {}) {
    const linked = LevelLink.parse(location.hash);
    if (linked?.bytes) return openLevel(linked.name, linked.bytes, { record });
    const broken = linked && `${linked.name}: ${linked.fault}`;
    if (broken && analysis) return showError(broken);
    try {
      const response = await fetch("GameData.dat", { cache: "no-store" });
      if (response.ok) return openLevel("GameData.dat", new Uint8Array(await response.arrayBuffer()), { note: broken, record });
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
  // And from each key press to the end of the page's work on it, for the measuring script.
  window.editorKeyTimes = [];
  document.addEventListener("keydown", (e) => window.editorKeyTimes.push(performance.now() - e.timeStamp));

  for (const id of ["width", "height"]) $(id).max = maxSide;
  $("level-name").textContent = name;
  showHistory();
  redraw();
  openAddressedLevel({ record: false });
})();
