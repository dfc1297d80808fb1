// Play without a network: starts the service worker that keeps the site in this browser, offers a
// new version of the site in one line once the browser has it, and tells the page when the level
// file it was given is the copy kept from the last visit because the site could not be reached.
const keptCopyHeader = "@CORVEL_KEPT_COPY_HEADER@";

// Whether a response of the site's level file is the kept copy, not the site's answer.
export const isKeptCopy = (response) => response.headers.has(keptCopyHeader);

// The new version waits until the player asks for it: a game in progress is never reloaded.
function offer(registration) {
  if (document.getElementById("new-version")) return;
  const line = Object.assign(document.createElement("p"), { id: "new-version", className: "new-version" });
  line.setAttribute("role", "status");
  const reload = Object.assign(document.createElement("button"), { type: "button", textContent: "reload" });
  line.append("A new version is ready: ", reload);
  reload.addEventListener("click", () => {
    // Another of the site's pages may have let the new version take over already.
    const waiting = registration.waiting;
    if (!waiting) return location.reload();
    navigator.serviceWorker.addEventListener("controllerchange", () => location.reload());
    waiting.postMessage("take over");
  });
  document.body.prepend(line);
}

function watch(registration) {
  // A browser that keeps workers out may still answer the registration, with nothing.
  if (!registration) return;
  // Only a page the old version serves has something newer to offer; the first visit has not.
  const replacing = () => Boolean(navigator.serviceWorker.controller);
  if (registration.waiting && replacing()) offer(registration);
  registration.addEventListener("updatefound", () => {
    const worker = registration.installing;
    worker?.addEventListener("statechange", () => worker.state === "installed" && replacing() && offer(registration));
  });
}

// Every page starts the worker: whichever the player opens first keeps the whole site. A browser
// without service workers, or one that refuses them here, plays online as ever. On a first visit
// the worker fetches the whole site, which would compete with the page's own start: so it starts
// once the page has loaded and `started` (the page's first picture, say) has settled.
export function keepSiteOffline(started = Promise.resolve()) {
  if (!("serviceWorker" in navigator)) return;
  const loaded = document.readyState === "complete"
    ? Promise.resolve()
    : new Promise((resolve) => window.addEventListener("load", resolve, { once: true }));
  const register = () => navigator.serviceWorker.register("service-worker.js").then(watch, () => {});
  // Whether or not the page started: a failure of its own still reaches the console as it was.
  started.finally(() => loaded.then(register));
}
