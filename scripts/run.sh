#!/usr/bin/env bash
# Sets everything up, builds the show and runs it: in a window when a display is present,
# otherwise rendered to show.mp4 with its music.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release
cmake --build --preset release -j"$(nproc)" --target vellomire

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/release/shell/vellomire
fi
echo "No display found: rendering the whole show to show.mp4 instead."
cmake --build --preset release -j"$(nproc)" --target vellomire-render
exec ./build/release/render_tool/vellomire-render --out show.mp4
