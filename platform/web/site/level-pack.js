// The site's level pack: its index (levels/pack.json, made from the pack's manifest when the site is
// built) and its level files, fetched from the site and named as the page shows them.

export const LevelPack = (() => {
  let index = null;

  // The pack's levels in order, each {file, width, height, par, traps}; fetched once a page.
  function levels() {
    index ??= fetch("levels/pack.json").then((response) => {
      if (!response.ok) throw new Error(`the site's level pack cannot be fetched: ${response.status} ${response.statusText}`);
      return response.json();
    });
    index.catch(() => (index = null));  // a failed fetch is tried again next time
    return index;
  }

  // Level `number` (from 1): {entry, count, bytes}; an Error that says why when there is none.
  async function level(number) {
    const all = await levels();
    const entry = all[number - 1];
    if (!entry) throw new Error(`names no level of the pack: it has levels 1 to ${all.length}`);
    const response = await fetch("levels/" + entry.file);
    if (!response.ok) throw new Error(`cannot be fetched from the site: ${response.status} ${response.statusText}`);
    return { entry, count: all.length, bytes: new Uint8Array(await response.arrayBuffer()) };
  }

  const size = (entry) => `${entry.width} × ${entry.height}`;
  const label = (number, count, entry) => `Level ${number} of ${count} · ${size(entry)}`;
  const address = (number) => `index.html#pack=${number}`;

  return { levels, level, size, label, address };
})();
