// What the game page says around the window about the level in play: which level it is, how the
// last game went, the next level, the day's command and result to share, and hints.
import { CopyText } from "./copy-text.js";
import { LevelPack } from "./level-pack.js";

export const PlayInfo = (() => {
  const $ = (id) => document.getElementById(id);
  const site = "Corvel and the Brugak";
  let shared = null;  // the daily result to share: {text, url}

  function title(about) {
    if (!about) return "";
    if (about.kind === "pack") return LevelPack.label(about.number, about.count, about.entry);
    if (about.kind === "daily") return `Daily level · ${about.date} · 6 × 6`;
    return about.name;
  }

  const par = (about) => (about?.kind === "pack" ? about.entry.par : about?.kind === "daily" ? about.par : null);

  // A new game of the level `about` (null for the site's own level).
  function show(about) {
    $("level-title").textContent = title(about);
    $("level-title").hidden = !about;
    $("daily-command").hidden = about?.kind !== "daily";
    $("daily-command-text").textContent = about?.kind === "daily" ? about.command : "";
    $("result").textContent = "";
    $("next-level").hidden = true;
    $("share-result").hidden = true;
    $("hint-text").textContent = "";
  }

  // How a game that ended went: {escaped, keys, hintsUsed, stored}.
  function showResult(about, result) {
    const parKeys = par(about);
    const hints = result.hintsUsed ? "with hints" : "no hints";
    $("result").textContent = result.escaped
      ? [`Escaped in ${result.keys} keys`, parKeys && `par ${parKeys}`, result.hintsUsed && "with hints"].filter(Boolean).join(" · ")
      : `Caught after ${result.keys} keys. New Game starts again.`;
    if (result.stored === false) $("result").textContent += " (Progress is not kept: this browser does not let the page store it.)";
    if (result.escaped && about?.kind === "pack") {
      const next = $("next-level");
      next.href = about.number < about.count ? LevelPack.address(about.number + 1) : "levels.html";
      next.textContent = about.number < about.count ? "Next level" : "All levels";
      next.hidden = false;
    }
    if (result.escaped && about?.kind === "daily") {
      shared = {
        text: `${site} · daily ${about.date} · escaped in ${result.keys} keys · par ${parKeys} · ${hints}`,
        url: new URL(`index.html#daily=${about.date}`, location.href).href,
      };
      $("share-result").hidden = false;
    }
  }

  // Shares the result without spoilers: the Web Share API where there is one, else the clipboard.
  async function share() {
    const { text, url } = shared;
    try {
      if (navigator.share) return await navigator.share({ title: site, text, url });
    } catch (error) {
      if (error.name === "AbortError") return;
    }
    await CopyText.offer(`${text} ${url}`, "result");
  }
  document.getElementById("share-result").addEventListener("click", share);

  const showHint = (text) => ($("hint-text").textContent = text);

  return { show, showResult, showHint };
})();
