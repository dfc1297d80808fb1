// The editor's level as a file and as links: Save, the address (so that going back from a
// play-test, or reloading, finds the level again), the play-test link and Copy link.
import { EditorBoard } from "./editor-board.js";
import { LevelLink } from "./level-link.js";

const $ = (id) => document.getElementById(id);

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

// `editor` is the page's state; `savedBytes()` is the level as saving writes it, `levelBytes()`
// the bytes the level came in while it is unchanged.
export function createLinks(editor, { savedBytes, levelBytes }) {
  // Saving writes the documented format, whatever the file it came from looked like.
  $("save-level").addEventListener("click", () => {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([EditorBoard.text(editor.level)], { type: "application/octet-stream" }));
    link.download = "GameData.dat";
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  });

  // A board of at most 64 by 64 cells always fits in a link.
  const gameLink = () => new URL("index.html" + LevelLink.fragment(editor.name, savedBytes()), location.href).href;

  // The address carries the level, so going back from a play-test (or reloading) finds it again.
  // Rapid changes rewrite it a few times a second, not at every key: browsers stop listening to
  // a page that rewrites its address hundreds of times in a few seconds.
  const updateAddress = coalesced(() => {
    $("play-test").href = gameLink();
    // An opened file too large for an address (long notes after its cells) leaves the address bare.
    history.replaceState(null, "", location.pathname + location.search + (LevelLink.fragment(editor.name, levelBytes()) ?? ""));
  }, 250);
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

  return { update: () => updateAddress() };
}
