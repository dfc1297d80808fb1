// The player's progress, kept in this browser (localStorage): for each level won, the fewest keys of
// a win and whether it was ever won without hints. Levels are known by their bytes, so a changed
// pack never marks the wrong level. Storage refused or full costs the player only the record.

export const Progress = (() => {
  const storageKey = "corvel-progress";

  // A level's key: its length and two 32-bit FNV-1a hashes of its bytes.
  function levelKey(bytes) {
    let a = 0x811c9dc5;
    let b = 0x01000193 ^ bytes.length;
    for (const byte of bytes) {
      a = Math.imul(a ^ byte, 0x01000193) >>> 0;
      b = Math.imul(b ^ byte, 0x5bd1e995) >>> 0;
    }
    return `${bytes.length}-${a.toString(16)}-${b.toString(16)}`;
  }

  const validEntry = (e) => e && Number.isSafeInteger(e.fewestKeys) && e.fewestKeys > 0 && typeof e.withoutHints === "boolean";

  // Every stored record that reads as one; anything else (not JSON, not ours) counts as nothing.
  function readAll() {
    let stored = null;
    try {
      stored = JSON.parse(localStorage.getItem(storageKey) ?? "{}");
    } catch {
      return {};
    }
    if (!stored || typeof stored !== "object" || Array.isArray(stored)) return {};
    return Object.fromEntries(Object.entries(stored).filter(([, entry]) => validEntry(entry)));
  }

  // The record of a level: {fewestKeys, withoutHints} or null when it has not been won here.
  const of = (bytes) => readAll()[levelKey(bytes)] ?? null;

  // Records a win; false when the browser keeps nothing (storage disabled, refused or full).
  function recordWin(bytes, keys, withHints) {
    const all = readAll();
    const key = levelKey(bytes);
    const before = all[key];
    all[key] = {
      fewestKeys: before ? Math.min(before.fewestKeys, keys) : keys,
      withoutHints: Boolean(before?.withoutHints) || !withHints,
    };
    try {
      localStorage.setItem(storageKey, JSON.stringify(all));
      return true;
    } catch {
      return false;
    }
  }

  // Whether this browser keeps anything for the page at all.
  function kept() {
    try {
      localStorage.setItem(storageKey + "-probe", "1");
      localStorage.removeItem(storageKey + "-probe");
      return true;
    } catch {
      return false;
    }
  }

  function forget() {
    try {
      localStorage.removeItem(storageKey);
      return true;
    } catch {
      return false;
    }
  }

  return { levelKey, of, recordWin, kept, forget };
})();
