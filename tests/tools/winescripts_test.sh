#!/usr/bin/env bash
# winescripts_test.sh TOOLS APP VELTRANCTL WORK: with WINEPREFIX naming a
# user's own prefix (a folder holding a file of its own, served by a
# wineserver of its own), wine-session start and desktop, wine-run and
# run-veltran run Wine only in the project's prefixes: that folder and its
# file stay exactly as they were and its wineserver keeps running. A folder
# the project did not make is refused where a prefix is asked for, never
# removed; one it left unfinished is made again. Everything runs under a
# cache of its own (the prepared prefix linked in), and nothing it started
# is left running.
set -uo pipefail
tools="$1" app="$2" ctl="$3" work="$4"
. "$tools/winecommon.sh" # end_server, server_folders
shared_cache="${VELTRAN_CACHE:-${HOME:-/root}/.cache/veltran}"
rm -rf "$work"
mkdir -p "$work"
work="$(realpath "$work")"
cache="$work/cache"
# A checkout of its own for run-veltran, so the build's program folder is not
# used, in a folder whose name code page 1252 cannot hold (the tests' locale).
root="$work/Документы/Bob's Übung"
user="$work/user-prefix"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

[ -f "$shared_cache/wineprefix32/.veltran-ready" ] ||
  { echo "FAIL: no prepared prefix in $shared_cache (the wine.start fixture makes it)"; exit 1; }
mkdir -p "$cache" "$root/tools" "$root/build/win32/app"
ln -s "$shared_cache/wineprefix32" "$cache/wineprefix32"
ln -s "$tools/run-veltran" "$tools/wine-session" "$tools/winecommon.sh" "$root/tools/"
cp "$app/Veltran.exe" "$app/varizi.exe" "$app/vodoze.exe" "$root/build/win32/app/"
export VELTRAN_CACHE="$cache"
unset VELTRAN_WINE_SESSION DISPLAY VELTRAN_SKIN_SERVER
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
# make is run as typed in a terminal, not as one that make test's make runs.
unset MAKEFLAGS MAKELEVEL MFLAGS

# Processes whose environment names a prefix under the work folder other
# than the user's (this script's own helpers carry that one).
ours() {
  local p
  for p in /proc/[0-9]*; do
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep "^WINEPREFIX=$work/" | grep -qvxF "WINEPREFIX=$user" &&
      echo "${p#/proc/}"
  done
}
# Those of exactly one prefix.
of() {
  local p
  for p in $(ours); do
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$1" && echo "$p"
  done
}
nothing_of() { [ -z "$(of "$1")" ]; }
# A process that ended is gone or a zombie (nothing may reap it here).
running() {
  local state
  state="$(ps -o stat= -p "$1" 2>/dev/null)"
  [ -n "$state" ] && [ "${state:0:1}" != Z ]
}
# until SECONDS COMMAND...: true once the command is, false at the deadline.
until_true() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.2
  done
}

