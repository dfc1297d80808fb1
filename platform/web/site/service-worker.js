// The site kept in this browser, so that it plays without a network: every file of the site is
// stored at the first visit and served from the store after. The build fills in the list of files
// and the version, a hash of their contents; a changed site is a changed worker, which the browser
// fetches, installs beside the old one and lets take over at the next visit (or when a page asks).
"use strict";

const files = [
  @CORVEL_SITE_FILES@
];
// The level file is asked of the network first, so that a replaced file counts at once; the copy
// kept here is served only when the site cannot be reached, marked so that the page can say so.
const levelFile = "@CORVEL_LEVEL_FILE@";
const keptCopyHeader = "@CORVEL_KEPT_COPY_HEADER@";

// Everything is named from the folder the worker was served from, so the site works from any folder;
// two sites in different folders of one host keep their own stores.
const base = new URL("./", self.location.href);
const storePrefix = `corvel ${base.pathname} `;
const store = storePrefix + "@CORVEL_SITE_VERSION@";
const keys = new Map(files.map((name) => [name, new URL(name, base).href]));

self.addEventListener("install", (event) => {
  // Fetched past the browser's own cache, so that a new version never keeps an old file.
  const requests = [...keys.values()].map((url) => new Request(url, { cache: "reload" }));
  event.waitUntil(caches.open(store).then((cache) => cache.addAll(requests)));
});

self.addEventListener("activate", (event) => {
  event.waitUntil((async () => {
    const older = (await caches.keys()).filter((name) => name.startsWith(storePrefix) && name !== store);
    await Promise.all(older.map((name) => caches.delete(name)));
    await self.clients.claim();
  })());
});

// A page says only one thing to a waiting worker: the player chose to reload into the new version.
self.addEventListener("message", () => self.skipWaiting());

self.addEventListener("fetch", (event) => {
  const name = siteFile(event.request);
  if (name === null) return;  // not one of the site's files: the network answers as if there were no worker
  event.respondWith(name === levelFile ? networkFirst(event.request, keys.get(name)) : keptFirst(event.request, keys.get(name)));
});

// The site file a request asks for (the folder itself is its index.html), or null.
function siteFile(request) {
  if (request.method !== "GET") return null;
  const url = new URL(request.url);
  if (url.origin !== base.origin || !url.pathname.startsWith(base.pathname)) return null;
  const name = url.pathname.slice(base.pathname.length) || "index.html";
  return keys.has(name) ? name : null;
}

async function keptFirst(request, key) {
  const kept = await caches.match(key, { cacheName: store });
  return kept || fetch(request);
}

async function networkFirst(request, key) {
  const cache = await caches.open(store);
  try {
    const response = await fetch(request);
    if (response.ok) await cache.put(key, response.clone());
    return response;
  } catch (unreachable) {
    const kept = await cache.match(key);
    if (!kept) throw unreachable;
    const headers = new Headers(kept.headers);
    headers.set(keptCopyHeader, "1");
    return new Response(kept.body, { status: kept.status, statusText: kept.statusText, headers });
  }
}
