#!/usr/bin/env bash
# Installs what the build needs: Debian packages, then Windows builds of the
# image libraries cross-compiled from Debian's source packages into a cache
# prefix keyed by this script's content. Idempotent and quick when done.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cache="${VELTRAN_CACHE:-$HOME/.cache/veltran}"
key="$(sha256sum "$here/setup.sh" | cut -c1-12)"
prefix="$cache/mingw-$key"
jobs="$(nproc)"

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev nasm pkg-config
  mingw-w64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686 libz-mingw-w64-dev
  wine wine32 xvfb xauth imagemagick
  libjpeg62-turbo-dev libpng-dev libtiff-dev libopenjp2-7-dev zlib1g-dev libminizip-dev
  libgtest-dev googletest dpkg-dev
)

need_apt() {
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || return 0
  done
  dpkg --print-foreign-architectures | grep -qx i386 || return 0
  return 1
}

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

enable_sources() {
  local f=/etc/apt/sources.list.d/debian.sources
  if [ -f "$f" ] && ! grep -q '^Types:.*deb-src' "$f"; then
    as_root sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list &&
     ! grep -q '^deb-src ' /etc/apt/sources.list; then
    as_root sed -i 'p; s/^deb /deb-src /' /etc/apt/sources.list
  fi
}

if need_apt; then
  echo "setup: installing Debian packages"
  as_root dpkg --add-architecture i386
  enable_sources
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

if [ -f "$prefix/.done" ]; then
  exit 0
fi
