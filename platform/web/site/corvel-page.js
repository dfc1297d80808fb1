// The page around the game: paints the board the game painted, shows its boxes, passes typed keys,
// taps, swipes and menu commands to it, and brings it levels from the site, a local file or a link.
// Nothing runs while the player thinks: every paint answers a change.
"use strict";

(() => {
  const $ = (id) => document.getElementById(id);
  const board = $("board");
  const context = board.getContext("2d");
  const dialog = $("message");
  const boardWords = $("board-words");
  const messages = [];  // boxes waiting for the one on screen to close
  let game = null;      // the WebAssembly module once it has started
  let ended = false;
  let repaintPending = false;
  // The level being played, as {name, bytes, fromSite, fragment, about}; New Game plays it again when
  // it came from a file, a link, the pack or the day (fromSite false), and fetches the site's level
  // file afresh when it came from the site. `fragment` is the address that names it, when it is
  // not its own link; `about` what the page says of it outside the window (PlayInfo).
  let level = { name: "GameData.dat", bytes: null, fromSite: true, fragment: "", about: null };
  let levelWork = Promise.resolve();  // levels are taken in the order they were asked for
  let droppedDuringBox = null;  // files dropped while a box was open, played once it closes

  // ---- what the game asks of its window ----
  const page = {
    showMessage(text, caption) {
      messages.push({ text: text.replace(/\r\n/g, "\n"), caption });
      if (!dialog.open) showNextMessage();
    },
    requestRepaint() {
      if (repaintPending) return;
      repaintPending = true;
      queueMicrotask(paint);
    },
    close() {
      ended = true;
      messages.length = 0;
      if (dialog.open) dialog.close();
      $("game").remove();
      $("play-info").remove();
      $("ended").hidden = false;
      document.title = "Corvel and the Brugak (ended)";
    },
  };

  function showNextMessage() {
    const next = messages.shift();
    if (!next || ended) return;
    $("message-caption").textContent = next.caption;
    $("message-text").textContent = next.text;
    dialog.showModal();
    $("message-ok").focus();
  }
  // The board takes the keyboard back once the last box has closed, unless the player has already
  // given it to the menu bar: a quick F10 can come before the page hears of the close.
  dialog.addEventListener("close", () => {
    if (messages.length) return showNextMessage();
    if (!ended && !menus.contains(document.activeElement)) board.focus({ preventScroll: true });
    if (resultToShow && !ended) PlayInfo.showResult(level.about, resultToShow);
    resultToShow = null;
    if (droppedDuringBox && !ended) playFiles(droppedDuringBox.splice(0));
    droppedDuringBox = null;
  });
  dialog.addEventListener("keydown", (e) => {
    // Enter and Escape close the box wherever its focus is; nothing else reaches the game meanwhile.
    if (e.key === "Enter" || e.key === "Escape") {
      e.preventDefault();
      dialog.close();
    }
    e.stopPropagation();
  });

  // ---- painting ----
  function paint() {
    repaintPending = false;
    if (ended) return;
    const pixels = game._corvel_paint();
    const width = game._corvel_board_width();
    const height = game._corvel_board_height();
    if (board.width !== width || board.height !== height) {
      board.width = width;
      board.height = height;
      fitToScreen();
    }
    context.putImageData(new ImageData(new Uint8ClampedArray(game.HEAPU8.buffer, pixels, width * height * 4), width, height), 0, 0);
    performance.mark("corvel-paint");
    const words = game.UTF8ToString(game._corvel_board_words());
    if (boardWords.textContent !== words) boardWords.textContent = words;
  }

  // The board at the largest whole scale at which it, the menu bar and the controls fit the screen:
  // one board pixel is always a whole number of screen pixels, never a blur between them.
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
    const spareHeight = innerHeight - (around.top + scrollY) - sum(body, "marginBottom") - (around.height - board.getBoundingClientRect().height);
    // Whole screen pixels a board pixel at each step of the scale (2 on a screen of ratio 2).
    const step = Math.max(1, Math.floor(ratio));
    const scale = Math.max(1, Math.floor(Math.min((spareWidth * ratio) / (board.width * step), (spareHeight * ratio) / (board.height * step))));
    board.style.width = (board.width * scale * step) / ratio + "px";
    board.style.height = (board.height * scale * step) / ratio + "px";
  }
  window.addEventListener("resize", fitToScreen);
  fitToScreen();

  // ---- typed keys ----
  const scrollingKeys = new Set(["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", "PageUp", "PageDown", "Home", "End", " ", "Backspace"]);

  function type(ch) {
    if (!game || ended || dialog.open) return;
    const before = positionNow();
    game._corvel_typed_character(ch);
    if (!samePosition(before, positionNow())) {
      globalThis.GameAnalysis?.forgetHint();
      PlayInfo.showHint("");
    }
    noteTheEnd();
  }

  // Where the pieces stand in which game: a hint is about one such position.
  const positionNow = () => ({
    level: level.bytes, status: game._corvel_game_status(),
    hero: { x: game._corvel_hero_x(), y: game._corvel_hero_y() }, brugak: { x: game._corvel_brugak_x(), y: game._corvel_brugak_y() },
  });
  const samePosition = (a, b) => a.level === b.level && a.status === b.status && a.hero.x === b.hero.x && a.hero.y === b.hero.y &&
    a.brugak.x === b.brugak.x && a.brugak.y === b.brugak.y;

  // ---- how a game went ----
  // The game's status as the module gives it (corvel_game_status).
  const status = { playing: 0, caught: 1, escaped: 2 };
  // A game that has just ended is scored once; what the page says of it waits for its box to close.
  let scored = false;
  let hintsUsed = false;
  let resultToShow = null;

  function noteTheEnd() {
    const now = game._corvel_game_status();
    if (scored || now === status.playing) return;
    scored = true;
    const keys = game._corvel_turns_played();
    resultToShow = { escaped: now === status.escaped, keys };
    if (now === status.escaped && PlayInfo.keepsProgress(level.about)) resultToShow.stored = Progress.recordWin(level.bytes, keys, hintsUsed);
    resultToShow.hintsUsed = hintsUsed;
  }

  function startedAGame() {
    scored = false;
    hintsUsed = false;
    resultToShow = null;
    globalThis.GameAnalysis?.forgetHint();
    PlayInfo.show(level.about);
  }

  document.addEventListener("keydown", (e) => {
    if (ended || dialog.open) return;
    if (e.key === "F10" && !e.ctrlKey && !e.altKey && !e.metaKey) {
      e.preventDefault();
      menus.activate();
      return;
    }
    if (e.ctrlKey || e.metaKey || e.altKey) return;  // the browser's own shortcuts stay the player's
    const onControl = e.target instanceof HTMLButtonElement || e.target instanceof HTMLInputElement;
    if (onControl && (e.key === " " || e.key === "Enter")) return;  // a focused button works as usual
    if ([...e.key].length === 1) {
      e.preventDefault();
      type(e.key.codePointAt(0));
    } else if (scrollingKeys.has(e.key)) {
      e.preventDefault();
    }
  });

  // ---- the menu ----
  const menus = new MenuBar(
    $("menubar"),
    (command) => {
      if (command === "new-game") newGame();
      else if (command === "exit") game._corvel_menu_exit();
      else if (command === "instructions") game._corvel_menu_instructions();
    },
    () => board.focus({ preventScroll: true }),
  );

  // ---- levels ----
  // Bytes and names reach the game through memory it allocates (ModuleMemory), bounded before.
  const tooLarge = "is too large to open here";

  function refuse(name, fault) {
    ModuleMemory.withTexts(game, [name, fault], (nameAt, faultAt) => game._corvel_refuse_level(nameAt, faultAt));
  }

  // The site's level file, fetched afresh so that a replaced file counts at the next New Game.
  const fetchSiteLevel = () => fetch("GameData.dat", { cache: "no-store" });
  // The address, read once when the page starts: the first site level is on its way while the game
  // loads, unless the address names a level of its own.
  const firstAddress = LevelLink.parse(location.hash);
  let earlySiteLevel = firstAddress ? null : fetchSiteLevel();
  earlySiteLevel?.catch(() => {});

  async function playSiteLevel() {
    let response;
    try {
      response = await (earlySiteLevel || fetchSiteLevel());
    } catch (error) {
      return ModuleMemory.withText(game, error.message, (whyAt) => game._corvel_site_unreachable(whyAt));
    } finally {
      earlySiteLevel = null;
    }
    if (!response.ok && response.status !== 404) {
      return refuse("GameData.dat", "cannot be fetched from the site: " + response.status + " " + response.statusText);
    }
    const present = response.ok;
    const bytes = present ? new Uint8Array(await response.arrayBuffer()) : new Uint8Array(0);
    const accepted = ModuleMemory.withBytes(game, bytes, (at, length) => game._corvel_new_game_with_level_file(at, length, present ? 1 : 0));
    if (accepted === null) return refuse("GameData.dat", tooLarge);
    if (accepted) {
      // A New Game the network could not serve plays the copy kept from the last visit, and says so.
      if (level.bytes && Offline.isKeptCopy(response)) game._corvel_played_kept_copy();
      level = { name: "GameData.dat", bytes, fromSite: true, fragment: "", about: null };
      startedAGame();
    }
    showLevelInAddress();
  }

  // The address always carries the level in play: the site's has no fragment, another its link;
  // a level too large for a link gets none, not an older one. A refused link leaves the address
  // too, so that reloading plays what is on the board (and a huge address does not stay behind).
  function showLevelInAddress() {
    const fragment = level.fromSite ? "" : level.fragment || (LevelLink.fragment(level.name, level.bytes) ?? "");
    history.replaceState(null, "", location.pathname + location.search + fragment);
  }

  // A level from a local file or a link, named inertly; refused, it is explained and the game goes
  // on. `fault` says why there are no bytes to play. True when the level was accepted.
  function playLevelText(name, bytes, fault, { fragment = "", about = null } = {}) {
    let accepted = false;
    if (!bytes) {
      refuse(name, fault);
    } else {
      accepted = ModuleMemory.withBytes(game, bytes, (at, length) =>
        ModuleMemory.withText(game, name, (nameAt) => game._corvel_new_game_from_text(at, length, nameAt)));
      if (accepted === null) refuse(name, tooLarge);
    }
    if (accepted) {
      level = { name, bytes, fromSite: false, fragment, about };
      startedAGame();
    }
    showLevelInAddress();
    return Boolean(accepted);
  }

  // The board is busy while a level is on its way, for screen readers (and for the tests).
  // A fault of the game itself while it takes a level is told as a sentence about the level.
  let levelsPending = 0;
  function queueLevel(work) {
    ++levelsPending;
    board.setAttribute("aria-busy", "true");
    levelWork = levelWork
      .then(work)
      .catch(() => refuse(level.name, "could not be opened: the page ran out of memory"))
      .catch(() => {})
      .finally(() => --levelsPending || board.setAttribute("aria-busy", "false"));
    return levelWork;
  }

  function newGame() {
    return queueLevel(() => (level.fromSite ? playSiteLevel() : playLevelText(level.name, level.bytes, null, level)));
  }

  // Level `number` of the site's pack, byte for byte as the site has it.
  async function playPackLevel(number) {
    let found;
    try {
      found = await LevelPack.level(number);
    } catch (error) {
      refuse(`Level ${number} of the pack`, error.message);
      return false;
    }
    const about = { kind: "pack", number, count: found.count, entry: found.entry };
    return playLevelText(found.entry.file, found.bytes, null, { fragment: `#pack=${number}`, about });
  }

  // The day's level, made by the analysis from the date as corvel-level generate makes it.
  async function playDailyLevel(date) {
    const daily = await (await gameAnalysis()).daily(date);
    if (daily.stale) return false;
    if (daily.error) {
      refuse(`The daily level of ${date}`, daily.error);
      return false;
    }
    const about = { kind: "daily", date, par: daily.shortestWin, command: daily.command };
    return playLevelText(`daily-${date}.dat`, new TextEncoder().encode(daily.text), null, { fragment: `#daily=${date}`, about });
  }

  function playFile(file) {
    const name = LevelName.inert(file.name, "the file");
    return queueLevel(async () => {
      let bytes;
      try {
        bytes = await LevelFile.read(file);
      } catch (error) {
        return refuse(name, error.message);
      }
      playLevelText(name, bytes, null, { about: { kind: "named", name } });
    });
  }

  // Of several files picked or dropped at once, the first is played and the player told so.
  function playFiles(files) {
    const { file, note } = LevelFile.firstOf(files);
    $("status-text").textContent = note;
    $("level-link").hidden = true;
    if (file) playFile(file);
  }

  // The level the page's address asks for, or the site's when it names none, or when it names one
  // that is refused before any game has started.
  function playAddressedLevel(linked = LevelLink.parse(location.hash)) {
    return queueLevel(async () => {
      if (!linked) return playSiteLevel();
      const accepted = await playLinked(linked);
      if (!accepted && !level.bytes) return playSiteLevel();
    });
  }

  // True when the level the address names was accepted.
  function playLinked(linked) {
    if (linked.fault) return playLevelText(linked.kind === "level" ? linked.name : "the link", null, linked.fault);
    if (linked.kind === "pack") return playPackLevel(linked.number);
    if (linked.kind === "daily") return playDailyLevel(linked.date);
    return playLevelText(linked.name, linked.bytes, null, { about: { kind: "named", name: linked.name } });
  }

  $("open-level").addEventListener("click", () => $("level-file").click());
  $("level-file").addEventListener("change", (e) => {
    playFiles(e.target.files);
    e.target.value = "";
  });
  document.addEventListener("dragover", (e) => {
    if (ended || !e.dataTransfer.types.includes("Files")) return;
    e.preventDefault();
    e.dataTransfer.dropEffect = "copy";
  });
  document.addEventListener("drop", (e) => {
    if (ended || !e.dataTransfer.files.length) return;
    e.preventDefault();
    if (!dialog.open) return playFiles(e.dataTransfer.files);
    droppedDuringBox = [...e.dataTransfer.files];
    $("status-text").textContent = `${LevelName.inert(droppedDuringBox[0].name, "The file")} opens when the box is closed.`;
  });
  window.addEventListener("hashchange", () => !ended && playAddressedLevel());

  $("copy-link").addEventListener("click", async () => {
    if (!level.bytes) return;
    const fragment = LevelLink.fragment(level.name, level.bytes);
    const shown = $("level-link");
    if (!fragment) {
      shown.hidden = true;
      $("status-text").textContent = "This level is too large for a link.";
      return;
    }
    await CopyText.offer(new URL(fragment, location.href).href, "link");
  });

  // The level editor opens on the level in play, through the same kind of link.
  $("edit-level").addEventListener("click", (e) => {
    e.currentTarget.href = "editor.html" + ((level.bytes && LevelLink.fragment(level.name, level.bytes)) || "");
  });

  // ---- touch and pointer play ----
  const swipeDistance = 24;  // CSS pixels; a shorter stroke is a tap
  let pressed = null;

  board.style.touchAction = "none";
  board.addEventListener("pointerdown", (e) => {
    if (!e.isPrimary) return;
    pressed = { x: e.clientX, y: e.clientY };
    board.setPointerCapture(e.pointerId);
  });
  board.addEventListener("pointercancel", () => (pressed = null));
  board.addEventListener("pointerup", (e) => {
    if (!pressed || !e.isPrimary) return;
    const dx = e.clientX - pressed.x;
    const dy = e.clientY - pressed.y;
    pressed = null;
    board.focus({ preventScroll: true });
    // A mouse click only gives the board the keyboard; fingers and pens play.
    if (e.pointerType === "mouse") return;
    if (Math.hypot(dx, dy) >= swipeDistance) return type(directionKey(dx, dy));
    // A tap: toward the side of Corvel it falls on, or a wait when it falls on Corvel himself.
    const box = board.getBoundingClientRect();
    const cell = game._corvel_cell_size();
    const x = ((e.clientX - box.left) * board.width) / box.width - (game._corvel_hero_x() + 0.5) * cell;
    const y = ((e.clientY - box.top) * board.height) / box.height - (game._corvel_hero_y() + 0.5) * cell;
    type(Math.abs(x) <= cell / 2 && Math.abs(y) <= cell / 2 ? "f".charCodeAt(0) : directionKey(x, y));
  });

  function directionKey(dx, dy) {
    const key = Math.abs(dx) >= Math.abs(dy) ? (dx > 0 ? "d" : "a") : dy > 0 ? "s" : "w";
    return key.charCodeAt(0);
  }

  $("wait").addEventListener("click", () => type("f".charCodeAt(0)));

  // ---- hints and the daily level ----
  // The analysis and its client are fetched at the first hint or daily level, not for the first paint.
  let analysisClient = null;
  function gameAnalysis() {
    analysisClient ??= new Promise((resolve) => {
      const script = Object.assign(document.createElement("script"), { src: "game-analysis.js" });
      script.addEventListener("load", () => resolve(GameAnalysis));
      script.addEventListener("error", () => {
        analysisClient = null;  // tried again at the next question
        const unreachable = { error: "The solver cannot be fetched from the site." };
        resolve({ hint: async () => unreachable, daily: async () => unreachable, isLatestHint: () => true });
      });
      document.head.append(script);
    });
    return analysisClient;
  }

  // The solver answers in a worker while the player goes on; an answer about a position the
  // player has already left is dropped.
  function hintText(answer) {
    if (answer.error) return `Hint: ${answer.error}`;
    if (!answer.searched) return `Hint: ${answer.reason}`;
    if (!answer.winnable) return "Hint: there is no way out from here; New Game starts again.";
    return `Hint: ${answer.key} (a shortest win from here takes ${answer.length} keys)`;
  }

  $("hint").addEventListener("click", async () => {
    if (!game || !level.bytes) return;
    const asked = positionNow();
    if (asked.status !== status.playing) return PlayInfo.showHint("Hint: this game is over; New Game starts again.");
    PlayInfo.showHint("Hint: thinking…");
    const analysis = await gameAnalysis();
    const answer = await analysis.hint(level.bytes, asked.hero, asked.brugak);
    if (answer.stale || !analysis.isLatestHint(answer.id) || !samePosition(asked, positionNow())) return;
    hintsUsed = true;
    PlayInfo.showHint(hintText(answer));
  });

  // ---- start ----
  createCorvel({ corvelPage: page }).then((module) => {
    game = module;
    // The box about a missing level file names the site's folder, which only the page knows.
    ModuleMemory.withText(game, new URL(".", location.href).href, (at) => game._corvel_set_site_folder(at));
    page.requestRepaint();
    board.focus({ preventScroll: true });
    return playAddressedLevel(firstAddress);
  });
})();
