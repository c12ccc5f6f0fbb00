#!/usr/bin/env bash
# The installed programs as a user meets them.
#   prefix:  installed with DESTDIR under a prefix, started from an unrelated folder, with the
#            data moved away; the menu entry and the manual pages.
#   package: the Debian package builds, holds the programs, and lintian finds nothing wrong.
# Usage: install_test.sh prefix|package BUILD_DIR VERSION
set -u
case_name=$1
build=$(cd "$2" && pwd)
version=$3
repository=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if [ "$case_name" = package ]; then
    cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null || exit 1
    deb=$(echo "$work/vellomire_${version}_"*.deb)
    dpkg-deb -c "$deb" 2>/dev/null | grep -q ' ./usr/bin/vellomire-render$' || fail "no program in $deb"
    lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian"
    # What the programs load at run time by name (SDL's GL loader, EGL's vendor library, Mesa's
    # drivers, the ES loader) must be pulled in too: the computed dependencies miss them.
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in libgl1 libglx-mesa0 libgl1-mesa-dri libegl1 libegl-mesa0 libgles2; do
        grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
    done
    [ $failures -eq 0 ] && echo "ok: $(basename "$deb")"
    exit
fi

DESTDIR="$work/stage" cmake --install "$build" --prefix /opt/vellomire >/dev/null || exit 1
prefix=$work/stage/opt/vellomire
for file in bin/vellomire bin/vellomire-render share/vellomire/data/music/track.mp3 \
    share/vellomire/data/textures/font.png share/vellomire/data/textures/font-4x.png \
    share/applications/example.vellomire.Vellomire.desktop \
    share/metainfo/example.vellomire.Vellomire.metainfo.xml \
    share/icons/hicolor/48x48/apps/vellomire.png share/man/man6/vellomire.6.gz \
    share/man/man1/vellomire-render.1.gz share/doc/vellomire/README.md; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ "$("$prefix/bin/vellomire" --version)" = "vellomire $version" ] || fail "vellomire --version"
[ "$("$prefix/bin/vellomire-render" --version)" = "vellomire-render $version" ] ||
    fail "vellomire-render --version"

# render NAME [ARGS...]: the frame at 147 s into $work/elsewhere/NAME.png, stderr into
# $work/NAME.err, started from $work/elsewhere (a folder that holds no data).
mkdir "$work/elsewhere"
render() {
    local name=$1
    shift
    (cd "$work/elsewhere" &&
        "$@" --at 147 --out "$work/elsewhere/$name.png" >/dev/null 2>"$work/$name.err") ||
        fail "$name: exit status $?"
}
(cd "$repository" && "$build/render_tool/vellomire-render" --at 147 --out "$work/reference.png" \
    >/dev/null) || fail "no reference frame"
render installed "$prefix/bin/vellomire-render"
# A build folder inside the repository (build/<preset>/) finds the repository's data/.
case "$build/" in "$repository"/*) in_tree=build_tree ;; *) in_tree= ;; esac
[ -z "$in_tree" ] || render build_tree "$build/render_tool/vellomire-render"
mkdir "$work/moved"
mv "$prefix/share/vellomire/data" "$work/moved/"
render no_data "$prefix/bin/vellomire-render"
render by_option "$prefix/bin/vellomire-render" --data "$work/moved"
render by_environment env VELLOMIRE_DATA="$work/moved" "$prefix/bin/vellomire-render"
for name in installed $in_tree by_option by_environment; do
    cmp -s "$work/elsewhere/$name.png" "$work/reference.png" || fail "$name: another picture"
    [ ! -s "$work/$name.err" ] || fail "$name: $(cat "$work/$name.err")"
done
[ -s "$work/elsewhere/no_data.png" ] || fail "no frame without the data"
[ "$(wc -l <"$work/no_data.err")" -eq 1 ] && grep -q "share/vellomire" "$work/no_data.err" ||
    fail "without the data: not one line naming where it looked: $(cat "$work/no_data.err")"
(cd "$work/elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/vellomire") 2>&1 |
    grep -q "^vellomire: the show's files" || fail "vellomire gave no warning without the data"
# A folder the user names that holds nothing of the show is refused: status 2 and one line.
refused() { # refused MESSAGE COMMAND...
    local message=$1 out status=0
    shift
    out=$(cd "$work/elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY "$@" 2>&1) || status=$?
    [ $status -eq 2 ] && [ "$out" = "$message" ] || fail "$*: status $status: $out"
}
refused "vellomire: --data $work/nowhere: no such folder" \
    "$prefix/bin/vellomire" --data "$work/nowhere"
refused "vellomire-render: --data $work/moved/data: the folder holds none of the show's files \
(data/music/track.mp3 and the rest)" \
    "$prefix/bin/vellomire-render" --data "$work/moved/data" --at 1 --out x.png

entry=$(desktop-file-validate "$prefix/share/applications/example.vellomire.Vellomire.desktop" \
    2>&1) && [ -z "$entry" ] || fail "desktop entry: $entry"
# The software centres' entry: valid, without warnings, naming the menu entry and the release.
metainfo=$prefix/share/metainfo/example.vellomire.Vellomire.metainfo.xml
appstream=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) ||
    fail "AppStream entry: $appstream"
grep -E "^[EW]:" <<<"$appstream" && fail "AppStream entry: $appstream"
grep -q "<release version=\"$version\"" "$metainfo" || fail "AppStream entry: no release $version"
for page in "$prefix"/share/man/man*/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
    LC_ALL=C.UTF-8 man -l "$page" 2>/dev/null | grep -q "EXIT STATUS" || fail "$page is empty"
done
[ $failures -eq 0 ] && echo "ok: installed programs"
