#!/usr/bin/env bash
# run_test_check.sh RUN_TEST PROBE [--wine]: the runner passes a program that
# ran to its end and fails, with one line saying why, one that did not; a
# program stopped by a timeout still shows what it wrote, where it hung.
set -u
runner="$1" probe="$2" wine="${3:-}"
failures=0

# expect PASS|FAIL REASON-REGEX -- runner arguments...
expect() {
  local want="$1" reason="$2"
  shift 3
  local err rc
  err="$("$runner" $wine "$@" 2>&1 >/dev/null)"
  rc=$?
  if [ "$want" = PASS ] && [ "$rc" != 0 ]; then
    echo "FAIL: expected a pass: $*"; echo "$err" | tail -n 3; failures=$((failures + 1))
  elif [ "$want" = FAIL ] && { [ "$rc" = 0 ] || ! grep -Eq "did not run to its end: $reason" <<<"$err"; }; then
    echo "FAIL: expected a failure ($reason), got rc $rc: $*"; echo "$err" | tail -n 3; failures=$((failures + 1))
  else
    echo "ok: $want $*"
  fi
}

expect PASS "" -- --gtest -- "$probe" --gtest_filter=Probe.First:Probe.Second
export VELTRAN_PROBE=halfway
expect FAIL "it wrote no test results" -- --gtest -- "$probe" --gtest_filter=Probe.First:Probe.Second
unset VELTRAN_PROBE
expect FAIL "1 of its 3 tests did not run" -- --gtest -- "$probe" --gtest_filter=Probe.*
expect FAIL "its test results name no test" -- --gtest -- "$probe" --gtest_filter=NoSuch.*

# A failure message in bytes that are not UTF-8 (a Windows program writes its
# own code page): the results still read, and the failure shows as written.
out="$(VELTRAN_PROBE=odd-bytes "$runner" $wine --gtest -- "$probe" --gtest_filter=Probe.First:Probe.Second 2>&1)"
rc=$?
if [ "$rc" = 0 ] || grep -q "did not run to its end" <<<"$out" || ! LC_ALL=C grep -qaF $'\xC4rger\xFC\xDF' <<<"$out" ||
   ! grep -q "FAILED.*Probe.Second" <<<"$out"; then
  echo "FAIL: a message in code page 1252: rc $rc, output:"; tail -n 5 <<<"$out"
  failures=$((failures + 1))
else
  echo "ok: a message in code page 1252 fails its test and shows as written"
fi

# Stopped as a timeout stops a test (TERM to its process group), once the probe
# says it hangs: the runner ends soon and shows the test it hung in. The time
# counts from the TERM, as the probe's start may take long on a busy machine.
# Under Wine the group's TERM often ends the program before wine-run's trap
# runs, and the trap must still show what it wrote. That order is made
# certain here: the probe is ended while strace holds wine-run in the wait
# that collects it, and wine-run gets the TERM before it sees that.
work="$(mktemp -d)"
pid="" tracer=""
# However this check ends, the runner's group (out of our own by setsid) ends too.
end_runner() {
  [ -n "$tracer" ] && kill "$tracer" 2>/dev/null && wait "$tracer" 2>/dev/null
  tracer=""
  [ -z "$pid" ] && return
  kill -KILL -- "-$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
}
trap 'end_runner; rm -rf "$work"' EXIT
trap 'exit 143' TERM INT HUP
flag="$work/hanging" probeflag="$work/hanging"
[ -n "$wine" ] && probeflag="Z:${flag//\//\\}"
VELTRAN_PROBE=hang VELTRAN_PROBE_FLAG="$probeflag" setsid "$runner" $wine --gtest -- "$probe" --gtest_filter=Probe.* \
  >"$work/out" 2>&1 &
pid=$!
# Its process, unless it has ended (a zombie until waited for).
running() { local state; state="$(ps -o stat= -p "$1" 2>/dev/null)" && [[ "$state" != Z* ]]; }
# until_true TENTHS COMMAND...: true once the command is, false at the deadline.
until_true() {
  local n="$1" _
  shift
  for _ in $(seq 1 "$n"); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}
gone() { [ ! -e "/proc/$1" ]; }
traced_by() { grep -Eq "^TracerPid:[[:space:]]+$2\$" "/proc/$1/status" 2>/dev/null; }
term_pending() { local m; m="$(awk '/^ShdPnd:/ { print $2 }' "/proc/$1/status")"; (( 0x$m & (1 << 14) )); }
# The probe's start is not what is checked: two minutes, for a machine that is very busy.
until_true 1200 eval '[ -e "$flag" ] || ! running "$pid"'
winerun="" program=""
if [ -n "$wine" ] && [ -e "$flag" ]; then
  winerun="$(pgrep -P "$pid" -f tools/wine-run)"
  program="$(pgrep -P "$winerun")"
