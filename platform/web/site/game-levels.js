// Which level the game page plays and where it came from: the site's level file, a local file, a
// link, the pack or the day. Levels are taken in the order they were asked for; the address
// always names the level in play. Bytes and names reach the game through memory it allocates
// (ModuleMemory), bounded before.
import { LevelFile } from "./level-file.js";
import { LevelLink } from "./level-link.js";
import { LevelName } from "./level-name.js";
import { isKeptCopy } from "./offline.js";
import { levelPack } from "./later.js";
import { ModuleMemory } from "./module-memory.js";

const tooLarge = "is too large to open here";
// The site's level file, which New Game plays unless a level of the player's own is in play.
const siteLevelFile = "GameData.dat";

// The site's level file, fetched afresh so that a replaced file counts at the next New Game, and
// its bytes read as soon as they come.
async function fetchSiteLevel(options = { cache: "no-store" }) {
  const response = await fetch(siteLevelFile, options);
  return { response, bytes: response.ok ? new Uint8Array(await response.arrayBuffer()) : new Uint8Array(0) };
}

// The first, as the page starts, while the game loads: the page's own preload of the file answers
// it at once, being fetched as the browser fetches any file. So it may have come from the browser's
// cache, older than the site's file (nothing of it crossed the network): then it is fetched afresh.
async function fetchFirstSiteLevel() {
  const preloaded = await fetchSiteLevel({});
  const timing = performance.getEntriesByName(new URL(siteLevelFile, location.href).href).at(-1);
  return timing?.transferSize > 0 ? preloaded : fetchSiteLevel();
}

