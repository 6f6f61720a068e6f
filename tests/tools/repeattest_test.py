#!/usr/bin/env python3
"""tools/repeat-test against small CTest builds: a test that fails on one of
its runs is printed with its output and counted, the neighbours run beside it
until its last run, -x stops at the first failure, a test past its TIMEOUT is
killed, and an unknown name is refused. Runs are judged as ctest judges them,
ctest itself asked too. However it is stopped (Ctrl+C, SIGTERM, -x, the end
of the neighbours, a TIMEOUT, a run deaf to SIGTERM), nothing it started
remains: no process, no temporary folder.

    repeattest_test.py REPEAT_TEST
    repeattest_test.py --wine REPEAT_TEST   (a run's own Wine session, stopped by Ctrl+C)
"""
import os
import re
import select
import signal
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
    return ok


def main():
    if sys.argv[1] == "--wine":
        own_session_stopped(sys.argv[2])
    else:
        counting(sys.argv[1])
        judging(sys.argv[1])
        stopping(sys.argv[1])
    print("%d failed" % failures)
    return 1 if failures else 0


def counting(tool):
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
            # A timeout fails whatever WILL_FAIL says.
            f.write('set_tests_properties(stuck PROPERTIES TIMEOUT 1 WILL_FAIL TRUE)\n')

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


# name: command, properties, what repeat-test and ctest say, the reason given.
JUDGED = {
    "will_fail_fails": ('"sh" "-c" "exit 3"', "WILL_FAIL TRUE", "ok", ""),
    "will_fail_passes": ('"sh" "-c" "exit 0"', "WILL_FAIL TRUE", "FAILED",
                         "passed (exit code 0), but the test is WILL_FAIL"),
    # A pass expression found makes the exit code count for nothing.
    "pass_found": ('"sh" "-c" "echo all good; exit 2"', 'PASS_REGULAR_EXPRESSION "no;all go+d"', "ok", ""),
    "pass_missing": ('"sh" "-c" "echo fine"', 'PASS_REGULAR_EXPRESSION "all go+d;done"', "FAILED",
                     "no pass expression found (/all go+d/, /done/)"),
    "fail_found": ('"sh" "-c" "echo done with ERROR"', "PASS_REGULAR_EXPRESSION done FAIL_REGULAR_EXPRESSION ERR",
                   "FAILED", "fail expression /ERR/ found"),
    # A skip beats WILL_FAIL and a fail expression.
    "skip_code": ('"sh" "-c" "exit 77"', "SKIP_RETURN_CODE 77 WILL_FAIL TRUE", "skipped",
                  "exit code 77 is its SKIP_RETURN_CODE"),
    "skip_expression": ('"sh" "-c" "echo no display; exit 1"', 'SKIP_REGULAR_EXPRESSION "no disp" '
                        "FAIL_REGULAR_EXPRESSION display", "skipped", "skip expression /no disp/ found"),
    "killed_will_fail": ('"sh" "-c" "kill -KILL $$"', "WILL_FAIL TRUE", "FAILED", "ended by SIGKILL"),
}


def judging(tool):
    with tempfile.TemporaryDirectory() as build:
        with open(os.path.join(build, "CTestTestfile.cmake"), "w") as f:
            for name, (command, props, _, _) in JUDGED.items():
                f.write("add_test(%s %s)\nset_tests_properties(%s PROPERTIES %s)\n" % (name, command, name, props))
        p = subprocess.run([tool, "--build", build, "-n", "2"] + list(JUDGED), stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True)
        check("a run that fails as judged fails the whole", p.returncode == 1, p.stdout)
        for name, (_, _, verdict, why) in JUDGED.items():
            line = r"^%s%s run 1/2 %s \(%s[0-9.]+ s\)$" % ("== " if verdict == "FAILED" else "", name, verdict,
                                                        re.escape(why + ", ") if why else "")
            counts = {"ok": "0 failed", "FAILED": "2 failed", "skipped": "0 failed 2 skipped"}[verdict]
            check("%s: %s %s" % (name, verdict, why), re.search(line, p.stdout, re.M) and
                  " ".join(lines_of(p.stdout, name)[1:]).startswith("2 runs %s median" % counts), p.stdout)
        ctest = subprocess.run(["ctest", "--test-dir", build, "-j", "8"], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True).stdout
        said = {m[0]: {"Passed": "ok", "***Skipped": "skipped"}.get(m[1], "FAILED")
                for m in re.findall(r"Test +#\d+: (\S+) \.+ *(\S+)", ctest)}
        check("ctest judges them alike", said == {n: j[2] for n, j in JUDGED.items()}, ctest)


