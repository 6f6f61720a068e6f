#!/usr/bin/env python3
"""make run's script ends the whole run on Ctrl+C (INT), a closed terminal
(HUP) and TERM sent to its process group, as a terminal sends them: the
program ends as Windows ends it at log-off, so what it showed is saved, and
within 30 s nothing of the run is left: no Wine program or wineserver of its
prefix, no tray-clock stand-in, no skin server, no server folder, and no
display of its own when it made one. Each start after a signal shows again
the clock the one before showed. A second Ctrl+C kills at once.

One run at a time: a second one, from the same checkout or another, ends by
itself and says which run goes on, and the running one keeps its program, its
server, its drive V:, its display and its skin server, and saves at its end;
only the run itself holds its lock. Two make runs started together in a
fresh build folder: one says so and ends before it configures or builds
anything, the other configures and builds once and runs; a make run of
another checkout meanwhile ends the same way (make run with stand-ins for
setup and cmake, which write down each call and wait at a gate to
configure). A TERM sent to make run's group, which make passes on to the
run too, ends it as one TERM does. A run whose every process was killed
outright does not stop the next, even where the numbers it wrote down name
other processes now (as after a power loss): those are left alone, and the
test removes what the killed display left. No display the runs made leaves
its socket behind.

    runveltran_test.py TOOLS APP VELTRANCTL WORK

It runs in checkouts of its own (the program folder copied, the tools
linked) and a cache of its own (the prepared prefix linked in), on an Xvfb
display of its own.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

failures = 0
CLOCK = "Veltran Clock - Analog Clock"
# make run's cmake: each call is written down with its checkout, a call while
# another runs in the same build folder as an overlap too; a configure waits
# for the gate (a minute at most) and leaves the file that says it is done.
CMAKE = """#!/bin/sh
what=configure
[ "$1" = --build ] && what=build
echo "$what $PWD" >>"$STANDIN_LOG"
mkdir build/.cmake-busy 2>/dev/null || echo "overlap $what $PWD" >>"$STANDIN_LOG"
if [ $what = configure ]; then
  n=0
  while [ ! -e "$STANDIN_GATE" ] && [ $n -lt 600 ]; do sleep 0.1; n=$((n + 1)); done
  touch build/win32/build.ninja
fi
rmdir build/.cmake-busy 2>/dev/null
exit 0
"""
# The Windows libraries are there.
SETUP = """#!/bin/sh
[ "$1" = --print-prefix ] && echo /nonexistent
exit 0
"""


def check(what, ok, detail=""):
    global failures
    print("%s: %s" % ("ok" if ok else "FAIL", what), flush=True)
    if not ok:
        failures += 1
        if detail:
            print(detail[-3000:], flush=True)
    return ok


def until(seconds, predicate, step=0.2):
    end = time.monotonic() + seconds
    while True:
        if predicate():
            return True
        if time.monotonic() >= end:
            return False
        time.sleep(step)


def running(pid):
    """Alive and not a zombie."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rpartition(")")[2].split()[0] != "Z"
    except (FileNotFoundError, ProcessLookupError):
        return False


