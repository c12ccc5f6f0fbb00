#!/usr/bin/env bash
# Writes the reference pictures (tests/reference/pictures/) anew from the show as it draws now,
# checks the frames with and without letterbox culling against them, and makes the
# contact sheet docs/reference-sheet.jpg with the clock under every picture.
#
# Run it only after a deliberate change of what the show draws. Then look at the sheet (and at
# `git status tests/reference`: which pictures changed), and name the change in the commit.
#
# Usage: scripts/regenerate-references.sh [--sheet-only]
#   --sheet-only   only makes the contact sheet of the pictures as they are
#   JOBS=N sets the build's parallel jobs (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
pictures=tests/reference/pictures
sheet=docs/reference-sheet.jpg

if [ "${1:-}" != --sheet-only ]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache} CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
    cmake --preset release >/dev/null
    cmake --build --preset release -j"${JOBS:-2}" --target tests_reference
    rm -f "$pictures"/*.png
    # Frames without culling draw the references; the test compares both ways against them.
    VELLOMIRE_WRITE_REFERENCES=1 build/release/tests/reference/tests_reference \
        --gtest_filter=ReferencePictures.Frames --gtest_brief=1
    ctest --preset release -L reference
fi

# One labelled thumbnail per picture (the open band and a strip of each bar), then a grid.
thumbs=$(mktemp -d)
trap 'rm -rf "$thumbs"' EXIT
for picture in "$pictures"/*.png; do
    name=$(basename "$picture" .png)
    IFS=- read -r index clock _ from <<<"$name"
    label="$index   $clock s${from:+ after a frame at $from s}"
    ffmpeg -nostdin -loglevel error -i "$picture" -vf "crop=800:290:0:155,scale=320:116:flags=area,\
pad=320:134:0:0:0x303030,drawtext=fontfile=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf:\
text='$label':fontsize=12:fontcolor=white:x=5:y=119" "$thumbs/$name.png"
done
count=$(find "$thumbs" -name '*.png' | wc -l)
ffmpeg -nostdin -loglevel error -y -pattern_type glob -i "$thumbs/*.png" \
    -vf "tile=8x$(((count + 7) / 8)):padding=2:color=0x606060" -frames:v 1 -q:v 5 "$sheet"
echo "$count reference pictures ($(du -ch "$pictures"/*.png | tail -1 | cut -f1)); sheet $sheet" \
    "($(du -h "$sheet" | cut -f1))"
