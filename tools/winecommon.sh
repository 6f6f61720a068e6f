# Sourced by the Wine scripts (wine-session, wine-run, run-veltran,
# screenshots, run-test) and the test servers' testserver, so that they agree
# on where their cache lies and whose it is, on the Wine settings every
# program of theirs runs with, on the tests' locale, on which recorded
# process is still the one recorded and on when a session is alive.

# The prepared prefix, the default session and the prefixes kept between runs.
cache="${VELTRAN_CACHE:-${HOME:-/root}/.cache/veltran}"
# Every prefix the scripts made carries the first; one they left unfinished,
# the second.
ready=.veltran-ready
making=.veltran-making

# The cache is the user's own: Wine names a prefix's profile folder
# (C:\users\<name>) after $USER, or the account's name.
wine_user="${USER:-$(id -un 2>/dev/null || id -u)}"

# not_ours <path> [<owner's path>]: says in one line that a folder of the
# cache is not this user's to change, and ends the script. The user is the
# account, which $USER need not name (a job started as another user keeps
# the environment it was given); the owner is that of <owner's path>.
not_ours() {
  echo "${0##*/}: $1 is not $(id -un 2>/dev/null || id -u)'s to change" \
    "(it is $(stat -c %U "${2:-$1}" 2>/dev/null || echo "another user")'s):" \
    "have its owner hand it over (chown -R), or set VELTRAN_CACHE to a folder of your own" >&2
  exit 1
}

# cache_ours: the cache is this user's to change, or not_ours ends the
# script. Theirs is a cache they own and may write, with all at its top theirs
# too (Wine runs in no prefix another user owns, even for root), or one not
# made yet where they may make it. Asked before anything is built or started,
# so a cache that would refuse them halfway is never touched.
cache_ours() {
  local at="$cache" other
  if [ -e "$cache" ]; then
    [ -O "$cache" ] && [ -r "$cache" ] && [ -w "$cache" ] && [ -x "$cache" ] || not_ours "$cache"
    other="$(find "$cache" -mindepth 1 -maxdepth 1 ! -user "$(id -u)" -print -quit 2>/dev/null)"
    [ -z "$other" ] || not_ours "$other"
    return 0
  fi
  # A folder that cannot be seen (a HOME that is another's) is not there for us.
  while [ ! -e "$at" ] && [ "$at" != / ] && [ "$at" != . ]; do at="$(dirname "$at")"; done
  [ -d "$at" ] && [ -w "$at" ] && [ -x "$at" ] || not_ours "$cache" "$at"
}

# A 32-bit prefix; Wine offers to download no .NET and no HTML engine.
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="

# pin_test_locale: what the tests run in, whatever the user's language: Wine
# gives a program the en-US locale and code page 1252. make run keeps the
# user's own. (cmake/VeltranTestLocale.cmake sets the same for ctest.)
pin_test_locale() {
  unset LANG LANGUAGE ${!LC_*}
  export LC_ALL=C.UTF-8
}

# process_mark <pid>: what tells this process from a later one given its
# number once it has ended, or after the machine restarted: the boot and the
# process's start time.
process_mark() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  # shellcheck disable=SC2086
  set -- ${stat##*) }
  printf '%s %s\n' "$(cat /proc/sys/kernel/random/boot_id)" "${20}"
}

# record_process <pid> <file>: the pid in <file>, its mark in <file>.mark.
record_process() {
  echo "$1" >"$2"
  process_mark "$1" >"$2.mark"
}

# recorded_running <file>: the process <file> names runs, is this user's and
# is the one recorded there, not a later one that got its number. A file
# without its mark (an older script's) has only its number to go by.
recorded_running() {
  local pid
  pid="$(cat "$1" 2>/dev/null)" && [[ "$pid" =~ ^[0-9]+$ ]] || return 1
  if [ -f "$1.mark" ]; then
    [ -O "/proc/$pid" ] && [ "$(process_mark "$pid")" = "$(cat "$1.mark")" ]
  else
    kill -0 "$pid" 2>/dev/null # kill -0 0 would test our own group
  fi
}

# end_recorded <file>: ends the process <file> names, with the group it
# leads if it leads one, when it is the one recorded; then forgets it. A
# number another process has now is left alone.
end_recorded() {
  if recorded_running "$1"; then
    kill -- "-$(cat "$1")" 2>/dev/null || kill "$(cat "$1")" 2>/dev/null || true
  fi
  rm -f "$1" "$1.mark"
}

# session_alive <dir>: the session in <dir> is alive while its Xvfb is;
# session_ready <dir>: and it has said its display, so programs can run in it.
session_alive() { recorded_running "$1/xvfb.pid"; }
session_ready() { [ -f "$1/display" ] && session_alive "$1"; }

# wine_folder: where this user's wineservers keep their folders, as Wine 8
# decides it: /run/user/<uid>/wine when /run/user/<uid> is a folder (a
# desktop login), otherwise a wine-XXXXXX folder of each server's own in the
# temporary folder. Wine leaves a server's folder behind when it ends.
wine_folder() {
  local runtime
  runtime="/run/user/$(id -u)"
  if [ -d "$runtime" ]; then
    printf '%s/wine\n' "$runtime"
  else
    printf '%s/wine-*\n' "${TMPDIR:-/tmp}"
  fi
}

# server_folders <prefix>: the pattern of the folder the prefix's wineserver
# keeps its socket and lock in, named after the prefix's device and inode.
server_folders() {
  printf '%s/server-%s-%x' "$(wine_folder)" "$(stat -L -c %D "$1")" "$(stat -L -c %i "$1")"
}

# remove_server_folder <prefix>: removes the folder of the prefix's ended
# server; a wine-XXXXXX folder of the temporary folder held only that one.
# Wine's folder in /run/user is shared by the user's servers and stays.
remove_server_folder() {
  local pattern folder
  pattern="$(server_folders "$1")"
  while IFS= read -r folder; do
    rm -rf "$folder"
    case "${folder%/*}" in
    /run/user/*) ;;
    *) rmdir "${folder%/*}" 2>/dev/null || true ;;
    esac
  done < <(compgen -G "$pattern")
}

# end_server <prefix>: ends the prefix's wineserver and removes its folder.
end_server() {
  WINEPREFIX="$1" wineserver -k 2>/dev/null || true
  WINEPREFIX="$1" wineserver -w 2>/dev/null || true
  remove_server_folder "$1"
}