fi
if [ ! -e "$flag" ]; then
  echo "FAIL: the probe did not say it hangs within two minutes"; tail -n 5 "$work/out"
  failures=$((failures + 1))
elif [ -n "$wine" ] && { [ -z "$winerun" ] || [ -z "$program" ]; }; then
  echo "FAIL: no wine-run ('$winerun') with its program ('$program') under the runner $pid"
  failures=$((failures + 1))
else
  if [ -n "$wine" ]; then
    # Every wait4 of wine-run is held at its end for a minute (until strace is
    # ended): the one that collects the probe is what the TERM must precede.
    strace -qq -o /dev/null -p "$winerun" -e trace=wait4 -e inject=wait4:delay_exit=60s 2>"$work/strace" &
    tracer=$!
    if until_true 100 traced_by "$winerun" "$tracer"; then
      kill -KILL "$program"
      until_true 100 gone "$program" || { echo "FAIL: the probe $program was not collected"; failures=$((failures + 1)); }
    else
      echo "skipped: the probe ended first (strace cannot trace here: $(head -n 1 "$work/strace"))"
      kill "$tracer" 2>/dev/null
      wait "$tracer" 2>/dev/null
      tracer=""
    fi
  fi
  kill -TERM -- "-$pid"
  stopped=$(date +%s%N)
  if [ -n "$tracer" ]; then
    until_true 100 term_pending "$winerun" || { echo "FAIL: wine-run $winerun got no TERM"; failures=$((failures + 1)); }
    kill "$tracer"
    wait "$tracer"
    tracer=""
  fi
  # Bounded at 20 s, then killed: a check that waits cannot hang.
  until_true 200 eval '! running "$pid"'
  took=$(( ($(date +%s%N) - stopped) / 1000000 ))
  running "$pid" && kill -KILL -- "-$pid"
  wait "$pid"
  rc=$?
  pid=""
  if [ "$rc" = 0 ] || [ "$took" -ge 20000 ] || ! grep -q "hanging now" "$work/out" ||
     ! grep -Eq "RUN .*Probe.Second" "$work/out"; then
    echo "FAIL: a hung program stopped: rc $rc, $took ms after the TERM, output:"; tail -n 5 "$work/out"
    failures=$((failures + 1))
  else
    echo "ok: a hung program stopped ends $took ms after the TERM and shows where it hung"
  fi
fi
end_runner

# A test of the run's shared session that finds it not started (ctest started
# in a test folder alone) runs in a session of its own, which ends with it;
# a started one it runs in as it is.
if [ -n "$wine" ]; then
  missing="$work/no-session"
  report='echo "session $VELTRAN_WINE_SESSION"; p="$(cat "$VELTRAN_WINE_SESSION/xvfb.pid")" && kill -0 "$p" &&
          echo "xvfb $p running"'
  out="$(VELTRAN_WINE_SESSION="$missing" "$runner" --end-line "xvfb [0-9]+ running" -- sh -c "$report" 2>&1)"
  rc=$?
  own="$(sed -n 's/^session //p' <<<"$out")" xvfb="$(sed -n 's/^xvfb \([0-9]*\) running$/\1/p' <<<"$out")"
  if [ "$rc" != 0 ] || [ -z "$xvfb" ] || [ "$own" = "$missing" ] || [ -e "$missing" ]; then
    echo "FAIL: a test whose session was not started ran without one of its own: rc $rc, output:"; tail -n 5 <<<"$out"
    failures=$((failures + 1))
  elif ! until_true 100 eval '! running "$xvfb"' || [ -e "$own" ]; then
    echo "FAIL: the session of its own outlived the test: $own, its Xvfb $xvfb"
    failures=$((failures + 1))
  else
    echo "ok: a test whose session was not started ran in one of its own, which ended with it"
  fi
  out="$("$runner" --end-line "xvfb [0-9]+ running" -- sh -c "$report" 2>&1)"
  if [ "$?" != 0 ] || [ "$(sed -n 's/^session //p' <<<"$out")" != "${VELTRAN_WINE_SESSION:-}" ]; then
    echo "FAIL: a test of a started session did not run in it (${VELTRAN_WINE_SESSION:-none}):"; tail -n 5 <<<"$out"
    failures=$((failures + 1))
  else
    echo "ok: a test of a started session runs in it"
  fi
fi

# Programs that are not GoogleTest programs print an end line.
wine=""
expect PASS "" -- --end-line "[0-9]+ passed, 0 failed" -- sh -c 'echo start; echo "3 passed, 0 failed"'
expect FAIL "it never printed its end line" -- --end-line "[0-9]+ passed, 0 failed" -- sh -c 'echo start'

echo "$failures failures"
[ "$failures" = 0 ]