def live(has):
    """The live processes for which has(pid) holds; one that ends meanwhile
    is not among them."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            if has(entry) and running(int(entry)):
                found.append(int(entry))
        except OSError:
            pass
    return found


def of_prefix(prefix):
    """The live processes whose environment names the prefix."""
    want = ("WINEPREFIX=" + prefix).encode()

    def has(pid):
        with open("/proc/%s/environ" % pid, "rb") as f:
            return want in f.read().split(b"\0")
    return live(has)


def describe(pids):
    lines = []
    for pid in pids:
        try:
            with open("/proc/%d/cmdline" % pid, "rb") as f:
                lines.append("%d %s" % (pid, f.read().replace(b"\0", b" ").decode(errors="replace")))
        except OSError:
            pass
    return "\n".join(lines)


def default_signals():
    # A terminal's job: INT and HUP at their defaults, whatever this test inherited.
    for s in (signal.SIGINT, signal.SIGHUP, signal.SIGTERM, signal.SIGQUIT):
        signal.signal(s, signal.SIG_DFL)


def lock_holders(path):
    """The live processes with the file open."""
    def has(pid):
        fds = "/proc/%s/fd" % pid
        for fd in os.listdir(fds):
            try:
                if os.readlink(os.path.join(fds, fd)) == path:
                    return True
            except OSError:  # closed meanwhile
                pass
        return False
    return live(has)


class Run:
    """One run: run-veltran (or make run, with make) in a process group of
    its own, as a terminal's job."""

    def __init__(self, t, display, root=None, args=(), make=False):
        self.t = t
        self.root = root or t.root
        self.display = display  # None: the run makes its own
        env = dict(t.env)
        if display:
            env["DISPLAY"] = display
        if make:
            # As typed in a terminal, not as a make run by make test's.
            for name in ("MAKEFLAGS", "MAKELEVEL", "MFLAGS"):
                env.pop(name, None)
            env.update(PATH=t.standins + os.pathsep + env.get("PATH", ""), STANDIN_LOG=t.standin_log,
                       STANDIN_GATE=t.gate)
            argv = ["make", "run"]
        else:
            argv = [os.path.join(self.root, "tools", "run-veltran")] + list(args)
        t.runs += 1
        self.out = open(os.path.join(t.work, "run%d.out" % t.runs), "w+")
        self.proc = subprocess.Popen(argv, env=env, cwd=self.root,
                                     stdin=subprocess.DEVNULL, stdout=self.out, stderr=subprocess.STDOUT,
                                     start_new_session=True, preexec_fn=default_signals)

    def output(self):
        self.out.seek(0)
        return self.out.read()

    def run_display(self):
        if self.display:
            return self.display
        try:
            with open(os.path.join(self.root, "build", "run-session", "display")) as f:
                display = f.read().strip()
        except FileNotFoundError:
            return None
        self.t.displays.add(display)
        return display

    def ctl(self, *args):
        env = dict(self.t.env, DISPLAY=self.run_display() or "", WINEPREFIX=self.t.prefix)
        done = subprocess.run(["wine", self.t.ctl] + list(args), env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        return done.returncode, done.stdout

    def clock_shown(self):
        return self.ctl("rect", CLOCK)[0] == 0

    def up(self):
        """The main dialog exists. Asked only once the run says the program
        starts: a Wine program started before would make the prefix, or start
        its server, itself."""
        return until(90, lambda: self.proc.poll() is not None or (
            "Veltran Clock is starting" in self.output() and self.ctl("wait", "5")[0] == 0), step=0.5)

    def ended(self, seconds):
        try:
            self.proc.wait(seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def kill(self):
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()


class Test:
    def __init__(self, tools, app, ctl, work):
        shared = os.environ.get("VELTRAN_CACHE") or os.path.join(os.environ.get("HOME", "/root"), ".cache", "veltran")
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        self.work = os.path.realpath(work)
        self.tools = tools
        self.runs = 0
        self.ctl = ctl
        self.displays = set()
        self.standins = os.path.join(self.work, "standins")
        os.makedirs(self.standins)
        for name, text in (("cmake", CMAKE), ("setup.sh", SETUP)):
            with open(os.path.join(self.standins, name), "w") as f:
                f.write(text)
            os.chmod(os.path.join(self.standins, name), 0o755)
        self.standin_log = os.path.join(self.work, "cmake.log")
        self.gate = os.path.join(self.work, "gate")
        cache = os.path.join(self.work, "cache")
        os.makedirs(cache)
        os.symlink(os.path.join(shared, "wineprefix32"), os.path.join(cache, "wineprefix32"))
        self.prefix = os.path.join(cache, "wineprefix-run")
        self.lock = os.path.join(cache, "run.lock")
        self.root = self.checkout("root", app)
        self.root2 = self.checkout("root2", app)
        self.root3 = self.checkout("root3", app)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WINEPREFIX", "VELTRAN_WINE_SESSION", "VELTRAN_SKIN_SERVER", "DISPLAY")}
        # The program as make run starts it: real side effects (the stand-in is started, the icon is in the tray).
        self.env = {k: v for k, v in self.env.items() if not k.startswith("VELTRAN_AUTOMATION")}
        self.env.update(VELTRAN_CACHE=cache, WINEDEBUG="-all")
        # A display of the test's own: the run draws its desktop there.
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                     pass_fds=(w,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(w)
        with os.fdopen(r) as f:
            self.display = ":" + f.readline().strip()

    def checkout(self, name, app):
        root = os.path.join(self.work, name)
        os.makedirs(os.path.join(root, "tools"))
        for name in ("run-veltran", "wine-session", "winecommon.sh", "skinserver", "check-cache"):
            os.symlink(os.path.join(self.tools, name), os.path.join(root, "tools", name))
        os.symlink(os.path.join(self.standins, "setup.sh"), os.path.join(root, "tools", "setup.sh"))
        os.symlink(os.path.join(os.path.dirname(self.tools), "Makefile"), os.path.join(root, "Makefile"))
        build = os.path.join(root, "build", "win32")
        os.makedirs(os.path.join(build, "app"))
        for name in ("Veltran.exe", "varizi.exe", "vodoze.exe"):
            shutil.copy(os.path.join(app, name), os.path.join(build, "app"))
        for name in ("acs", "dcs"):
            shutil.copytree(os.path.join(app, name), os.path.join(build, "app", name))
        os.symlink(os.path.join(os.path.dirname(app), "skinsite"), os.path.join(build, "skinsite"))
        return root

    def server_folder(self):
        """The prefix's server folder, where Wine keeps it, if it is there."""
        done = subprocess.run(["bash", "-c", '. "$1/winecommon.sh"; compgen -G "$(server_folders "$2")"', "-",
                               self.tools, self.prefix], stdout=subprocess.PIPE, text=True)
        return done.stdout.strip()

    def left(self, run, extra_pids):
        """What the run left of itself."""
        what = describe(of_prefix(self.prefix) + [p for p in extra_pids if running(p)])
        folder = self.server_folder() if os.path.isdir(self.prefix) else ""
        if folder:
            what += "\nserver folder " + folder
        session = os.path.join(self.root, "build", "run-session")
        if os.path.exists(os.path.join(session, "xvfb.pid")):
            what += "\nits display's " + session
        return what.strip()

    def end(self, name, run, sig, pids=(), status=None, late=None):
        """Sends SIG to the run's group, as a terminal does (and to the
        process LATE a moment later): the run ends with the signal's status
        (or STATUS), nothing of it is left, and the program saved."""
        status = 128 + sig if status is None else status
        config = os.path.join(run.root, "build", "win32", "app", "Veltran.cfg")
        # Whatever is there after the end, the end wrote.
        if os.path.exists(config):
            os.remove(config)
        os.killpg(run.proc.pid, sig)
        if late:
            time.sleep(0.2)
            os.kill(late, sig)
        check("%s: the run ends within 30 s" % name, run.ended(30), run.output())
        check("%s: with the signal's exit status" % name, run.proc.returncode == status,
              "exit status %s" % run.proc.returncode)
        left = ""
        if not until(30, lambda: not self.left(run, pids)):
            left = self.left(run, pids)
        check("%s: nothing of the run is left" % name, not left, left)
        check("%s: the program saved its configuration" % name, os.path.exists(config), run.output())

    def end_by_signal(self, name, display, shown_before):
        sig = getattr(signal, "SIG" + name)
        print("== %s, %s" % (name, "DISPLAY set" if display else "no DISPLAY"), flush=True)
        run = Run(self, display)
        try:
            if not check("%s: the program reached the tray" % name, run.up() and run.proc.poll() is None,
                         run.output()):
                return
            if shown_before:
                check("%s: the clock shown before the last end is shown at the start" % name,
                      until(20, run.clock_shown))
            else:
                run.ctl("send", "0x111", "2001")  # Analog Clock, as the tray menu's command
                check("%s: the clock shows" % name, until(20, run.clock_shown))
            pids = []
            try:
                with open(os.path.join(self.root, "build", "run-skinserver", "pid")) as f:
                    pids.append(int(f.read()))
            except FileNotFoundError:
                check("%s: the skin server runs" % name, False, run.output())
            check("%s: the tray-clock stand-in runs" % name,
                  until(20, lambda: "varizi.exe" in describe(of_prefix(self.prefix))), describe(of_prefix(self.prefix)))
            self.end(name, run, sig, pids)
        finally:
            self.finish(run)

    def twice(self):
        print("== INT twice", flush=True)
        run = Run(self, self.display)
        try:
            if not check("INT twice: the program reached the tray", run.up() and run.proc.poll() is None,
                         run.output()):
                return
            os.killpg(run.proc.pid, signal.SIGINT)
            until(10, lambda: "ending Veltran Clock" in run.output())
            os.killpg(run.proc.pid, signal.SIGINT)
            check("INT twice: the run ends within 10 s", run.ended(10), run.output())
            left = ""
            if not until(30, lambda: not self.left(run, [])):
                left = self.left(run, [])
            check("INT twice: nothing of the run is left", not left, left)
        finally:
            self.finish(run)

    def state(self, run):
        """What a second run must leave as it is: the long-lived processes
        of the prefix, its drive V:, the run's display and skin server."""
        programs = {}
        for line in describe(of_prefix(self.prefix)).splitlines():
            pid, _, command = line.partition(" ")
            for name in ("wineserver", "explorer.exe", "Veltran.exe", "varizi.exe"):
                if name in command:
                    programs[name] = pid
        build = os.path.join(self.root, "build")
        files = {}
        for name in ("run-session/display", "run-session/xvfb.pid", "run-skinserver/pid", "run-skinserver/port"):
            try:
                with open(os.path.join(build, name)) as f:
                    files[name] = f.read()
            except FileNotFoundError:
                files[name] = None
        return {"programs": programs, "V:": os.readlink(os.path.join(self.prefix, "dosdevices", "v:")),
                "files": files, "clock shown": run.clock_shown()}

    def one_at_a_time(self):
        print("== a second run while one runs", flush=True)
        # Without DISPLAY: the run's display is a folder of its checkout that a
        # second run of it would take.
        run = Run(self, None)
        try:
            if not check("one at a time: the program reached the tray", run.up() and run.proc.poll() is None,
                         run.output()):
                return
            check("one at a time: the clock shown before the last end is shown at the start",
                  until(20, run.clock_shown))
            holders = lock_holders(self.lock)
            check("one at a time: the run, and none of the processes it started, holds its lock",
                  holders == [run.proc.pid], describe(holders))
            before = self.state(run)
            check("one at a time: the state compared holds the program, its server and the display",
                  {"wineserver", "Veltran.exe"} <= set(before["programs"]) and before["V:"] == self.root and
                  before["files"]["run-session/display"] is not None and before["clock shown"], str(before))
            says = "Veltran Clock is already running (started from %s, on display %s)" % (self.root,
                                                                                          run.run_display())
            for what, root, display, args in (("a second run of the checkout", self.root, None, ()),
                                              ("a run of another checkout", self.root2, self.display, ()),
                                              ("make run's question before its build", self.root2, None,
                                               ("--check",))):
                second = Run(self, display, root, args)
                if not check("%s: ends by itself within 20 s" % what, second.ended(20), second.output()):
                    second.kill()
                    continue
                check("%s: fails, saying which run goes on" % what,
                      second.proc.returncode == 1 and says in second.output(), second.output())
                after = self.state(run)
                check("%s: the running one is as it was" % what, after == before, "%s\n%s" % (before, after))
            check("one at a time: the other checkout got no display, skin server or configuration",
                  not any(os.path.exists(os.path.join(self.root2, "build", *name)) for name in
                          (("run-session",), ("run-skinserver",), ("win32", "app", "Veltran.cfg"))))
            self.end("one at a time, the first run's Ctrl+C", run, signal.SIGINT)
        finally:
            self.finish(run)

    def killed(self):
        print("== the run after one killed outright", flush=True)
        runs = [Run(self, None)]
        run = runs[0]
        decoy = None
        try:
            if not check("killed: the program reached the tray", run.up() and run.proc.poll() is None,
                         run.output()):
                return
            build = os.path.join(self.root, "build")
            marked = [os.path.join(build, "run-session", "xvfb.pid"), os.path.join(build, "run-skinserver", "pid")]
            pids = [run.proc.pid] + of_prefix(self.prefix)
            for name in marked:
                with open(name) as f:
                    pids.append(int(f.read()))
            display = run.run_display()
            for pid in pids:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            run.proc.wait()
            check("killed: every process of the run is gone", until(10, lambda: not any(running(p) for p in pids)),
                  describe(pids))
            forget_display(display)
            # As after a power loss: the numbers the run wrote down name other
            # processes now.
            decoy = subprocess.Popen(["sleep", "600"], start_new_session=True)
            for name in marked:
                with open(name, "w") as f:
                    f.write("%d\n" % decoy.pid)
            after = Run(self, None)
            runs.append(after)
            check("killed: the next run's program reaches the tray", after.up() and after.proc.poll() is None,
                  after.output())
            check("killed: the processes the old numbers name now are left alone", decoy.poll() is None)
            self.end("killed, the next run's TERM", after, signal.SIGTERM)
        finally:
            if decoy:
                decoy.kill()
                decoy.wait()
            self.finish(*runs)

    def together(self):
        print("== two make runs started together", flush=True)
        runs = [Run(self, self.display, self.root3, make=True) for _ in range(2)]

        def calls():
            try:
                with open(self.standin_log) as f:
                    return f.read().splitlines()
            except FileNotFoundError:
                return []

        def refused(what, run):
            # make's own line after a failed command is make's.
            said = [line for line in run.output().splitlines() if not line.startswith("make: *** ")]
            check("together: %s fails, saying in one line which run goes on" % what,
                  run.proc.returncode not in (0, None) and len(said) == 1 and
                  "Veltran Clock is already running (started from %s)" % self.root3 in said[0], run.output())
        try:
            configuring = "configure " + self.root3
            until(20, lambda: configuring in calls() and any(r.proc.poll() is not None for r in runs))
            ended = [r for r in runs if r.proc.poll() is not None]
            if not check("together: one run ends by itself within 20 s while the other configures",
                         len(ended) == 1 and calls() == [configuring],
                         "calls: %s\n%s" % (calls(), "\n".join(r.output() for r in runs))):
                return
            winner = [r for r in runs if r not in ended][0]
            refused("the one that ended", ended[0])
            holders = lock_holders(self.lock)
            if not check("together: only the run holds its lock while it builds", len(holders) == 1 and
                         "tools/run-veltran" in describe(holders), describe(holders)):
                return
            runs.append(Run(self, None, self.root2, make=True))
            check("together: a make run of another checkout meanwhile ends by itself within 20 s",
                  runs[-1].ended(20), runs[-1].output())
            refused("it", runs[-1])
            check("together: the other checkout configured nothing", calls() == [configuring] and
                  not os.path.exists(os.path.join(self.root2, "build", "win32", "build.ninja")), str(calls()))
            open(self.gate, "w").close()
            if not check("together: the run that goes on reaches the tray", winner.up() and
                         winner.proc.poll() is None, winner.output()):
                return
            check("together: it configured and built once, nothing at once",
                  calls() == [configuring, "build " + self.root3] and
                  os.path.exists(os.path.join(self.root3, "build", "win32", "build.ninja")), str(calls()))
            # make passes the TERM its group got on to the run, which must take
            # the two for one, even when make's comes once the first is handled;
            # make ends of the signal itself once the run has.
            self.end("together, TERM to make's group", winner, signal.SIGTERM, status=-signal.SIGTERM,
                     late=holders[0])
        finally:
            open(self.gate, "w").close()
            self.finish(*runs)

    def finish(self, *runs):
        """At a case's end: kills its runs still going, and after any failure
        ends all they left, so the next case starts clean."""
        if any(r.proc.poll() is None for r in runs) or failures:
            for r in runs:
                r.kill()
            self.clear()

    def clear(self):
        """Ends what a run that failed left, so the next case starts clean."""
        for root in (self.root, self.root2, self.root3):
            subprocess.run([os.path.join(self.tools, "skinserver", "testserver"), "stop",
                            os.path.join(root, "build", "run-skinserver")])
        subprocess.run(["bash", "-c", '. "$1/winecommon.sh"; [ ! -d "$2" ] || end_server "$2"', "-",
                        self.tools, self.prefix])
        session = os.path.join(self.root, "build", "run-session")
        if os.path.isdir(session):
            subprocess.run([os.path.join(self.tools, "wine-session"), "stop", session])

    def close(self):
        self.clear()
        # A later display (another test's) may have the number now.
        stale = lambda: [d for d in self.displays if left_socket(d)]
        check("no display a run made left its socket", until(10, lambda: not stale()), str(stale()))
        self.xvfb.terminate()
        self.xvfb.wait()
        shutil.rmtree(self.work, ignore_errors=True)


def x_socket(display):
    """An X display's socket (Xvfb keeps it in /tmp whatever TMPDIR says; with
    -displayfd, as the sessions start it, it writes no lock file)."""
    return "/tmp/.X11-unix/X" + display.lstrip(":")


def left_socket(display):
    """The display's socket is there, and no display listens on it."""
    socket = x_socket(display)
    # In this order: a display that takes the number meanwhile shows listening.
    if not os.path.exists(socket):
        return False
    with open("/proc/net/unix") as f:
        return socket not in {line.split()[-1] for line in f if len(line.split()) == 8}


def forget_display(display):
    """Removes the socket an Xvfb killed outright left, unless a later display
    of that number listens there."""
    if display and left_socket(display):
        os.remove(x_socket(display))


def main():
    tools, app, ctl, work = sys.argv[1:5]
    # Stopped (a timeout, Ctrl+C of make test), it still ends what it started.
    for signum in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, lambda n, _: sys.exit(128 + n))
    t = Test(tools, app, ctl, work)
    try:
        t.end_by_signal("INT", t.display, False)
        t.one_at_a_time()
        # The clock the first run showed, saved at its end.
        t.end_by_signal("HUP", t.display, True)
        t.end_by_signal("TERM", None, True)
        t.twice()
        t.killed()
        t.together()
    finally:
        t.close()
    print("%d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
