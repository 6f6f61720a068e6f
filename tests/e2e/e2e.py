#!/usr/bin/env python3
"""A user's day with the real Veltran.exe under Wine.

Runs the program from a fresh program folder with VELTRAN_AUTOMATION set (no
real side effects; questions get their default answers) and drives it only
through what a user touches: the tray icon and the tray menu and one clock
drag as real input through the X server (xdotool), other tray commands and
keys as messages to the main dialog (tools/veltranctl). Checks what a user
sees: windows and their places, pictures of them, the files left on disk and
the automation log.

  e2e.py BUILD_DIR SOURCE_DIR     (inside a ctest run: the Wine session comes
                                   from VELTRAN_WINE_SESSION)
Ends with "N passed, M failed" and a non-zero exit when anything failed.
"""
import os
import shutil
import subprocess
import sys
import time

BUILD, SOURCE = (os.path.abspath(p) for p in sys.argv[1:3])
WORK = os.path.join(BUILD, "e2e")
PROG = os.path.join(WORK, "prog")
LOG = os.path.join(PROG, "automation.log")
CTL = os.path.join(BUILD, "tools", "veltranctl.exe")
ANALOG = "Veltran Clock - Analog Clock"

passed, failed = 0, []


def check(ok, what):
    global passed
    if ok:
        passed += 1
        print("ok   " + what, flush=True)
    else:
        failed.append(what)
        print("FAIL " + what, flush=True)
    return ok


def wait(pred, seconds, step=0.2):
    end = time.time() + seconds
    while True:
        value = pred()
        if value or time.time() > end:
            return value
        time.sleep(step)


