#!/usr/bin/env bash
# Checks the layer order of the program's code (docs/architecture.md): a file may include
# headers of its own folder and of the folders listed for it below, never of a layer above or
# of a neighbour it does not build on; and the show never includes SDL, EGL or Emscripten
# (only platform/, shell/, render_tool/ and web/ do). Prints every include that breaks the
# order and fails then.
# Tests, benchmarks and the content generators may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

# From the bottom up: a folder, then the folders it may include.
layers=(
  "platform:"
  "draw:platform"
  "state:draw platform"
  "render:state draw platform"
  "text:render state draw platform"
  "model:render state draw platform"
  "scenes:text model render state draw platform"
  "metaballs:text model render state draw platform"
  "demo:scenes metaballs text model render state draw platform"
  "shell:demo scenes metaballs text model render state draw platform"
  "render_tool:demo scenes metaballs text model render state draw platform"
  "web:demo scenes metaballs text model render state draw platform"
)
# Folders of the repository that no program code may include from.
others="tests bench tools resources data packaging scripts docs"
# The show: what the programs and the tests build on, free of any window or display library.
show="draw state render text model scenes metaballs demo"

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

# The show draws through draw/ on OpenGL ES 3.0 alone: none of OpenGL 1.1's fixed-function
# calls, GLU, display lists, client-memory arrays, quads or rectangle textures.
fixed_function='\b(glBegin|glEnd|glVertex[0-9a-z]*|glTexCoord[0-9a-zA-Z]*|glColor[0-9a-z]*|glMatrixMode|glLoadIdentity|glPushMatrix|glPopMatrix|glRotate[fd]|glTranslate[fd]|glScale[fd]|glOrtho|glFrustum|glLoadMatrix[fd]|glMultMatrix[fd]|glGenLists|glNewList|glEndList|glListBase|glCallLists?|glEnableClientState|glDisableClientState|glVertexPointer|glShadeModel|glHint|glClearDepth|glDrawBuffer|glGetTexImage|glu[A-Z][A-Za-z]*|GL_QUADS|GL_TEXTURE_RECTANGLE(_ARB)?|GL_GENERATE_MIPMAP|GL_PERSPECTIVE_CORRECTION_HINT|GL_MODELVIEW|GL_PROJECTION|GL_CURRENT_COLOR|GL_CURRENT_TEXTURE_COORDS)\b'
for folder in platform $show; do
  while IFS= read -r hit; do
    echo "$hit: a fixed-function call; the show draws through draw/ on OpenGL ES 3.0" >&2
    faults=$((faults + 1))
  done < <(grep -nE "$fixed_function" "$folder"/*.cpp "$folder"/*.h 2>/dev/null | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//' || true)
  if grep -nE '#[[:space:]]*include[[:space:]]*[<"](GL/|epoxy/)' "$folder"/*.cpp "$folder"/*.h 2>/dev/null; then
    echo "$folder/: includes a desktop GL header; the show's GL include is platform/gl.h (OpenGL ES 3.0)" >&2
    faults=$((faults + 1))
  fi
done

if [ "$faults" -gt 0 ]; then
  echo "check-layers: $faults include(s) or call(s) break the layer order" >&2
  exit 1
fi
echo "check-layers: every include follows the layer order"
