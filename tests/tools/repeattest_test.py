#!/usr/bin/env python3
"""tools/repeat-test against a small CTest build of shell tests: a test that
fails on one of its runs is printed with its output and counted, the
neighbours run beside it until its last run, -x stops at the first failure,
a test past its TIMEOUT is killed, and an unknown name is refused.

    repeattest_test.py REPEAT_TEST
"""
import os
import subprocess
import sys
import tempfile
import time

failures = 0


def check(what, ok, output=""):
    global failures
    print("%s: %s" % ("ok" if ok else "FAIL", what))
    if not ok:
        failures += 1
        print(output[-2000:])


def main():
    tool = sys.argv[1]
    with tempfile.TemporaryDirectory() as build:
        count = os.path.join(build, "count")
        # Each "flaky" run adds a line to the count; the second run fails.
        flaky = ("sleep 0.3; n=$(($(cat %s 2>/dev/null | wc -l) + 1)); echo x >>%s; "
                 "[ $n != 2 ] || { echo broke on run $n; exit 1; }") % (count, count)
        with open(os.path.join(build, "CTestTestfile.cmake"), "w") as f:
            f.write('add_test(flaky "sh" "-c" "%s")\n' % flaky)
            f.write('add_test(steady "sh" "-c" "sleep 0.3")\n')
            f.write('add_test(beside "sh" "-c" "sleep 0.1")\n')
            f.write('add_test(stuck "sleep" "30")\n')
            f.write('set_tests_properties(stuck PROPERTIES TIMEOUT 1)\n')

        def run(*args):
            if os.path.exists(count):
                os.remove(count)
            start = time.monotonic()
            p = subprocess.run([tool, "--build", build] + list(args), stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True)
            return p.returncode, p.stdout, time.monotonic() - start

        rc, out, _ = run("-n", "3", "flaky", "steady", "--beside", "beside")
        check("a failed run fails the whole", rc == 1, out)
        check("the failed run is printed with its output",
              "== flaky run 2/3 FAILED (exit code 1" in out and "broke on run 2" in out, out)
        check("each test ran its runs", lines_of(out, "flaky")[1:5] == ["3", "runs", "1", "failed"] and
              lines_of(out, "steady")[1:5] == ["3", "runs", "0", "failed"], out)
        beside = lines_of(out, "beside")
        check("the neighbour ran beside them", len(beside) > 1 and int(beside[1]) >= 1 and "(beside)" in beside,
              out)

        rc, out, _ = run("-n", "5", "-x", "flaky")
        check("-x stops at the first failure", rc == 1 and "flaky run 3/5" not in out and
              lines_of(out, "flaky")[1:5] == ["2", "runs", "1", "failed"], out)

        rc, out, _ = run("-n", "4", "st.*y")
        check("a pattern names whole tests", rc == 0 and lines_of(out, "steady")[1:3] == ["4", "runs"] and
              "flaky" not in out, out)

        rc, out, seconds = run("-n", "1", "stuck")
        check("a run past its TIMEOUT is ended", rc == 1 and "timed out after 1 s" in out and seconds < 15, out)

        rc, out, _ = run("nosuch")
        check("an unknown test is refused", rc != 0 and "no test of the build is named 'nosuch'" in out, out)
    print("%d failed" % failures)
    return 1 if failures else 0


def lines_of(out, name):
    return next((l.split() for l in out.splitlines() if l.startswith(name + " ") and " runs " in l), [])


if __name__ == "__main__":
    sys.exit(main())
