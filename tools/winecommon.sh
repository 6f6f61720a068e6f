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

# end_server <prefix>: ends the prefix's wineserver and removes the folder it
# kept its lock in, under the temporary folder and named after the prefix's
# device and inode: Wine leaves that folder behind.
end_server() {
  local server folder
  server="server-$(stat -c %D "$1")-$(printf %x "$(stat -c %i "$1")")"
  WINEPREFIX="$1" wineserver -k 2>/dev/null || true
  WINEPREFIX="$1" wineserver -w 2>/dev/null || true
  for folder in "${TMPDIR:-/tmp}"/wine-*/"$server"; do
    [ -d "$folder" ] || continue
    rm -rf "$folder"
    rmdir "${folder%/*}" 2>/dev/null || true
  done
}