userserver=""
runner=""
stranger=""
cleanup() {
  local s p
  [ -d "$cache/wineprefix-run" ] && end_server "$cache/wineprefix-run"
  [ -n "$runner" ] && wait "$runner" 2>/dev/null
  for s in "$cache/session-default" "$root/build/run-session" "$work/foreign"; do
    [ -d "$s" ] && "$tools/wine-session" stop "$s" >/dev/null 2>&1
  done
  for p in "$cache/session-default/wineprefix" "$user" "$work/cache3/wineprefix-run"; do
    [ -d "$p" ] && end_server "$p"
  done
  [ -n "$userserver" ] && wait "$userserver" 2>/dev/null
  [ -d "$work/notours" ] && chmod -R u+w "$work/notours"
  [ -n "$stranger" ] && rm -rf "$stranger"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# The user's prefix and its wineserver (in the foreground, so $! is the
# server); the folder is compared from then on. That server writes its own
# registry (user.reg, userdef.reg) when it ends and every 30 s, stamped with
# the time: a first run writes them, and they are compared by their keys and
# values. A key another prefix's program set there would show.
mkdir "$user"
echo "a registry of the user's own" >"$user/system.reg"
touch -d 2020-01-01 "$user/system.reg"
# user_server_up PID: true once the server answers a client, as it does only
# from its main loop, after it has read the registry: its socket is where
# Wine keeps it (where server_folders looks), and a connection gets the
# protocol's version. A TERM before that ends it without writing a registry.
user_server_up() {
  local socket
  until_true 20 eval 'compgen -G "$(server_folders "$user")/socket" >/dev/null' || return 1
  socket="$(compgen -G "$(server_folders "$user")/socket")"
  python3 -c '
import socket, sys
c = socket.socket(socket.AF_UNIX)
c.settimeout(60)
c.connect(sys.argv[1])
sys.exit(0 if len(c.recv(4)) == 4 else 1)' "$socket" 2>/dev/null && running "$1"
}
WINEPREFIX="$user" wineserver -f -p </dev/null >/dev/null 2>&1 &
first=$!
user_server_up "$first" || fail "the user's first wineserver did not start"
kill -TERM "$first"
wait "$first"
[ -s "$user/user.reg" ] || fail "the user's wineserver wrote no registry"
WINEPREFIX="$user" wineserver -f -p </dev/null >/dev/null 2>&1 &
userserver=$!
user_server_up "$userserver" ||
  fail "the user's wineserver did not start (no answer at $(server_folders "$user")/socket)"
snapshot() {
  (
    cd "$user" || exit
    find . ! -name . ! -name user.reg ! -name userdef.reg -printf '%p %s %T@ %m\n' | sort
    sha256sum system.reg
    sed -E '/^#time=/d; s/^(\[.*\]) [0-9]+$/\1/' user.reg userdef.reg
  )
}
before="$(snapshot)"
export WINEPREFIX="$user"
untouched() {
  local now
  now="$(snapshot)"
  if [ "$now" != "$before" ]; then
    fail "$1 changed the user's prefix:"; diff <(echo "$before") <(echo "$now") | head -n 8
  elif ! running "$userserver"; then
    fail "$1 ended the user's wineserver"
  else
    ok "$1 left the user's prefix and its wineserver alone"
  fi
}

# wine-run alone makes the default session (wine-session start) in the cache
# and runs the program in that session's prefix.
default="$cache/session-default"
out="$("$tools/wine-run" cmd /c "echo alone> C:\\alone.txt & echo ran" 2>&1 | tr -d '\r')"
[ "$out" = ran ] || fail "wine-run alone said: $out"
[ "$(cat "$default/prefix" 2>/dev/null)" = "$default/wineprefix" ] || fail "the default session's prefix is $(cat "$default/prefix" 2>/dev/null)"
[ -f "$default/wineprefix/drive_c/alone.txt" ] || fail "the program did not run in the default session's prefix"
[ -f "$default/wineprefix/.veltran-ready" ] && [ ! -e "$default/wineprefix/.veltran-making" ] ||
  fail "the default session's prefix is not marked ready"
untouched "wine-run alone"

# The same session again, named as a test run names it.
out="$(VELTRAN_WINE_SESSION="$default" "$tools/wine-run" cmd /c "echo again> C:\\again.txt & echo ran" 2>&1 | tr -d '\r')"
[ "$out" = ran ] && [ -f "$default/wineprefix/drive_c/again.txt" ] || fail "wine-run in a named session said: $out"
untouched "wine-run in a named session"

# desktop sets the shell desktop in the prefix it is given.
size="$(DISPLAY="$(cat "$default/display")" "$tools/wine-session" desktop "$default/wineprefix")" ||
  fail "desktop failed"
[ "$size" = "1280 1024" ] || fail "desktop answered '$size'"
query="$(DISPLAY="$(cat "$default/display")" WINEPREFIX="$default/wineprefix" \
  wine reg query 'HKCU\Software\Wine\Explorer' /v Desktop </dev/null 2>/dev/null | tr -d '\r')"
grep -q "Desktop.*shell" <<<"$query" || fail "desktop did not set the desktop: $query"
untouched "wine-session desktop"

# A folder the project did not make is refused where a prefix is named.
err="$(DISPLAY="$(cat "$default/display")" "$tools/wine-session" desktop "$user" 2>&1)" &&
  fail "desktop took the user's prefix"
grep -qF "$user is not a Wine prefix made by Veltran Clock's scripts" <<<"$err" || fail "desktop's refusal said: $err"
err="$("$tools/wine-session" start "$work/refused" "$user" 2>&1)" && fail "start took the user's prefix"
grep -q "is not a Wine prefix made by" <<<"$err" || fail "start's refusal said: $err"
[ ! -e "$work/refused/xvfb.pid" ] || fail "a refused start left its display running"
untouched "a refused desktop and start"
# The same at the cached prepared prefix's place, before any copy is made.
mkdir -p "$work/cache2/wineprefix32"
echo notes >"$work/cache2/wineprefix32/notes.txt"
err="$(VELTRAN_CACHE="$work/cache2" "$tools/wine-session" start "$work/refused2" 2>&1)" &&
  fail "start took a foreign folder as the prepared prefix"
grep -q "cache2/wineprefix32 is not a Wine prefix made by" <<<"$err" || fail "the template's refusal said: $err"
[ "$(ls -A "$work/cache2/wineprefix32")" = notes.txt ] || fail "the foreign template folder changed"
[ ! -e "$work/refused2/wineprefix" ] && [ ! -e "$work/refused2/xvfb.pid" ] || fail "a refused template left something"

# A default session an older script made around a user's WINEPREFIX: wine-run
# leaves it, without ending that prefix's server, for one of its own.
old_xvfb="$(cat "$default/xvfb.pid")"
rm "$default/own-prefix"
echo "$user" >"$default/prefix"
out="$("$tools/wine-run" cmd /c echo ran 2>&1 | tr -d '\r')"
[ "$out" = ran ] || fail "wine-run after an old default session said: $out"
[ "$(cat "$default/prefix")" = "$default/wineprefix" ] && [ -f "$default/own-prefix" ] ||
  fail "wine-run kept the old session's prefix $(cat "$default/prefix")"
until_true 10 eval '! running $old_xvfb' || fail "the old default session's display still runs"
untouched "wine-run after an old default session"

# stop ends the session: its display, its server (and the folder the server
# keeps in the temporary folder), its prefix.
xvfb="$(cat "$default/xvfb.pid")"
server="$(server_folders "$default/wineprefix")"
compgen -G "$server" >/dev/null || fail "no server folder $server while the session runs"
"$tools/wine-session" stop "$default" || fail "stop failed"
until_true 10 eval '! running $xvfb' || fail "stop left the display running"
[ ! -e "$default/wineprefix" ] || fail "stop left the session's own prefix"
! compgen -G "$server" >/dev/null || fail "stop left the server's folder $(compgen -G "$server")"
until_true 15 nothing_of "$default/wineprefix" || fail "stop left programs of the session: $(ours)"
untouched "wine-session stop"

# make run, in a checkout of its own without a display: the run's prefix was
# left unfinished (it carries the marker) and is made again; the program
# starts from its checkout's drive, reaches the tray, writes its configuration
# beside itself and ends on request, and the run ends what it began.
run="$cache/wineprefix-run"
mkdir -p "$run" "$run.part"
touch "$run/.veltran-making" "$run.part/.veltran-making" "$run/half-copied.reg"
# The run's prefix has its checkout, $root, as drive V:.
log="$root/automation.log"
VELTRAN_AUTOMATION='V:\automation.log' VELTRAN_AUTOMATION_ANSWERS=6 "$root/tools/run-veltran" >"$work/run.out" 2>&1 &
runner=$!
until_true 90 grep -qs "Shell_NotifyIcon ADD" "$log" || fail "Veltran.exe did not reach the tray: $(cat "$work/run.out")"
session="$root/build/run-session"
run_xvfb="$(cat "$session/xvfb.pid" 2>/dev/null)"
[ -f "$run/.veltran-ready" ] && [ ! -e "$run/half-copied.reg" ] && [ ! -e "$run.part" ] &&
  [ ! -e "$run/.veltran-making" ] || fail "the unfinished run prefix was not made again"
DISPLAY="$(cat "$session/display")" WINEPREFIX="$run" wine "$ctl" post 0x8D5 </dev/null >/dev/null 2>&1 ||
  fail "veltranctl could not ask the program to end"
until_true 60 eval '! kill -0 $runner 2>/dev/null' || fail "run-veltran did not end with the program"
wait "$runner"
rc=$?
[ "$rc" = 0 ] || fail "run-veltran ended with $rc: $(cat "$work/run.out")"
grep -qF "WINEPREFIX=$user is left alone" "$work/run.out" || fail "run-veltran did not say it leaves WINEPREFIX alone"
[ -f "$root/build/win32/app/Veltran.cfg" ] || fail "the program did not run from the checkout's program folder"
[ ! -e "$session/xvfb.pid" ] || fail "run-veltran left its display"
until_true 15 nothing_of "$run" || fail "run-veltran left programs of its prefix: $(ours)"
untouched "run-veltran"

# A prefix the scripts made for another user (a cache copied from their
# home) holds only their profile: the prepared prefix and a kept one are made
# again for this user before anything copies or runs them.
me="${USER:-$(id -un)}"
# theirs <prefix>: one made for someone else, as far as the scripts can tell.
theirs() {
  mkdir -p "$1/drive_c/users/someone-else/Desktop"
  touch "$1/.veltran-ready"
  echo theirs >"$1/theirs.txt"
}
cache3="$work/cache3"
failed_before=$failures
theirs "$cache3/wineprefix32"
theirs "$cache3/wineprefix-run"
foreign="$work/foreign"
# make test prepares it before its tests, so that its one line is seen.
err="$(VELTRAN_CACHE="$cache3" "$tools/wine-session" prepare 2>&1)" ||
  fail "preparing over another user's prepared prefix failed: $err"
[ "$err" = "wine-session: $cache3/wineprefix32 was made for another user (someone-else); making it again for $me" ] ||
  fail "remaking another user's prepared prefix said: $err"
err="$(VELTRAN_CACHE="$cache3" "$tools/wine-session" start "$foreign" 2>&1)" ||
  fail "a session with the prefix prepared again did not start: $err"
[ -z "$err" ] || fail "a session with the prefix prepared again said: $err"
[ -d "$cache3/wineprefix32/drive_c/users/$me/Desktop" ] && [ ! -e "$cache3/wineprefix32/theirs.txt" ] ||
  fail "the prepared prefix was not made again for $me"
[ -d "$foreign/wineprefix/drive_c/users/$me/Desktop" ] || fail "the session's prefix has no profile of $me"
DISPLAY="$(cat "$foreign/display")" VELTRAN_CACHE="$cache3" "$tools/wine-session" desktop "$cache3/wineprefix-run" \
  >/dev/null 2>&1 || fail "desktop did not take another user's kept prefix"
[ -d "$cache3/wineprefix-run/drive_c/users/$me/Desktop" ] && [ ! -e "$cache3/wineprefix-run/theirs.txt" ] ||
  fail "the kept prefix was not made again for $me"
end_server "$cache3/wineprefix-run"
VELTRAN_CACHE="$cache3" "$tools/wine-session" stop "$foreign" || fail "stop failed"
until_true 15 nothing_of "$foreign/wineprefix" || fail "stop left programs of the session: $(ours)"
[ "$failures" != "$failed_before" ] || ok "prefixes made for another user were made again for $me"

# Where the cache is not this user's to change, that is said in one line
# before anything is built or started, and nothing in it changes: a team's
# cache that VELTRAN_CACHE names, and the cache of a HOME that is not the
# user's (its USER left as it was, as setpriv leaves it). Root runs it as
# nobody, another user on folders it may not write; in a checkout of its own
# that a stranger may read: the Makefile and the scripts, with stand-ins for
# setup and cmake that write down that they ran.
failed_before=$failures
top=""
if [ "$(id -u)" != 0 ]; then
  top="$work/notours" as=() who="$(id -un)"
elif setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null; then
  stranger="$(mktemp -d)"
  top="$stranger" as=(setpriv --reuid=nobody --regid=nogroup --clear-groups) who=nobody
else
  echo "note: a cache not this user's to change is not tried here: root cannot act as another user"
fi
if [ -n "$top" ]; then
  cache4="$top/cache" home4="$top/home" checkout="$top/checkout" ran="$top/ran/log" session4="$top/session"
  mkdir -p "$checkout/tools" "$top/bin" "$top/ran" "$home4"
  cp "$tools/../Makefile" "$checkout/"
  cp "$tools"/{check-cache,winecommon.sh,wine-session,wine-run,run-veltran} "$checkout/tools/"
  for f in "$checkout/tools/setup.sh" "$top/bin/cmake"; do
    printf '#!/bin/sh\n[ "$1" = --print-prefix ] && exec echo /nonexistent\necho "%s $*" >>"%s"\n' \
      "${f##*/}" "$ran" >"$f"
  done
  theirs "$cache4/wineprefix32"
  chmod -R a+rX "$top"
  chmod 755 "$top/bin/cmake" "$checkout/tools/setup.sh"
  chmod 777 "$top/ran"
  mkdir -m 777 "$session4"
  if [ "$(id -u)" = 0 ]; then chmod 700 "$home4"; else chmod -R a-w "$cache4" "$home4"; fi
  listing() { find "$cache4" "$home4" -printf '%p %s %T@ %m %u\n' | sort; }
  before4="$(listing)"

  err="$("${as[@]}" env USER="$who" HOME="$top" VELTRAN_CACHE="$cache4" "$checkout/tools/wine-session" start \
    "$session4" 2>&1)" && fail "start took a cache that is not $who's to change"
  [ "$(wc -l <<<"$err")" = 1 ] && grep -q "is not $who's to change" <<<"$err" ||
    fail "a cache not $who's to change was met with: $err"
  [ ! -e "$session4/xvfb.pid" ] && [ ! -e "$session4/wineprefix" ] || fail "the refused start left something"
  for cache_of in "VELTRAN_CACHE=$cache4" "HOME=$home4"; do
    for cmd in "make test" "make run" "make bench" "make screenshots" "tools/wine-run cmd /c echo ran"; do
      out="$(cd "$checkout" && timeout 60 "${as[@]}" env -u VELTRAN_CACHE "$cache_of" PATH="$top/bin:$PATH" $cmd 2>&1)"
      rc=$?
      # make's own line after a failed command is make's.
      said="$(grep -v '^make: \*\*\* ' <<<"$out")"
      [ "$rc" != 0 ] && [ "$(grep -c . <<<"$said")" = 1 ] && grep -q "is not $who's to change" <<<"$said" &&
        ! grep -q "mkdir:\|Permission denied" <<<"$out" || fail "$cmd with $cache_of: exit $rc, it said: $out"
      [ ! -s "$ran" ] || fail "$cmd with $cache_of went on to run: $(cat "$ran")"
      [ ! -e "$checkout/build" ] || fail "$cmd with $cache_of made a build folder"
      : >"$ran"
      rm -rf "$checkout/build"
    done
  done
  [ "$(listing)" = "$before4" ] || fail "the cache not $who's to change changed: $(diff <(echo "$before4") <(listing))"
  [ "$failures" != "$failed_before" ] ||
    ok "a cache not $who's to change is refused in one line by wine-session, make's commands and wine-run"
fi

# Nothing the scripts started runs now.
left="$(ours)"
for p in $old_xvfb $xvfb $run_xvfb; do running "$p" && left="$left $p"; done
[ -z "$left" ] || fail "left running: $left"
echo "$failures failures"
[ "$failures" = 0 ]
