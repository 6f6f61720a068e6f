#!/usr/bin/env python3
"""tools/run-tests (make test) against two small CTest builds: it prints each
build's log and fails unless both passed. Stopped by Ctrl+C, a closed
terminal or TERM sent to its process group, as a terminal sends them, it ends
the tests with TERM (a test's trap runs), runs the builds' cleanup fixtures
(the server a fixture started is stopped), kills a test deaf to TERM after its
grace, and leaves no process behind.

    runtests_test.py RUN_TESTS
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

failures = 0


def check(what, ok, output=""):
    global failures
    print("%s: %s" % ("ok" if ok else "FAIL", what), flush=True)
    if not ok:
        failures += 1
        print(output[-2000:], flush=True)
    return ok


def marked(mark):
    """The live processes whose environment carries <mark>."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % pid) as f:
                if f.read().rpartition(")")[2].split()[0] == "Z":
                    continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if mark.encode() in f.read().split(b"\0"):
                    found.append(int(pid))
        except OSError:
            pass
    return found


def write_build(folder, tests):
    os.makedirs(folder)
    with open(os.path.join(folder, "CTestTestfile.cmake"), "w") as f:
        f.write("".join(tests))


def sh(name, script, props=""):
    line = 'add_test(%s "sh" "-c" "%s")\n' % (name, script.replace('"', '\\"'))
    return line + ("set_tests_properties(%s PROPERTIES %s)\n" % (name, props) if props else "")


def builds(root, stopping):
    """Two builds; with <stopping>, tests that hang until they are stopped."""
    a, b = os.path.join(root, "a"), os.path.join(root, "b")
    if not stopping:
        write_build(a, [sh("fine", "echo fine-a")])
        write_build(b, [sh("fine", "echo fine-b"), sh("broken", "exit 3")])
        return [a, b]
    server = os.path.join(root, "server.pid")
    write_build(a, [
        # A server in a session of its own, as the test servers are: the group's TERM does not reach it.
        sh("srv.start", "setsid sleep 1000 </dev/null >/dev/null 2>&1 & echo $! >%s" % server,
           "FIXTURES_SETUP srv"),
        sh("srv.stop", "kill $(cat %s) && rm %s" % (server, server), 'FIXTURES_CLEANUP srv LABELS "cleanup"'),
        sh("polite", "trap 'touch %s/polite.cleaned; exit 143' TERM; touch %s/polite.started; sleep 1000 & wait"
           % (root, root), "FIXTURES_REQUIRED srv"),
    ])
    write_build(b, [
        sh("deaf", "trap '' TERM; touch %s/deaf.started; sleep 1000 & wait; sleep 1000" % root),
    ])
    return [a, b]


def terminal_job():
    # A terminal's job: INT and HUP at their defaults, whatever this test inherited.
    for s in (signal.SIGINT, signal.SIGHUP, signal.SIGTERM):
        signal.signal(s, signal.SIG_DFL)


def run(tool, folders, env, out):
    return subprocess.Popen([tool, "2"] + folders, env=env, stdin=subprocess.DEVNULL, stdout=out,
                            stderr=subprocess.STDOUT, start_new_session=True, preexec_fn=terminal_job)


def passing_and_failing(tool):
    with tempfile.TemporaryDirectory() as root, tempfile.TemporaryFile("w+") as out:
        proc = run(tool, builds(root, False), dict(os.environ), out)
        rc = proc.wait(60)
        out.seek(0)
        text = out.read()
        check("a failed test fails the whole run", rc == 1, text)
        check("each build's log is printed", "== a tests" in text and "== b tests" in text
              and "broken (Failed)" in text and "tests took" in text, text)


def stopped(tool, signum):
    name = signal.Signals(signum).name
    with tempfile.TemporaryDirectory() as root, tempfile.TemporaryFile("w+") as out:
        mark = "RUNTESTS_MARK=%s" % os.urandom(8).hex()
        env = dict(os.environ, VELTRAN_STOP_GRACE="3")
        env.update([mark.split("=", 1)])
        proc = run(tool, builds(root, True), env, out)
        started = lambda: all(os.path.exists(os.path.join(root, f)) for f in ("polite.started", "deaf.started"))
        end = time.monotonic() + 60
        while not started() and time.monotonic() < end and proc.poll() is None:
            time.sleep(0.05)
        if not check("%s: the tests have started" % name, started()):
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            return
        server = int(open(os.path.join(root, "server.pid")).read())
        os.killpg(proc.pid, signum)
        sent = time.monotonic()
        try:
            rc = proc.wait(30)
        except subprocess.TimeoutExpired:
            rc = None
        took = time.monotonic() - sent
        out.seek(0)
        text = out.read()
        check("%s: ends with the signal's status (%s) in %.1f s" % (name, rc, took), rc == 128 + signum, text)
        check("%s: the test that heeds TERM ran its trap" % name,
              os.path.exists(os.path.join(root, "polite.cleaned")), text)
        check("%s: the cleanup fixture stopped the server" % name,
              not os.path.exists(os.path.join(root, "server.pid")) and server not in marked(mark), text)
        left = marked(mark)
        check("%s: nothing it started remains" % name, not left, "left: %s\n%s" % (left, text))
        for pid in left:
            os.kill(pid, signal.SIGKILL)


def main():
    tool = sys.argv[1]
    passing_and_failing(tool)
    for signum in (signal.SIGINT, signal.SIGHUP, signal.SIGTERM):
        stopped(tool, signum)
    print("%d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