def session_env():
    session = os.environ.get("VELTRAN_WINE_SESSION")
    if not session:
        sys.exit("e2e: run inside the test session (VELTRAN_WINE_SESSION)")
    env = dict(os.environ)
    env.update(DISPLAY=open(os.path.join(session, "display")).read().strip(),
               WINEPREFIX=open(os.path.join(session, "prefix")).read().strip(),
               WINEARCH="win32", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    for name in ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"):
        env.pop(name, None)
    return env


ENV = session_env()


def ctl(*args):
    r = subprocess.run(["wine", CTL] + [str(a) for a in args], env=ENV, capture_output=True, text=True, timeout=60)
    return r.stdout.replace("\r", "").strip() if r.returncode == 0 else None


def xdo(*args):
    r = subprocess.run(["xdotool"] + [str(a) for a in args], env=ENV, capture_output=True, text=True, timeout=30)
    return r.stdout.strip() if r.returncode == 0 else None


def rect(title):
    out = ctl("rect", title)
    return tuple(int(v) for v in out.split()) if out else None


def popup_rect():
    out = ctl("rect-class", "#32768")
    return tuple(int(v) for v in out.split()) if out else None


def log():
    try:
        with open(LOG, errors="replace") as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def count(part):
    return sum(part in line for line in log())


def config():
    out = ctl("config", os.path.join(PROG, "Veltran.cfg"))
    if out is None:
        return {}
    return dict(line.split("=", 1) for line in out.splitlines() if "=" in line)


def fresh_folder():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(PROG)
    app = os.path.join(BUILD, "app")
    for name in ("Veltran.exe", "varizi.exe", "vodoze.exe", "icons.icl", "Veltran.chm"):
        shutil.copy(os.path.join(app, name), PROG)
    for name in ("acs", "dcs", "sounds"):
        shutil.copytree(os.path.join(app, name), os.path.join(PROG, name))


class Program:
    def __init__(self):
        env = dict(ENV, VELTRAN_AUTOMATION=LOG, VELTRAN_AUTOMATION_TRAY="real")
        self.proc = subprocess.Popen(["wine", "Veltran.exe"], cwd=PROG, env=env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.up = ctl("wait", 30) is not None

    def command(self, cid):
        return ctl("send", 0x111, cid)

    def exit(self):
        ctl("post", 0x111, 2027)  # "Exit Veltran Clock"; the question answers Yes
        try:
            self.proc.wait(30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            return False
        return True


def tray_icon_point():
    """The middle of our icon in Wine's own tray window, in screen pixels."""
    win = xdo("search", "--name", "^Wine System Tray$")
    if not win:
        return None
    geometry = xdo("getwindowgeometry", "--shell", win.split()[0])
    g = dict(line.split("=") for line in geometry.splitlines())
    return int(g["X"]) + 10, int(g["Y"]) + 10


def first_start():
    print("== first start", flush=True)
    fresh_folder()
    p = Program()
    check(p.up, "the program starts and its main dialog exists")
    check(count('Shell_NotifyIcon ADD 0x0 0x7 message 0x401 icon tip "Veltran Clock"') == 1, "the tray icon is added")
    check(wait(tray_icon_point, 10) is not None, "the tray shows the icon")
    check(not os.path.exists(os.path.join(PROG, "Veltran.cfg")), "nothing is written before exit")
    check(p.exit(), "Exit ends the program")
    cfg = os.path.join(PROG, "Veltran.cfg")
    check(os.path.exists(cfg) and os.path.getsize(cfg) == 363, "the default configuration is the 363-byte file")


def clocks_and_tray():
    print("== the tray and the clocks", flush=True)
    p = Program()
    point = wait(tray_icon_point, 10)
    if not check(point is not None, "the tray icon is there"):
        return p
    # Real input: a right click on the tray icon opens the tray menu ...
    xdo("mousemove", *point)
    xdo("click", 3)
    check(wait(popup_rect, 10) is not None, "a right click on the tray icon opens the tray menu")
    # ... and keys choose "Analog clock" > "Show analog clock".
    for key in ("Down", "Right", "Return"):
        xdo("key", key)
        time.sleep(0.3)
    before = wait(lambda: rect(ANALOG), 15)
    check(before is not None, "the tray menu's first command shows the analog clock")
    if before:
        # Real input: drag the clock by its face.
        x, y = (before[0] + before[2]) // 2, (before[1] + before[3]) // 2
        xdo("mousemove", x, y)
        xdo("mousedown", 1)
        for i in range(1, 11):
            xdo("mousemove", x + 12 * i, y + 6 * i)
            time.sleep(0.05)
        xdo("mouseup", 1)
        after = wait(lambda: (lambda r: r if r and r != before else None)(rect(ANALOG)), 5)
        check(after is not None and after[0] - before[0] == 120 and after[1] - before[1] == 60,
              "dragging the face moves the clock by the mouse's way (%s -> %s)" % (before, after))
    return p


def exit_and_restart(p):
    print("== exit and start again", flush=True)
    before = rect(ANALOG)
    check(p.exit(), "Exit ends the program")
    cfg = config()
    check(cfg.get("analog.visible") == "1", "the analog clock is stored as shown")
    p = Program()
    again = wait(lambda: rect(ANALOG), 15)
    check(again is not None and before is not None and again == before,
          "the analog clock comes back where it was (%s, %s)" % (before, again))
    check(p.exit(), "Exit ends the program again")


def damaged_configuration():
    print("== a damaged configuration file", flush=True)
    cfg = os.path.join(PROG, "Veltran.cfg")
    with open(cfg, "wb") as f:
        f.write(b"\xe6\x00\x00\x00 this is no configuration file")
    damaged = open(cfg, "rb").read()
    p = Program()
    check(p.up, "the program starts with a damaged file")
    check(wait(lambda: count("MessageBox") >= 1, 10) and any("configuration" in line.lower() or "version" in line.lower()
                                                            for line in log() if "MessageBox" in line),
          "it says what went wrong")
    check(p.exit(), "Exit ends the program")
    bak = cfg + ".bak"
    check(os.path.exists(bak) and open(bak, "rb").read() == damaged, "the damaged file is kept as Veltran.cfg.bak")


def main():
    if not os.path.exists(CTL):
        sys.exit("e2e: no %s" % CTL)
    first_start()
    p = clocks_and_tray()
    exit_and_restart(p)
    damaged_configuration()
    print("%d passed, %d failed" % (passed, len(failed)))
    for what in failed:
        print("failed: " + what)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