# A daemon out of the run's group, as wineserver. Its id comes from the daemon
# itself, once it runs: a child between fork and exec still has the shell's
# trap and would lose the SIGTERM sent to it.
DAEMON = "$(setsid sh -c 'echo $$; exec sleep 1000 </dev/null >/dev/null 2>&1' &)"
# As run-test: a folder of its own, the daemon and a process in its group, all
# ended by its EXIT trap. It says when it has started.
LASTING = r"""
work=$(mktemp -d "${TMPDIR:-/tmp}/lasting.XXXXXX")
cleanup() { [ -z "$daemon" ] || kill $daemon; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 143' TERM INT
daemon=%s
sleep 1000 &
[ -z "$1" ] || echo started >"$1"
wait
""" % DAEMON
# Deaf to SIGTERM, it is killed; the Wine session it leaves in its folder (the
# daemon in xvfb.pid, which wine-session stop ends) is stopped for it.
STUBBORN = r"""
session="$(mktemp -d "${TMPDIR:-/tmp}/stubborn.XXXXXX")/session"
mkdir "$session"
echo %s >"$session/xvfb.pid"
trap '' TERM INT
sleep 1000 &
echo started >"$1"
wait
""" % DAEMON


def stopping(tool):
    with tempfile.TemporaryDirectory() as build:
        started = os.path.join(build, "started")
        os.mkfifo(started)
        for name, text in (("lasting", LASTING), ("stubborn", STUBBORN)):
            with open(os.path.join(build, name + ".sh"), "w") as f:
                f.write(text)
        with open(os.path.join(build, "CTestTestfile.cmake"), "w") as f:
            f.write('add_test(lasting "sh" "%s/lasting.sh" "%s")\n' % (build, started))
            f.write('add_test(lasting_timeout "sh" "%s/lasting.sh" "")\n' % build)
            f.write("set_tests_properties(lasting_timeout PROPERTIES TIMEOUT 1)\n")
            f.write('add_test(stubborn "sh" "%s/stubborn.sh" "%s")\n' % (build, started))
            # They end once the lasting run has started.
            f.write('add_test(failing "sh" "-c" "read x <%s; exit 1")\n' % started)
            f.write('add_test(waiting "sh" "-c" "read x <%s")\n' % started)
        interrupted = "repeat-test: interrupted"
        # what, arguments, the signal sent once the run has started, exit status, what it says, a run not counted
        for what, args, signum, rc, says, stopped in (
                ("SIGINT", ["-n", "3", "lasting"], signal.SIGINT, 130, interrupted, "lasting"),
                ("SIGTERM", ["-n", "3", "lasting"], signal.SIGTERM, 143, interrupted, "lasting"),
                ("a run deaf to SIGTERM", ["-n", "1", "--grace", "1", "stubborn"], signal.SIGINT, 130, interrupted,
                 "stubborn"),
                ("-x", ["-n", "1", "-x", "lasting", "failing"], None, 1, "== failing run 1/1 FAILED", "lasting"),
                ("a neighbour at the end", ["-n", "1", "waiting", "--beside", "lasting"], None, 0,
                 "waiting run 1/1 ok", "lasting"),
                ("a TIMEOUT", ["-n", "1", "lasting_timeout"], None, 1, "timed out after 1 s", None)):
            r = watch(tool, build, args, started if signum else None, signum)
            check("%s: it ends so, the stopped run not counted" % what, r["rc"] == rc and says in r["out"] and
                  (not stopped or lines_of(r["out"], stopped)[1:3] == ["0", "runs"]), r["out"])
            clean(what, r)


