#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, run and render, or only the
# packages named as arguments (scripts/web.sh names the web build's).
# Idempotent: packages already present are left alone. Run as root (or with sudo).
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang clang-format libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libgtk-3-dev
  libmpg123-dev libkissfft-dev libpng-dev zlib1g-dev libfreetype-dev
  libgles-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  fonts-dejavu-core
  xvfb xauth xdotool x11-utils openbox
  ffmpeg lame valgrind ccache
  desktop-file-utils man-db lintian appstream debootstrap
)
[ $# -eq 0 ] || packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: installed ${missing[*]}"
