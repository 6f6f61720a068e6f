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

# Stopped by a timeout as ctest stops a test: it ends soon and shows the test it hung in.
start=$(date +%s)
out="$(VELTRAN_PROBE=hang timeout -s TERM 10 "$runner" $wine --gtest -- "$probe" --gtest_filter=Probe.* 2>&1)"
rc=$? took=$(( $(date +%s) - start ))
if [ "$rc" = 0 ] || [ "$took" -gt 30 ] || ! grep -q "hanging now" <<<"$out" ||
   ! grep -Eq "RUN .*Probe.Second" <<<"$out"; then
  echo "FAIL: a hung program stopped after 10 s: rc $rc after $took s, output:"; echo "$out" | tail -n 5
  failures=$((failures + 1))
else
  echo "ok: a hung program stopped after 10 s shows where it hung"
fi
# Programs that are not GoogleTest programs print an end line.
wine=""
expect PASS "" -- --end-line "[0-9]+ passed, 0 failed" -- sh -c 'echo start; echo "3 passed, 0 failed"'
expect FAIL "it never printed its end line" -- --end-line "[0-9]+ passed, 0 failed" -- sh -c 'echo start'

echo "$failures failures"
[ "$failures" = 0 ]
