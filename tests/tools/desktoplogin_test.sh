#!/usr/bin/env bash
# desktoplogin_test.sh WORK -- TEST COMMANDS...: the Wine scripts as on a
# desktop login, where /run/user/<uid> is the user's and Wine keeps its
# server folders in /run/user/<uid>/wine instead of the temporary folder. In
# a private mount namespace with a tmpfs on /run/user, the prepared prefix is
# made afresh and each test command (separated by ";;") runs: they pass, Wine
# used that folder, and no server folder is left in it. Where the machine
# cannot make such a namespace, the test is skipped (77) with its reason.
set -uo pipefail
if [ -z "${VELTRAN_DESKTOP_LOGIN:-}" ]; then
  # Root makes a mount namespace; another user first maps itself to root in a
  # user namespace of its own, and its /run/user/0 is then its own.
  flags=(--mount --propagation private)
  [ "$(id -u)" = 0 ] || flags=(--user --map-root-user "${flags[@]}")
  if ! why="$(unshare "${flags[@]}" true 2>&1)"; then
    echo "skipped: no private mount namespace here (unshare ${flags[*]}: ${why:-failed})"
    exit 77
  fi
  VELTRAN_DESKTOP_LOGIN=1 exec unshare "${flags[@]}" "$0" "$@"
fi

work="$1"
shift
[ "${1:-}" = -- ] && shift
uid="$(id -u)"
# A tmpfs of this namespace's own on /run/user (on /run where there is none),
# holding the user's folder as a desktop login's does.
at=/run/user
[ -d "$at" ] || at=/run
if ! why="$(mount -t tmpfs -o mode=755 tmpfs "$at" 2>&1)"; then
  echo "skipped: cannot mount a tmpfs on $at in the namespace ($why)"
  exit 77
fi
mkdir -p -m 755 /run/user
mkdir -m 700 "/run/user/$uid"
wine="/run/user/$uid/wine"
here="$(cd "$(dirname "$0")" && pwd)"
tools="$(cd "$here/../../tools" && pwd)"
. "$tools/winecommon.sh"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Stopped (a timeout, Ctrl+C of make test), it still ends its own session; the
# tests it runs end theirs.
trap '[ ! -d "$work/session" ] || VELTRAN_CACHE="$work/cache" "$tools/wine-session" stop "$work/session"; rm -rf "$work"' EXIT
trap 'exit 143' TERM INT HUP
[ "$(wine_folder)" = "$wine" ] || fail "the Wine scripts look for server folders in $(wine_folder), not $wine"

# The prepared prefix, made afresh in a cache of its own: its wineserver's
# folder is in /run/user while it runs, and goes with it. The tests below
# link the machine's prepared prefix instead.
rm -rf "$work"
mkdir -p "$work"
(
  export VELTRAN_CACHE="$work/cache"
  "$tools/wine-session" start "$work/session" || exit 1
  prefix="$(cat "$work/session/prefix")"
  folder="$(compgen -G "$(server_folders "$prefix")")"
  case "$folder" in
  "$wine"/server-*) echo "ok: a session's server keeps its folder where Wine does: $folder" ;;
  *) echo "FAIL: the session's server folder is not found in $wine: '$folder' ($(ls "$wine" 2>&1))"; exit 1 ;;
  esac
  "$tools/wine-session" stop "$work/session"
) || fail "a session with a prepared prefix made afresh"
leftover="$(compgen -G "$wine/server-*")"
[ -z "$leftover" ] || fail "the prepared prefix and its session left server folders: $leftover"
rm -rf "$work"

# The tests, one after another, as they run in any build.
command=()
run() {
  [ ${#command[@]} -gt 0 ] || return 0
  echo "== ${command[*]}"
  "${command[@]}" || fail "${command[*]}"
  command=()
}
for arg in "$@"; do
  if [ "$arg" = ";;" ]; then run; else command+=("$arg"); fi
done
run

[ -d "$wine" ] || fail "Wine did not use $wine"
leftover="$(compgen -G "$wine/server-*")"
[ -z "$leftover" ] || fail "server folders left in $wine: $leftover"
echo "$failures failures"
[ "$failures" = 0 ]
