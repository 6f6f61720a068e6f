#!/usr/bin/env python3
"""traymemory.py BUILD_DIR: Veltran.exe's memory as Linux counts it (resident
and anonymous, from /proc) in the tray and with both clocks and the calendar
shown, beside varizi.exe's, a minimal Win32 program with one window, as the
floor: the same run, the same Wine prefix and wineserver. Medians of three.
traymemory.py --list: the labels of its lines."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

BUILD = os.path.abspath(sys.argv[1])
TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools")
CTL = os.path.join(BUILD, "tools", "veltranctl.exe")
RUNS = 3
FIGURES = ("Veltran.exe in the tray", "Veltran.exe, both clocks and the calendar shown",
           "varizi.exe, a minimal Win32 program (floor)", "tray resident / floor resident")


def unix_pid(prefix, exe):
    """The Linux process of a Wine program of that prefix."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            cmdline = open("/proc/%s/cmdline" % pid, "rb").read().split(b"\0")[0].decode(errors="replace")
            environ = open("/proc/%s/environ" % pid, "rb").read().split(b"\0")
        except OSError:
            continue
        if cmdline.replace("\\", "/").split("/")[-1] == exe and ("WINEPREFIX=" + prefix).encode() in environ:
            return pid
    return None


def memory(pid):
    """(resident, anonymous) in MiB."""
    fields = dict(line.split(":", 1) for line in open("/proc/%s/status" % pid))
    return tuple(int(fields[k].split()[0]) / 1024 for k in ("VmRSS", "RssAnon"))


def settled(pid, seconds=15):
    """The memory once it has not grown for a second."""
    last, still, end = None, 0, time.time() + seconds
    while time.time() < end and still < 4:
        now = memory(pid)
        still = still + 1 if now == last else 0
        last = now
        time.sleep(0.25)
    return last


def wait(pred, seconds):
    end = time.time() + seconds
    while time.time() < end:
        value = pred()
        if value:
            return value
        time.sleep(0.1)
    return None


def one_run(env, prefix, work):
    prog = os.path.join(work, "prog")
    shutil.rmtree(prog, ignore_errors=True)
    os.makedirs(prog)
    app = os.path.join(BUILD, "app")
    for name in ("Veltran.exe", "varizi.exe", "vodoze.exe"):
        shutil.copy(os.path.join(app, name), prog)
    for name in ("acs", "dcs"):
        shutil.copytree(os.path.join(app, name), os.path.join(prog, name))
    log = os.path.join(prog, "automation.log")
    ctl = lambda *a: subprocess.run(["wine", CTL] + [str(x) for x in a], env=env, capture_output=True, text=True)
    # The program's name for it: the checkout is a drive of its own in the prefix.
    named = subprocess.run(["wine", "winepath", "-w", log], env=env, capture_output=True, text=True).stdout.strip()
    veltran = subprocess.Popen(["wine", "Veltran.exe"], cwd=prog, env=dict(env, VELTRAN_AUTOMATION=named),
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    pid = wait(lambda: unix_pid(prefix, "Veltran.exe"), 30)
    tray = wait(lambda: os.path.exists(log) and "Shell_NotifyIcon ADD" in open(log).read(), 30)
    if not pid or not tray:
        sys.exit("traymemory: Veltran.exe did not reach the tray")
    in_tray = settled(pid)
    for command in (2001, 2003, 2007):
        ctl("send", 0x111, command)
    titles = ("Veltran Clock - Analog Clock", "Veltran Clock - Digital Clock", "Veltran Clock - Calendar")
    if not wait(lambda: all(ctl("rect", t).returncode == 0 for t in titles), 20):
        sys.exit("traymemory: the clocks and the calendar did not open")
    shown = settled(pid)
    ctl("post", 0x111, 2027)  # exit; the question gets its default answer
    veltran.wait(30)

    floor = subprocess.Popen(["wine", "varizi.exe"], cwd=prog, env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    pid = wait(lambda: unix_pid(prefix, "varizi.exe"), 30)
    if not pid:
        sys.exit("traymemory: varizi.exe did not start")
    minimal = settled(pid)
    floor.terminate()
    subprocess.run(["wineserver", "-k"], env=env)
    floor.wait(30)
    return in_tray, shown, minimal


def main():
    if sys.argv[1:] == ["--list"]:  # as the benchmarks list theirs
        print("\n".join(FIGURES))
        return
    work = tempfile.mkdtemp(prefix="veltran-traymemory.")
    session = os.path.join(work, "session")
    try:
        subprocess.run([os.path.join(TOOLS, "wine-session"), "start", session], check=True,
                       env={k: v for k, v in os.environ.items() if k != "WINEPREFIX"})
        prefix = open(os.path.join(session, "prefix")).read().strip()
        env = dict(os.environ, DISPLAY=open(os.path.join(session, "display")).read().strip(), WINEPREFIX=prefix,
                   WINEARCH="win32", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        runs = [one_run(env, prefix, work) for _ in range(RUNS)]
    finally:
        subprocess.run([os.path.join(TOOLS, "wine-session"), "stop", session])
        shutil.rmtree(work, ignore_errors=True)
    median = lambda i, j: sorted(r[i][j] for r in runs)[RUNS // 2]
    for i, what in enumerate(FIGURES[:3]):
        print("%-50s resident %5.1f MiB, anonymous %5.1f MiB" % (what, median(i, 0), median(i, 1)))
    print("%s: %.2f" % (FIGURES[3], median(0, 0) / median(2, 0)))


main()
