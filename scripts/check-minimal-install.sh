#!/usr/bin/env bash
# The Debian package as a user of a bare Debian 12 meets it: makes a minimal system with
# `debootstrap --variant=minbase`, installs the package into it with apt (which pulls in its
# dependencies from Debian's archive), then renders a frame there with vellomire-render and
# compares it with the build tree's frame. Needs root, debootstrap and the network (Debian's
# archive); takes several minutes, so it is not part of the test suite.
# Usage: check-minimal-install.sh [PACKAGE.deb]   (default: builds build/release's package)
set -euo pipefail

repository=$(cd "$(dirname "$0")/.." && pwd)
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
[ "$(id -u)" -eq 0 ] || { echo "check-minimal-install: run as root" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "check-minimal-install: needs debootstrap" >&2; exit 2; }

work=$(mktemp -d /var/tmp/vellomire-minimal-XXXXXX)
root=$work/root
cleanup() {
    for mount in "$root/dev" "$root/proc"; do
        mountpoint -q "$mount" 2>/dev/null && umount -l "$mount"
    done
    rm -rf "$work"
}
trap cleanup EXIT

deb=${1:-}
if [ -z "$deb" ]; then
    cmake --build "$repository/build/release" --target package >/dev/null
    deb=$(ls "$repository"/build/release/vellomire_*.deb | tail -n 1)
fi
echo "package: $(basename "$deb")"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"

step() { # step NAME LOG COMMAND...: runs it with its output in LOG (- for none), timed
    local started=$SECONDS status=0
    echo "== $1"
    if [ "$2" = - ]; then "${@:3}" || status=$?; else "${@:3}" >"$2" 2>&1 || status=$?; fi
    echo "   ($((SECONDS - started)) s, exit status $status)"
    if [ $status -ne 0 ]; then
        [ "$2" = - ] || tail -n 20 "$2"
        exit 1
    fi
}

step "debootstrap --variant=minbase bookworm" "$work/debootstrap.log" \
    debootstrap --variant=minbase bookworm "$root" "$mirror"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
cp "$deb" "$root/tmp/vellomire.deb"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    DEBIAN_FRONTEND=noninteractive "$@"; }
step "apt-get install ./vellomire.deb" "$work/apt.log" \
    in_root sh -c 'apt-get update -q && apt-get install -y -q /tmp/vellomire.deb'
grep -E "^(Need to get|After this operation|[0-9]+ upgraded)" "$work/apt.log" | sed 's/^/   /'
step "vellomire-render --at 147 (in the minimal system)" - \
    in_root sh -c 'cd /tmp && vellomire-render --at 147 --out frame.png'
in_root vellomire --version
(cd "$repository" && build/release/render_tool/vellomire-render --at 147 --out "$work/here.png")
if cmp -s "$root/tmp/frame.png" "$work/here.png"; then
    echo "ok: the frame rendered in the minimal system equals the build tree's"
else
    echo "FAIL: the frame rendered in the minimal system differs from the build tree's" >&2
    exit 1
fi