// `board` is the canvas (busy while a level is on its way, for screen readers and the tests);
// `started(about)` hears of every game started (and may give a promise of its showing); `analysis()` gives the analysis client (the day's level).
export function createLevels(board, { started, analysis }) {
  // The level being played, as {name, bytes, fromSite, fragment, about}; New Game plays it again when
  // it came from a file, a link, the pack or the day (fromSite false), and fetches the site's level
  // file afresh when it came from the site. `fragment` is the address that names it, when it is
  // not its own link; `about` what the page says of it outside the window (PlayInfo).
  const levels = {
    game: null,
    level: { name: siteLevelFile, bytes: null, fromSite: true, fragment: "", about: null },
    work: Promise.resolve(),
    pending: 0,
    // The address, read once when the page starts: the first site level is on its way while the
    // game loads, unless the address names a level of its own.
    firstAddress: LevelLink.parse(location.hash),
    earlySiteLevel: null,
    shown: null,
  };
  if (!levels.firstAddress) {
    levels.earlySiteLevel = fetchFirstSiteLevel();
    levels.earlySiteLevel.catch(() => {});
  }

  const game = () => levels.game;
  function refuse(name, fault) {
    ModuleMemory.withTexts(game(), [name, fault], (nameAt, faultAt) => game()._corvel_refuse_level(nameAt, faultAt));
  }

  // The level is settled once the page shows what it says of it.
  function begin(level) {
    levels.level = level;
    levels.shown = started(level.about);
  }

  async function playSiteLevel() {
    let response, bytes;
    try {
      ({ response, bytes } = await (levels.earlySiteLevel || fetchSiteLevel()));
    } catch (error) {
      return ModuleMemory.withText(game(), error.message, (whyAt) => game()._corvel_site_unreachable(whyAt));
    } finally {
      levels.earlySiteLevel = null;
    }
    if (!response.ok && response.status !== 404) {
      return refuse(siteLevelFile, "cannot be fetched from the site: " + response.status + " " + response.statusText);
    }
    const present = response.ok;
    const accepted = ModuleMemory.withBytes(game(), bytes, (at, length) => game()._corvel_new_game_with_level_file(at, length, present ? 1 : 0));
    if (accepted === null) return refuse(siteLevelFile, tooLarge);
    if (accepted) {
      // A New Game the network could not serve plays the copy kept from the last visit, and says so.
      if (levels.level.bytes && isKeptCopy(response)) game()._corvel_played_kept_copy();
      begin({ name: siteLevelFile, bytes, fromSite: true, fragment: "", about: null });
    }
    showLevelInAddress();
  }

  // The site's level has no fragment, another its link; a level too large for a link gets none,
  // not an older one. A refused link leaves the address too, so that reloading plays what is on
  // the board (and a huge address does not stay behind).
  function showLevelInAddress() {
    const { level } = levels;
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
      accepted = ModuleMemory.withBytes(game(), bytes, (at, length) =>
        ModuleMemory.withText(game(), name, (nameAt) => game()._corvel_new_game_from_text(at, length, nameAt)));
      if (accepted === null) refuse(name, tooLarge);
    }
    if (accepted) begin({ name, bytes, fromSite: false, fragment, about });
    showLevelInAddress();
    return Boolean(accepted);
  }

  // A fault of the game itself while it takes a level is told as a sentence about the level.
  function queue(work) {
    ++levels.pending;
    board.setAttribute("aria-busy", "true");
    levels.work = levels.work
      .then(work)
      .then(() => levels.shown)
      .catch(() => refuse(levels.level.name, "could not be opened: the page ran out of memory"))
      .catch(() => {})
      .finally(() => --levels.pending || board.setAttribute("aria-busy", "false"));
    return levels.work;
  }

  // Level `number` of the site's pack, byte for byte as the site has it.
  async function playPackLevel(number) {
    let found;
    try {
      found = await levelPack.use((pack) => pack.level(number));
    } catch (error) {
      refuse(`Level ${number} of the pack`, error.message);
      return false;
    }
    const about = { kind: "pack", number, count: found.count, entry: found.entry };
    return playLevelText(found.entry.file, found.bytes, null, { fragment: `#pack=${number}`, about });
  }

  // The day's level, made by the analysis from the date as corvel-level generate makes it.
  async function playDailyLevel(date) {
    const daily = await (await analysis()).daily(date);
    if (daily.stale) return false;
    if (daily.error) {
      refuse(`The daily level of ${date}`, daily.error);
      return false;
    }
    const about = { kind: "daily", date, par: daily.shortestWin, command: daily.command };
    return playLevelText(`daily-${date}.dat`, new TextEncoder().encode(daily.text), null, { fragment: `#daily=${date}`, about });
  }

  // True when the level the address names was accepted.
  function playLinked(linked) {
    if (linked.fault) return playLevelText(linked.kind === "level" ? linked.name : "the link", null, linked.fault);
    if (linked.kind === "pack") return playPackLevel(linked.number);
    if (linked.kind === "daily") return playDailyLevel(linked.date);
    return playLevelText(linked.name, linked.bytes, null, { about: { kind: "named", name: linked.name } });
  }

  return {
    current: () => levels.level,
    // Whether the page opens on the site's level, fetched while the game loads (and by its end
    // usually there, being a few bytes beside the game's many).
    opensOnSiteLevel: () => !levels.firstAddress,
    // The game, once it has started; the level the page's address named when it opened comes next.
    start(module) {
      levels.game = module;
      return this.playAddressed(levels.firstAddress);
    },
    newGame() {
      return queue(() => {
        const { level } = levels;
        return level.fromSite ? playSiteLevel() : playLevelText(level.name, level.bytes, null, level);
      });
    },
    playFile(file) {
      const name = LevelName.inert(file.name, "the file");
      return queue(async () => {
        let bytes;
        try {
          bytes = await LevelFile.read(file);
        } catch (error) {
          return refuse(name, error.message);
        }
        playLevelText(name, bytes, null, { about: { kind: "named", name } });
      });
    },
    // The level the page's address asks for, or the site's when it names none, or when it names one
    // that is refused before any game has started.
    playAddressed(linked = LevelLink.parse(location.hash)) {
      return queue(async () => {
        if (!linked) return playSiteLevel();
        const accepted = await playLinked(linked);
        if (!accepted && !levels.level.bytes) return playSiteLevel();
      });
    },
  };
}
