#!/usr/bin/env bash
# Installs what the build needs: Debian packages, then Windows builds of the
# image libraries cross-compiled from Debian's source packages into a cache
# prefix keyed by this script's and the toolchain file's content. Idempotent and quick when done.
#
#   tools/setup.sh                 install and build what is missing
#   tools/setup.sh --print-prefix  print the Windows library prefix only
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cache="${VELTRAN_CACHE:-${HOME:-/root}/.cache/veltran}"
key="$(cat "$here/setup.sh" "$here/../cmake/toolchain-mingw-i686.cmake" | sha256sum | cut -c1-12)"
prefix="$cache/mingw-$key"
jobs="$(nproc)"

case "${1:-}" in
  --print-prefix) echo "$prefix"; exit 0 ;;
  "") ;;
  *) echo "usage: $0 [--print-prefix]" >&2; exit 2 ;;
esac

# The package list lives beside this script and is not part of the cache key:
# adding a tool does not rebuild the Windows libraries.
mapfile -t packages < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$here/packages.txt" | tr -s ' \t' '\n' | sed '/^$/d')

# One dpkg-query for all packages keeps the done path fast.
need_apt() {
  local n
  n="$(dpkg-query -W -f='${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null | grep -c '^ii' || true)"
  [ "$n" -ge "${#packages[@]}" ] || return 0
  dpkg --print-foreign-architectures | grep -qx i386 || return 0
  return 1
}

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

