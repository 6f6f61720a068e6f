# Sourced by the Wine scripts (wine-session, wine-run, run-veltran,
# screenshots), so that they agree on where their cache lies, on the Wine
# settings every program of theirs runs with, and on when a session is alive.

# The prepared prefix, the default session and the prefixes kept between runs.
cache="${VELTRAN_CACHE:-${HOME:-/root}/.cache/veltran}"

# A 32-bit prefix; Wine offers to download no .NET and no HTML engine.
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="

# session_alive <dir>: the session in <dir> is alive while its Xvfb is
# (kill -0 0 would test our own group).
session_alive() { [ -s "$1/xvfb.pid" ] && kill -0 "$(cat "$1/xvfb.pid")" 2>/dev/null; }

# server_folders <prefix>: the pattern of the folder the prefix's wineserver
# keeps its lock in, under the temporary folder and named after the prefix's
# device and inode. Wine leaves it behind when the server ends.
server_folders() {
  printf '%s/wine-*/server-%s-%x' "${TMPDIR:-/tmp}" "$(stat -c %D "$1")" "$(stat -c %i "$1")"
}

# end_server <prefix>: ends the prefix's wineserver and removes that folder.
end_server() {
  local pattern folder
  pattern="$(server_folders "$1")"
  WINEPREFIX="$1" wineserver -k 2>/dev/null || true
  WINEPREFIX="$1" wineserver -w 2>/dev/null || true
  while IFS= read -r folder; do
    rm -rf "$folder"
    rmdir "${folder%/*}" 2>/dev/null || true
  done < <(compgen -G "$pattern")
}
