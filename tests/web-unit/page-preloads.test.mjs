// Each built page names every file its bundled entry imports, directly or through others, as a
// modulepreload link, so that the browser fetches them all at once instead of one import depth at a
// time; and nothing it names is missing or fetched only later. Read from the bundles as written.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { test } from "node:test";
import { fileURLToPath } from "node:url";

const site = process.env.CORVEL_SITE ?? path.join(path.dirname(fileURLToPath(import.meta.url)), "../../build/web/site");

// The files `entry` imports statically, through every import; an import() is not one of them.
// The bundles are minified: `import{a as b}from"./chunk-X.js"` or `import"./chunk-X.js"`.
function importedBy(entry, found = new Set()) {
  const code = fs.readFileSync(path.join(site, entry), "utf8");
  for (const [, name] of code.matchAll(/(?:\bfrom|\bimport)\s*"\.\/([^"]+)"/g)) {
    if (found.has(name)) continue;
    found.add(name);
    importedBy(name, found);
  }
  return found;
}

for (const page of ["index.html", "editor.html", "levels.html"]) {
  test(`${page} preloads exactly the files its bundled entry imports`, { skip: !process.env.CORVEL_SITE && !fs.existsSync(site) && "no built site" }, () => {
    const html = fs.readFileSync(path.join(site, page), "utf8");
    const entries = [...html.matchAll(/<script type="module" src="([^"]+)"><\/script>/g)].map((m) => m[1]);
    assert.equal(entries.length, 1, "one entry module a page");
    const preloaded = [...html.matchAll(/<link rel="modulepreload" href="([^"]+)">/g)].map((m) => m[1]);
    for (const name of preloaded) assert.ok(fs.existsSync(path.join(site, name)), `${page} preloads ${name}, which is not there`);
    assert.deepEqual([...preloaded].sort(), [...importedBy(entries[0])].sort());
  });
}

// A module the game page fetches later that imports one of the page's own makes the bundler split
// their shared code into a file of its own, one more request before the first paint.
test("the game page's first paint fetches its entry alone", { skip: !process.env.CORVEL_SITE && !fs.existsSync(site) && "no built site" }, () => {
  assert.deepEqual([...importedBy("corvel-page.js")], []);
});
