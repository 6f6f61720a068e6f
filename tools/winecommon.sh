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
