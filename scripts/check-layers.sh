#!/usr/bin/env bash
# Checks the layer order of the program's code (docs/architecture.md): a file may include
# headers of its own folder and of the folders listed for it below, never of a layer above or
# of a neighbour it does not build on; and the show never includes SDL, EGL or Emscripten (only
# platform/, shell/, render_tool/ and web/ do). Prints every include that breaks the order and fails then.
# Tests, benchmarks and the content generators may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

# From the bottom up: a folder, then the folders it may include.
layers=(
  "platform:"
  "state:platform"
  "render:state platform"
  "text:render state platform"
  "model:render state platform"
  "scenes:text model render state platform"
  "metaballs:text model render state platform"
  "demo:scenes metaballs text model render state platform"
  "shell:demo scenes metaballs text model render state platform"
  "render_tool:demo scenes metaballs text model render state platform"
  "web:demo scenes metaballs text model render state platform"
)
# Folders of the repository that no program code may include from.
others="tests bench tools resources data packaging scripts docs"
# The show: what the programs and the tests build on, free of any window or display library.
show="state render text model scenes metaballs demo"

known=" $others "
for entry in "${layers[@]}"; do
  known+="${entry%%:*} "
done

faults=0
for entry in "${layers[@]}"; do
  folder=${entry%%:*}
  may=" $folder ${entry#*:} "
  for file in "$folder"/*.cpp "$folder"/*.h; do
    [ -e "$file" ] || continue
    while IFS=: read -r line target; do
      top=${target%%/*}
      if [[ "$target" == ../* ]]; then
        echo "$file:$line: includes $target by a relative path" >&2
        faults=$((faults + 1))
      elif [[ "$target" == */* && "$known" == *" $top "* && "$may" != *" $top "* ]]; then
        echo "$file:$line: includes $target, not of a folder $folder/ builds on (${entry#*:})" >&2
        faults=$((faults + 1))
      elif [[ " $show " == *" $folder "* && "$target" =~ ^(SDL|EGL/|emscripten) ]]; then
        echo "$file:$line: includes $target, but the show never includes SDL, EGL or Emscripten" >&2
        faults=$((faults + 1))
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" |
      sed -nE 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1:\2/p')
  done
done

if [ "$faults" -gt 0 ]; then
  echo "check-layers: $faults include(s) break the layer order" >&2
  exit 1
fi
echo "check-layers: every include follows the layer order"
