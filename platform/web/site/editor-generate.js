// The editor's Generate: corvel-level generate run in the analysis worker from the page's fields.
// Each press after a generation takes the next seed, so each gives a new level, and the seed
// field always tells how to make the level shown again.
import { sizeFromFields } from "./editor-tools.js";

const $ = (id) => document.getElementById(id);
const nextSeed = (text) => String((BigInt(text) + 1n) % (1n << 64n));

// `editor` is the page's state; the rest is the page's: asking the worker and cancelling it,
// showing an error, checking the level again and opening a level made.
export function listenForGenerate(editor, { ask, cancel, faults, showError, levelChanged, openLevel }) {
  const verdict = $("verdict");
  // The seed of the last generation, as the field showed it, and the generation under way: {asked}.
  const generation = { lastSeed: null, under: null };

  function stopGenerating(status = "") {
    generation.under = null;
    $("generate").disabled = false;
    $("cancel-generate").hidden = true;
    $("status-text").textContent = status;
  }

  $("generate").addEventListener("click", async () => {
    const size = sizeFromFields(showError);
    if (!size) return;
    // Blank tries and seconds mean what leaving out --tries and --seconds means (0); the generator
    // judges the rest as corvel-level generate judges its options, and words its own limits (-1:
    // not a count at all).
    const count = (id) => {
      const text = $(id).value.trim();
      if (text === "") return 0;
      return /^[0-9]+$/.test(text) && Number(text) >= 1 ? Number(text) : -1;
    };
    const tries = count("tries"), seconds = count("seconds");
    const seedShown = $("seed").value;
    let seed = seedShown.trim();
    if (seed === generation.lastSeed && /^[0-9]+$/.test(seed)) $("seed").value = seed = nextSeed(seed);
    const asked = ++editor.generation;
    const mine = (generation.under = { asked });
    $("generate").disabled = true;
    $("cancel-generate").hidden = false;
    $("status-text").textContent = "Generating…";
    verdict.setAttribute("aria-busy", "true");
    const progress = (text) => generation.under === mine && ($("status-text").textContent = `Generating… ${text}`);
    const answer = await ask({ kind: "generate", width: size.width, height: size.height, method: $("method").value, seed, tries, seconds }, progress);
    // An edit, an opened level or Cancel ended it: the page says no more of it.
    if (generation.under === mine) stopGenerating();
    if (!answer || asked !== editor.generation) return;
    const made = answer.result;
    if (answer.fault || made.error) {
      // Nothing was made: the seed field still names the level shown.
      if (made?.error) $("seed").value = seedShown;
      showError(`generate: ${answer.fault ? faults[answer.fault] : made.error}`);
      return levelChanged();
    }
    generation.lastSeed = seed;
    $("status-text").textContent = made.outOfTime ? `The time ran out; tries ${made.tried} makes the same level again.` : "";
    return openLevel(editor.name, new TextEncoder().encode(made.text));
  });
  // Cancel ends the search; the level being edited stays, checked again.
  $("cancel-generate").addEventListener("click", () => {
    if (!generation.under) return;
    cancel();
    stopGenerating("Generate cancelled; the level is as it was.");
    levelChanged();
  });
}
