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

# Stopped as a timeout stops a test (TERM to its process group), once the probe
# says it hangs: the runner ends soon and shows the test it hung in. The time
# counts from the TERM, as the probe's start may take long on a busy machine.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
flag="$work/hanging" probeflag="$work/hanging"
[ -n "$wine" ] && probeflag="Z:${flag//\//\\}"
VELTRAN_PROBE=hang VELTRAN_PROBE_FLAG="$probeflag" setsid "$runner" $wine --gtest -- "$probe" --gtest_filter=Probe.* \
  >"$work/out" 2>&1 &
pid=$!
# Its process, unless it has ended (a zombie until waited for).
running() { local state; state="$(ps -o stat= -p "$1" 2>/dev/null)" && [[ "$state" != Z* ]]; }
# The probe's start is not what is checked: two minutes, for a machine that is very busy.
for _ in $(seq 1 1200); do
  { [ -e "$flag" ] || ! running "$pid"; } && break
  sleep 0.1
done
if [ ! -e "$flag" ]; then
  echo "FAIL: the probe did not say it hangs within two minutes"; tail -n 5 "$work/out"
  failures=$((failures + 1))
  kill -KILL -- "-$pid" 2>/dev/null
  wait "$pid"
else
  kill -TERM -- "-$pid"
  stopped=$(date +%s%N)
  ( sleep 20; kill -KILL -- "-$pid" ) 2>/dev/null &
  guard=$!
  wait "$pid"
  rc=$? took=$(( ($(date +%s%N) - stopped) / 1000000 ))
  pkill -P "$guard" sleep; wait "$guard" 2>/dev/null
  if [ "$rc" = 0 ] || [ "$took" -ge 20000 ] || ! grep -q "hanging now" "$work/out" ||
     ! grep -Eq "RUN .*Probe.Second" "$work/out"; then
    echo "FAIL: a hung program stopped: rc $rc, $took ms after the TERM, output:"; tail -n 5 "$work/out"
    failures=$((failures + 1))
  else
    echo "ok: a hung program stopped ends $took ms after the TERM and shows where it hung"
  fi
fi
# Programs that are not GoogleTest programs print an end line.
wine=""
expect PASS "" -- --end-line "[0-9]+ passed, 0 failed" -- sh -c 'echo start; echo "3 passed, 0 failed"'
expect FAIL "it never printed its end line" -- --end-line "[0-9]+ passed, 0 failed" -- sh -c 'echo start'

echo "$failures failures"
[ "$failures" = 0 ]
