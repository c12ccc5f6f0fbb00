#!/usr/bin/env bash
# The show in a web browser: installs what the web build needs (idempotent), builds it into
# build/web/ with Emscripten and serves that folder on 127.0.0.1, printing the address.
#   bash scripts/web.sh               set up, build, serve (Ctrl+C stops the server)
#   bash scripts/web.sh --build-only  set up and build
#   bash scripts/web.sh --port N      serve on port N (default: the first free one from 8600)
# build/web/ is the whole site: index.html, the module (.js and .wasm), the pictures and
# data/. Any static host serves it as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

build_only=0
port=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build-only) build_only=1 ;;
    --port) port="$2"; shift ;;
    *) echo "web.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

# Debian's Emscripten, Chromium for the tests, and the acorn module Emscripten's optimiser
# needs. Emscripten's ports download at build time, so the build uses none of them. The
# machine's own Node.js (not Debian's package) serves as well as Debian's.
packages=(emscripten chromium node-acorn cmake python3)
command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)
bash scripts/setup.sh "${packages[@]}"

# The test driver, at the versions of the committed lock file.
if [ ! -d tests/web/node_modules/puppeteer-core ] ||
   [ tests/web/package-lock.json -nt tests/web/node_modules/.package-lock.json ]; then
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
fi

# Emscripten's tools run on the machine's node, which does not search Debian's module folder.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake --preset web >/dev/null
nice -n 10 cmake --build --preset web -j2
echo "web.sh: built build/web/ ($(du -cb build/web/vellomire.js build/web/vellomire.wasm 2>/dev/null | tail -1 | cut -f1) bytes of .js and .wasm)"

[ "$build_only" -eq 1 ] && exit 0

if [ -z "$port" ]; then
  port=8600
  while (echo >/dev/tcp/127.0.0.1/"$port") 2>/dev/null; do
    port=$((port + 1))
  done
fi
echo "web.sh: serving build/web/ at http://127.0.0.1:$port/ (Ctrl+C stops)"
cd build/web
exec python3 -m http.server --bind 127.0.0.1 "$port"
