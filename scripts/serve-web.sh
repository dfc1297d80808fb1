#!/usr/bin/env bash
# Builds the web edition if needed and serves its site on 127.0.0.1 for a browser: scripts/serve-web.sh [PORT]
set -euo pipefail
cd "$(dirname "$0")/.."

port="${1:-8000}"
site=build/web/site

if ! command -v emcc >/dev/null || ! command -v esbuild >/dev/null; then
  scripts/install-deps.sh
fi
# The build is quick when nothing changed, so it always runs: the site is never older than the code.
[ -f build/web/CMakeCache.txt ] || cmake --preset web >/dev/null
cmake --build --preset web >/dev/null

echo "Corvel and the Brugak: open http://127.0.0.1:${port}/ in a browser (Ctrl+C stops the server)."
exec python3 scripts/serve-site.py "$site" "$port"
