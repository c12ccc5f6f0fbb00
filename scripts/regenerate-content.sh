#!/usr/bin/env bash
# Regenerates every content file of the show from its generator under tools/:
#   data/textures/{particle,butterfly,font}{,-2x,-4x}.png, data/3d/torus.obj,
#   resources/dialog_picture.bmp, resources/icons/hicolor/*/apps/vellomire.png and
#   data/music/track.mp3 (synthesised, encoded by lame).
# Usage: scripts/regenerate-content.sh [files] [music]   (default: everything)
# The non-music files come out byte for byte as committed (tests_content checks this).
set -euo pipefail
cd "$(dirname "$0")/.."

for program in cmake lame; do
  command -v "$program" >/dev/null || { echo "regenerate-content: $program is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

cmake --preset tools >/dev/null
cmake --build --preset tools -j2 --target generate_content
mkdir -p build
./build/tools/tools/generate_content . "$@"
if [ $# -eq 0 ] || [[ " $* " == *" music "* ]]; then
  scripts/loudness.sh
fi
