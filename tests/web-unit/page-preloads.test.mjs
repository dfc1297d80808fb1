// Each page names every module its entry imports, directly or through others, as a modulepreload
// link, so that the browser fetches them all at once instead of one import depth at a time. The
// imports are the one list; this test keeps the pages' links in step with them.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { test } from "node:test";
import { fileURLToPath } from "node:url";

const site = path.join(path.dirname(fileURLToPath(import.meta.url)), "../../platform/web/site");

// The modules `entry` imports statically, through every import, in the site's folder; corvel.js
// (the game's glue) is made by the build and imports nothing.
function importedBy(entry, found = new Set()) {
  const file = path.join(site, entry);
  if (!fs.existsSync(file)) return found;
  for (const [, name] of fs.readFileSync(file, "utf8").matchAll(/^import [^;]*? from "\.\/([^"]+)";$/gm)) {
    if (found.has(name)) continue;
    found.add(name);
    importedBy(name, found);
  }
  return found;
}

for (const page of ["index.html", "editor.html", "levels.html"]) {
  test(`${page} preloads exactly the modules its entry imports`, () => {
    const html = fs.readFileSync(path.join(site, page), "utf8");
    const entries = [...html.matchAll(/<script type="module" src="([^"]+)"><\/script>/g)].map((m) => m[1]);
    assert.equal(entries.length, 1, "one entry module a page");
    const preloaded = [...html.matchAll(/<link rel="modulepreload" href="([^"]+)">/g)].map((m) => m[1]);
    assert.deepEqual([...preloaded].sort(), [...importedBy(entries[0])].sort());
  });
}