enable_sources() {
  local f=/etc/apt/sources.list.d/debian.sources
  if [ -f "$f" ] && grep -q '^Types: deb$' "$f"; then
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
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

if [ -f "$prefix/.done" ]; then
  exit 0
fi

mkdir -p "$cache"
# Two builds started together (e.g. parallel make) must not share a prefix.
exec 9>"$cache/.lock"
flock 9
if [ -f "$prefix/.done" ]; then
  exit 0
fi

echo "setup: building Windows libraries into $prefix"
start=$SECONDS
src="$cache/src"
build="$cache/build-$key"
logs="$build/logs"
rm -rf "$prefix" "$build"
mkdir -p "$prefix/lib" "$prefix/include" "$src" "$logs"

fail() {
  echo "setup: $1 failed; last lines of $2:" >&2
  tail -n 40 "$2" >&2
  exit 1
}

# Newest version first; the security pocket may not serve sources, so older
# versions from the main archive are the fallback.
fetch() {
  local pkg="$1" dir="$src/$1" log="$logs/fetch-$1.log" v
  if [ -f "$dir/.path" ] && [ -d "$(cat "$dir/.path")" ]; then
    return 0
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  for v in "" $(apt-cache showsrc "$pkg" 2>/dev/null |
                awk -v p="$pkg" '/^Package: /{s=$2} /^Version: /{if (s==p) print $2}' |
                sort -urV); do
    if (cd "$dir" && apt-get source -qq -o APT::Sandbox::User=root \
          "$pkg${v:+=$v}") >>"$log" 2>&1; then
      find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n1 >"$dir/.path"
      return 0
    fi
    rm -rf "${dir:?}"/*
  done
  fail "fetching source of $pkg" "$log"
}

if [ -z "$(apt-cache showsrc zlib 2>/dev/null)" ]; then
  enable_sources
  as_root apt-get update -qq
fi
for p in libjpeg-turbo libpng1.6 tiff openjpeg2 googletest zlib; do
  fetch "$p"
done
srcdir() { cat "$src/$1/.path"; }

# zlib comes prebuilt from libz-mingw-w64-dev; copying only the static
# archive keeps the linker away from its DLL import library.
zroot=/usr/i686-w64-mingw32
cp "$zroot/include/zlib.h" "$zroot/include/zconf.h" "$prefix/include/"
cp "$zroot/lib/libz.a" "$prefix/lib/"

cflags="-O2 -msse2 -mfpmath=sse"
# The libraries are built with the project's own toolchain file, so both
# sides of the link agree on compiler and float flags.
toolchain="$(cd "$here/.." && pwd)/cmake/toolchain-mingw-i686.cmake"

common=(
  -G Ninja
  -DCMAKE_TOOLCHAIN_FILE="$toolchain"
  -DVELTRAN_MINGW_PREFIX="$prefix"
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cflags"
  -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG
  -DCMAKE_INSTALL_PREFIX="$prefix"
  -DCMAKE_INSTALL_LIBDIR=lib
  -DBUILD_SHARED_LIBS=OFF
  -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
)

# Configures, builds (only the given targets, or all) and installs one project.
cmake_project() {
  local name="$1" srcd="$2" targets="$3"
  local log="$logs/$name.log"
  shift 3
  local b="$build/$name"
  cmake -S "$srcd" -B "$b" "${common[@]}" "$@" >"$log" 2>&1 || fail "$name configure" "$log"
  if [ -n "$targets" ]; then
    # shellcheck disable=SC2086
    cmake --build "$b" -j "$jobs" --target $targets >>"$log" 2>&1 || fail "$name build" "$log"
  else
    cmake --build "$b" -j "$jobs" >>"$log" 2>&1 || fail "$name build" "$log"
    cmake --install "$b" >>"$log" 2>&1 || fail "$name install" "$log"
  fi
}

build_jpeg() {
  local s b="$build/jpeg"
  s="$(srcdir libjpeg-turbo)"
  # Only the static library: the stock install would also build the tools.
  cmake_project jpeg "$s" jpeg-static \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_JAVA=OFF
  cp "$b/libjpeg.a" "$prefix/lib/"
  cp "$s/jpeglib.h" "$s/jerror.h" "$s/jmorecfg.h" "$b/jconfig.h" "$prefix/include/"
}

build_tiff() {
  cmake_project tiff "$(srcdir tiff)" "" \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
    -Dcxx=OFF -Dtiff-opengl=OFF -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF \
    -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlibdeflate=OFF -Dlerc=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_LibLZMA=ON -DCMAKE_DISABLE_FIND_PACKAGE_ZSTD=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_WebP=ON -DCMAKE_DISABLE_FIND_PACKAGE_JBIG=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Deflate=ON -DCMAKE_DISABLE_FIND_PACKAGE_LERC=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON -DCMAKE_DISABLE_FIND_PACKAGE_GLUT=ON \
    -DJPEG_INCLUDE_DIR="$prefix/include" -DJPEG_LIBRARY="$prefix/lib/libjpeg.a"
}

build_png() {
  cmake_project png "$(srcdir libpng1.6)" "" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
}

build_openjpeg() {
  # Without a found Threads package openjpeg uses Win32 threads, so users
  # need no winpthread.
  cmake_project openjpeg "$(srcdir openjpeg2)" "" \
    -DBUILD_STATIC_LIBS=ON -DBUILD_CODEC=OFF -DBUILD_TESTING=OFF -DBUILD_DOC=OFF \
    -DBUILD_JPIP=OFF -DBUILD_JAVA=OFF -DBUILD_THIRDPARTY=OFF \
    -DBUILD_PKGCONFIG_FILES=OFF -DOPJ_USE_THREAD=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Threads=ON
}

build_gtest() {
  cmake_project gtest "$(srcdir googletest)" "" \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
    -Dgtest_build_tests=OFF -Dgtest_build_samples=OFF -Dgmock_build_tests=OFF
}

build_minizip() {
  local s log="$logs/minizip.log" b="$build/minizip" f
  s="$(srcdir zlib)/contrib/minizip"
  mkdir -p "$b" "$prefix/include/minizip"
  local pids=() pid
  for f in unzip zip ioapi iowin32; do
    # shellcheck disable=SC2086
    i686-w64-mingw32-gcc-posix $cflags -DNDEBUG -I"$prefix/include" \
      -c "$s/$f.c" -o "$b/$f.o" >>"$log" 2>&1 &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || fail "minizip compile" "$log"; done
  i686-w64-mingw32-ar rcs "$prefix/lib/libminizip.a" "$b"/*.o >>"$log" 2>&1 ||
    fail "minizip archive" "$log"
  cp "$s/unzip.h" "$s/zip.h" "$s/ioapi.h" "$s/iowin32.h" "$s/crypt.h" \
    "$prefix/include/minizip/"
}

# Independent projects build side by side; tiff follows jpeg.
pids=()
( build_jpeg && build_tiff ) & pids+=($!)
build_png & pids+=($!)
build_openjpeg & pids+=($!)
build_gtest & pids+=($!)
build_minizip & pids+=($!)
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
[ "$status" = 0 ] || exit 1

for lib in jpeg png16 tiff openjp2 z minizip gtest gtest_main gmock gmock_main; do
  [ -f "$prefix/lib/lib$lib.a" ] || { echo "setup: lib$lib.a missing in $prefix/lib" >&2; exit 1; }
done
rm -rf "$build" "${prefix:?}/bin" "${prefix:?}/share"
echo "$key" >"$prefix/.done"
echo "setup: Windows libraries ready in $((SECONDS - start))s"