def watch(tool, build, args, started=None, signum=None):
    """Runs repeat-test with a marker in its environment, which every process
    it starts inherits, and a temporary folder of the test's own; once its run
    has written to <started>, it gets <signum>. What it left is ended after."""
    mark = "REPEATTEST_MARK=%s" % os.urandom(8).hex()
    tmp = tempfile.TemporaryDirectory()
    env = dict(os.environ, TMPDIR=tmp.name)
    env.update([mark.split("=", 1)])
    reader = os.open(started, os.O_RDONLY | os.O_NONBLOCK) if started else None
    with tempfile.TemporaryFile() as out:
        proc = subprocess.Popen([tool, "--build", build] + list(args), env=env, stdin=subprocess.DEVNULL,
                                stdout=out, stderr=subprocess.STDOUT)
        r = {"running": []}
        if reader is not None:
            ended = os.pidfd_open(proc.pid)
            ready = select.select([reader, ended], [], [], 60)[0]
            os.close(ended)
            r["running"] = marked(mark)
            if check("the run has started", reader in ready and len(r["running"]) > 1, "\n".join(r["running"])):
                proc.send_signal(signum)
        try:
            # Bounded from the signal (or the start): past a run's grace.
            r["rc"] = proc.wait(timeout=60)
        except subprocess.TimeoutExpired:
            r["rc"] = None
            proc.kill()
            proc.wait()
        r["left"] = lingering(mark, time.monotonic())
        r["files"] = os.listdir(tmp.name)
        out.seek(0)
        r["out"] = out.read().decode("utf-8", "replace")
    for line in r["left"]:
        os.kill(int(line.split()[0]), signal.SIGKILL)  # the host keeps nothing of a failed check
    if reader is not None:
        os.close(reader)
    tmp.cleanup()
    return r


def clean(what, r):
    check("%s: nothing it started remains" % what, r["rc"] is not None and not r["left"] and not r["files"],
          "%s\nleft: %s\nfiles: %s" % (r["out"], "\n".join(r["left"]), " ".join(r["files"])))


def marked(mark):
    """The processes whose environment carries <mark>: "pid command"."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if mark.encode() in f.read().split(b"\0"):
                    with open("/proc/%s/cmdline" % pid, "rb") as c:
                        found.append("%s %s" % (pid, c.read().replace(b"\0", b" ").decode("utf-8", "replace")))
        except OSError:
            pass  # gone, or not ours to read
    return found


def lingering(mark, since, bound=10):
    # A process sent SIGTERM a moment ago may still be ending; one that stays is left over.
    while marked(mark) and time.monotonic() - since < bound:
        time.sleep(0.05)
    return marked(mark)


def own_session_stopped(tool):
    """A run with a Wine session of its own (run-test --own-session), stopped
    by Ctrl+C: its Xvfb, wineserver and Wine's processes end, and its folder,
    prefix copy and Wine's socket folder go."""
    run_test = os.path.join(os.path.dirname(os.path.abspath(tool)), "run-test")
    with tempfile.TemporaryDirectory() as build:
        started = os.path.join(build, "started")
        os.mkfifo(started)
        with open(os.path.join(build, "CTestTestfile.cmake"), "w") as f:
            f.write('add_test(own "%s" "--own-session" "--" "sh" "-c" "echo started >%s; sleep 1000")\n' % (
                run_test, started))
        r = watch(tool, build, ["-n", "1", "own"], started, signal.SIGINT)
        running = " ".join(r["running"])
        check("the run's own session was going", "Xvfb" in running and "wineserver" in running, running)
        check("Ctrl+C: interrupted", r["rc"] == 130 and "repeat-test: interrupted" in r["out"], r["out"])
        clean("Ctrl+C on a run with its own Wine session", r)


def lines_of(out, name):
    return next((l.split() for l in out.splitlines() if l.startswith(name + " ") and " runs " in l), [])


if __name__ == "__main__":
    sys.exit(main())
