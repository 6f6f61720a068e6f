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
import glob
import os
import re
import signal
import shutil
import subprocess
import sys
import time

BUILD, SOURCE = (os.path.abspath(p) for p in sys.argv[1:3])
WORK = os.path.join(BUILD, "e2e")
PROG = os.path.join(WORK, "prog")
LOG = os.path.join(PROG, "automation.log")
CTL = os.path.join(BUILD, "tools", "veltranctl.exe")
SKINMAKER = os.path.join(BUILD, "host-tools", "skinmaker", "skinmaker")
ANALOG = "Veltran Clock - Analog Clock"
DIGITAL = "Veltran Clock - Digital Clock"
CALENDAR = "Veltran Clock - Calendar"
ALARMLIST = "Alarm List - Veltran Clock"
EDITOR = "Editing 'New Alarm' Alarm..."
BROWSER = "Skin Browser"
WM_CLOSE, WM_COMMAND, IDOK, IDCANCEL = 0x10, 0x111, 1, 2
SKIN_FIRST = 0x9000  # the clocks' "Choose skin" items, one per skin in name order
APP = r"C:\Tools\wakeup.exe"  # the program the alarm runs (recorded, never started)

passed, failed = 0, []


def resource_ids():
    """The dialogs' control ids by name, from the resource headers."""
    ids = {}
    for header in glob.glob(os.path.join(SOURCE, "res", "*_res.h")):
        for name, value in re.findall(r"^#define\s+(IDC_\w+)\s+(\d+)\s*$", open(header).read(), re.M):
            ids[name] = int(value)
    return ids


ID = resource_ids()


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


def windows_path(path):
    """The name the session's programs know a file of ours by: the checkout is
    a drive of its own, and a path like /home/... would name a file of the
    program's current drive."""
    done = subprocess.run(["wine", "winepath", "-w", path], env=ENV, capture_output=True, text=True, timeout=60)
    return done.stdout.strip()


def ctl(*args):
    r = subprocess.run(["wine", CTL] + [str(a) for a in args], env=ENV, capture_output=True, text=True, timeout=60)
    return r.stdout.replace("\r", "").strip() if r.returncode == 0 else None


def xdo(*args):
    r = subprocess.run(["xdotool"] + [str(a) for a in args], env=ENV, capture_output=True, text=True, timeout=30)
    return r.stdout.strip() if r.returncode == 0 else None


def windows():
    """(title, rect) of every visible top-level window, topmost first."""
    out = ctl("list") or ""
    result = []
    for line in out.splitlines():
        parts = line.split("|")
        if len(parts) == 3:
            result.append((parts[1], tuple(int(v) for v in parts[2].split())))
    return result


def titles():
    return [t for t, _ in windows() if t != "Wine System Tray"]


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
    # A save cannot replace the file while veltranctl holds it open, and a firing's failed save is not made again:
    # a running program's file is read once its UI thread has answered a message, so a firing or a change it has
    # begun, with its saves, is behind it.
    ctl("send", 0)
    out = ctl("config", windows_path(os.path.join(PROG, "Veltran.cfg")))
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
    # A second skin of each kind to switch to from the clocks' menus.
    skinmaker("analog", "acs", "Zeta.acs", "--name", "Zeta", "--size", "120")
    skinmaker("digital", "dcs", "Wide.dcs", "--name", "Wide", "--glyph", "24x36")


def skinmaker(kind, folder, name, *options):
    subprocess.run([SKINMAKER, kind, os.path.join(PROG, folder, name)] + list(options), check=True,
                   stdout=subprocess.DEVNULL)


class Program:
    def __init__(self, server=None):
        env = dict(ENV, VELTRAN_AUTOMATION=windows_path(LOG), VELTRAN_AUTOMATION_TRAY="real",
                   VELTRAN_AUTOMATION_FILE=APP)
        if server:
            env["VELTRAN_SKIN_SERVER"] = server
        self.proc = subprocess.Popen(["wine", "Veltran.exe"], cwd=PROG, env=env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.up = ctl("wait", 30) is not None

    def command(self, cid):
        return ctl("send", WM_COMMAND, cid)

    def alive(self):
        return self.proc.poll() is None and ctl("wait", 5) is not None

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


def drag(title, dx, dy):
    """Real input: presses the mouse on the window's middle and moves it by (dx, dy)."""
    before = rect(title)
    if not before:
        return None, None
    x, y = (before[0] + before[2]) // 2, (before[1] + before[3]) // 2
    xdo("mousemove", x, y)
    xdo("mousedown", 1)
    for i in range(1, 11):
        xdo("mousemove", x + dx * i // 10, y + dy * i // 10)
        time.sleep(0.05)
    xdo("mouseup", 1)
    return before, wait(lambda: (lambda r: r if r and r != before else None)(rect(title)), 5)


def size(r):
    return (r[2] - r[0], r[3] - r[1]) if r else None


def click(r, x, y, button=1):
    """Real input: a click at (x, y) inside the window rectangle r."""
    xdo("mousemove", r[0] + x, r[1] + y)
    xdo("click", button)
    time.sleep(0.3)


def control(title, cid, item=None):
    """The screen rectangle of a visible control of the window (or of its item ITEM), by id or resource name."""
    out = ctl("control", title, ID.get(cid, cid), *([] if item is None else [item]))
    return tuple(int(v) for v in out.split()) if out else None


def click_control(title, cid, item=None, x=None):
    """Real input: a click on a control, or on one of its items, where it is now: in its middle, or x
    pixels from its left (a list row's check box or first column)."""
    r = control(title, cid, item)
    if r:
        click(r, size(r)[0] // 2 if x is None else x, size(r)[1] // 2)
    return r


def clocks_and_tray(server):
    print("== the tray and the clocks", flush=True)
    p = Program(server)
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
    check(wait(lambda: rect(ANALOG), 15) is not None, "the tray menu's first command shows the analog clock")
    before, after = drag(ANALOG, 120, 60)
    check(after is not None and after[0] - before[0] == 120 and after[1] - before[1] == 60,
          "dragging the face moves the clock by the mouse's way (%s -> %s)" % (before, after))

    # Real input: a right click on the clock opens its own menu.
    r = rect(ANALOG)
    click(r, size(r)[0] // 2, size(r)[1] // 2, 3)
    check(wait(popup_rect, 5) is not None, "a right click on the analog clock opens its menu")
    xdo("key", "Escape")
    wait(lambda: popup_rect() is None, 3)
    # Its menu's commands: "Choose skin" > Zeta (120 pixels), then "Scaling" > 50 %.
    ctl("send-to", ANALOG, WM_COMMAND, SKIN_FIRST + 1)
    check(wait(lambda: size(rect(ANALOG)) == (120, 120), 5), "the analog clock's menu switches it to the Zeta skin")
    ctl("send-to", ANALOG, WM_COMMAND, 505)
    check(wait(lambda: size(rect(ANALOG)) == (60, 60), 5), "its menu scales it to 50 %% (%s)" % (size(rect(ANALOG)),))

    p.command(2003)
    digital = wait(lambda: rect(DIGITAL), 15)
    check(digital is not None, "the tray's digital clock command shows the digital clock")
    before, after = drag(DIGITAL, 400, 300)  # well away from the analog clock
    check(after is not None and (after[0] - before[0], after[1] - before[1]) == (400, 300),
          "dragging the digital clock moves it (%s -> %s)" % (before, after))
    ctl("send-to", DIGITAL, WM_COMMAND, SKIN_FIRST + 1)
    check(wait(lambda: (lambda s: s and s[1] > size(after)[1])(size(rect(DIGITAL))), 5),
          "the digital clock's menu switches it to the larger Wide skin (%s -> %s)" % (size(after), size(rect(DIGITAL))))

    # The calendar opens from the tray, closes by its own close and opens again.
    p.command(2007)
    check(wait(lambda: rect(CALENDAR), 15) is not None, "the tray's calendar command opens the calendar")
    ctl("post-to", CALENDAR, WM_CLOSE)
    check(wait(lambda: rect(CALENDAR) is None, 5), "its close closes it")
    p.command(2007)
    check(wait(lambda: rect(CALENDAR), 15) is not None, "the tray's command opens it again")
    return p


TRAY_WINDOWS = [(2002, "Analog clock options"), (2004, "Digital clock options"), (2008, "Calendar options"),
                (2011, ALARMLIST), (2012, "Alarm list Options"), (2019, "About Veltran Clock"),
                (2026, "General settings"), (2028, BROWSER)]


def tray_windows(p):
    print("== every tray command's window", flush=True)
    for cid, title in TRAY_WINDOWS:
        p.command(cid)
        check(wait(lambda: rect(title), 15) is not None, "tray command %d opens \"%s\"" % (cid, title))
    for cid, title in TRAY_WINDOWS:
        p.command(cid)
        active = wait(lambda: ctl("foreground") == title, 3)
        check(active and titles().count(title) == 1,
              "a second command %d brings the one \"%s\" forward (%s)" % (cid, title, ctl("foreground")))
    for cid, title in TRAY_WINDOWS[:-1]:  # the Skin Browser stays for later
        ctl("post-to", title, WM_COMMAND, IDCANCEL)
    check(wait(lambda: not set(t for _, t in TRAY_WINDOWS[:-1]) & set(titles()), 20),
          "Cancel closes each of them (%s)" % titles())
    # "Notifications" is a modal dialog: it opens and Cancel closes it.
    ctl("post", WM_COMMAND, 2018)
    check(wait(lambda: rect("Notifications"), 15) is not None, "tray command 2018 opens \"Notifications\"")
    ctl("post-to", "Notifications", WM_COMMAND, IDCANCEL)
    check(wait(lambda: rect("Notifications") is None, 5), "Cancel closes it")


def log_has(part):
    return any(part in line for line in log())


def alarm(p):
    print("== an alarm from the tray's quick-alarm command and the editor", flush=True)
    ctl("post-to", CALENDAR, WM_CLOSE)
    wait(lambda: rect(CALENDAR) is None, 5)
    mark = len(log())
    chosen = int(time.time())
    ctl("post", WM_COMMAND, 3000)
    r = wait(lambda: rect(EDITOR), 15)
    if not check(r is not None, "the quick-alarm command opens the alarm editor"):
        return
    # Real clicks, page by page, on the controls where the editor's layout put them.
    clicks = [("IDC_INFO_ASKNOTIFY",),
              ("IDC_ALARMEDITOR_TAB", 1), ("IDC_MSG_SHOW",), ("IDC_MSG_AUTOCLOSE",), ("IDC_MSG_TOGGLECALENDAR",),
              ("IDC_ALARMEDITOR_TAB", 2), ("IDC_ACT_RUNAPPS",), ("IDC_ACT_ADD",),
              ("IDC_ALARMEDITOR_TAB", 3), ("IDC_SND_PLAY",), ("IDC_SND_LIST", 0, 8)]  # Beep.wav's check box
    missed = [c for c in clicks if not click_control(EDITOR, *c)]
    check(not missed, "every control clicked in the editor is there (%s)" % missed)
    click_control(EDITOR, IDOK)
    check(wait(lambda: rect(EDITOR) is None, 5), "OK closes the editor")
    fired = wait(lambda: [l for l in log()[mark:] if l.startswith("PlaySound")], 70)
    check(fired, "the alarm comes due and fires")
    new = log()[mark:]
    check(any(l.startswith("MessageBox") for l in new), "it asks for confirmation first")
    check(any("Beep.wav" in l for l in new if l.startswith("PlaySound")), "it plays the chosen sound (%s)" % fired)
    check(any("wakeup.exe" in l for l in new if l.startswith(("ShellExecute", "WinExec", "CreateProcess"))),
          "it runs the chosen program")
    check(wait(lambda: rect(CALENDAR), 10), "it shows the calendar as asked")
    message = wait(lambda: [t for t in titles() if "New Alarm" in t], 10)
    check(message, "its message window shows (%s)" % message)
    check(wait(lambda: not [t for t in titles() if "New Alarm" in t], 20), "the message window closes itself")
    check(sum(l.startswith("PlaySound") for l in log()[mark:]) == 1, "the alarm fired once")
    p.command(2011)
    check(wait(lambda: rect(ALARMLIST), 15) is not None, "the alarm list opens")
    due = [time.strftime("%A, %B %d, %Y, %H:%M:%S", time.localtime(t)) for t in range(chosen - 1, chosen + 4)]
    shown = wait(lambda: (lambda t: t if t and t.split("|", 1)[1] else None)(ctl("item", ALARMLIST, 1414)), 10)
    check(shown and shown.split("|", 1)[1] in due and ctl("item", ALARMLIST, 1419) == "0|Expired",
          "the alarm list shows it spent, with its due time as next run (%s, %s)" % (shown, due[1]))
    ctl("post-to", ALARMLIST, WM_COMMAND, IDCANCEL)


def skin_browser(p):
    print("== the Skin Browser installs a skin from the server", flush=True)
    r = rect(BROWSER)
    if not check(r is not None, "the Skin Browser is open"):
        return
    before = size(rect(ANALOG))
    ctl("send-to", BROWSER, WM_COMMAND, 1418)  # Connect
    time.sleep(3)
    click_control(BROWSER, "IDC_SKINBROWSER_SKINS", 1, 8)  # the second skin of "Samples": Large
    time.sleep(1)
    click_control(BROWSER, "IDC_SKINBROWSER_INSTALL")
    installed = os.path.join(PROG, "acs", "Large.acs")
    site = os.path.join(BUILD, "skinsite", "skins", "acs", "Samples", "Large.acs")
    check(wait(lambda: os.path.exists(installed) and open(installed, "rb").read() == open(site, "rb").read(), 15),
          "Large.acs is installed as the server has it")
    check(wait(lambda: log_has('"Skin installed. Show now?" "Skin installed" 0x34 -> 6'), 5),
          "it asks to show the new skin (answered Yes)")
    check(wait(lambda: size(rect(ANALOG)) not in (None, before), 5),
          "the analog clock shows it (%s -> %s)" % (before, size(rect(ANALOG))))


def exit_and_restart(p, server):
    print("== exit and start again", flush=True)
    before = placed()
    check(p.exit(), "Exit ends the program")
    cfg = config()
    expect = {"analog.visible": "1", "analog.skin": "Large", "analog.scale": "50", "digital.visible": "1",
              "digital.skin": "Wide", "calendar.visible": "1", "alarms": "1"}
    check(all(cfg.get(k) == v for k, v in expect.items()),
          "the settings are stored (%s)" % {k: cfg.get(k) for k in expect})
    stored = config()
    # The same program, now against a skin server that sends no archives.
    p = Program(server + "/mode/not-zip")
    again = wait(lambda: (lambda w: w if set(w) >= set(before) else None)(placed()), 20)
    check(again == before, "the clocks come back where they were (%s, %s)" % (before, again or windows()))
    damaged_skin(p)
    hostile_server(p)
    check(p.exit(), "Exit ends the program again")
    left = config()
    check(left.get("alarm.0") == stored.get("alarm.0") and left.get("analog.skin") == "Large",
          "the alarm and the good skin are kept (%s)" % {k: left.get(k) for k in ("alarm.0", "analog.skin")})


def placed():
    """Where the clocks stand: the analog clock's rectangle, the digital clock's centre and height. The digital
    clock keeps its centre; its width follows the text, which gains a digit at 10:00."""
    placed = {}
    for t, r in windows():
        if t == ANALOG:
            placed[t] = r
        elif t == DIGITAL:
            placed[t] = ((r[0] + r[2]) // 2, (r[1] + r[3]) // 2, r[3] - r[1])
    return placed


def box_since(mark):
    """The message boxes shown since log line mark."""
    return [line for line in log()[mark:] if line.startswith("MessageBox")]


def damaged_skin(p):
    print("== a damaged skin", flush=True)
    skinmaker("analog", "acs", "Broken.acs", "--name", "Broken", "--truncate", "200")
    mark, before = len(log()), size(rect(ANALOG))
    r = rect(ANALOG)
    click(r, size(r)[0] // 2, size(r)[1] // 2, 3)  # the clock's menu, which finds the new file
    wait(popup_rect, 5)
    xdo("key", "Escape")
    wait(lambda: popup_rect() is None, 3)
    ctl("send-to", ANALOG, WM_COMMAND, SKIN_FIRST)  # "Choose skin" > Broken, the first by name
    said = wait(lambda: box_since(mark), 20)
    check(said, "choosing the truncated skin says what went wrong (%s; %s)" % (said, titles()))

    check(p.alive(), "the program keeps running")
    check(wait(lambda: size(rect(ANALOG)) == before, 5), "the clock keeps its good skin (%s, %s)" % (before, size(rect(ANALOG))))


def hostile_server(p):
    print("== a hostile skin server", flush=True)
    good = {n: open(os.path.join(PROG, "acs", n), "rb").read() for n in os.listdir(os.path.join(PROG, "acs"))}
    p.command(2028)
    r = wait(lambda: rect(BROWSER), 15)
    if not check(r is not None, "the Skin Browser opens"):
        return
    mark = len(log())
    ctl("send-to", BROWSER, WM_COMMAND, 1418)  # Connect
    time.sleep(3)
    click_control(BROWSER, "IDC_SKINBROWSER_GROUPS", 1, 8)  # the group "Tiny"
    time.sleep(2)
    click_control(BROWSER, "IDC_SKINBROWSER_SKINS", 0, 8)  # its only skin, Pocket
    time.sleep(1)
    click_control(BROWSER, "IDC_SKINBROWSER_INSTALL")
    said = wait(lambda: (lambda t: t if t and "not installed" in t else None)(ctl("item", BROWSER, 1331)), 15)
    check(said, "its status line says the download is no skin archive (%s)" % said)
    check(p.alive(), "the program keeps running")
    now = {n: open(os.path.join(PROG, "acs", n), "rb").read() for n in os.listdir(os.path.join(PROG, "acs"))}
    check(now == good, "the skin folder is as it was (%s)" % sorted(now))


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


def quick_alarm(cid, *clicks):
    """A quick alarm from the tray's "New alarm..." sub-menu: the clicks made in its editor, then OK."""
    ctl("post", WM_COMMAND, cid)
    if not wait(lambda: rect(EDITOR), 15):
        return False
    if [c for c in clicks if not click_control(EDITOR, *c)]:
        return False
    ctl("post-to", EDITOR, WM_COMMAND, IDOK)  # a page may hold a control of OK's id
    return wait(lambda: rect(EDITOR) is None, 5)


def saved_alarms():
    """The alarms of the file as the program left it: {name, enabled, repeat, starts, time, next, lastrun}."""
    cfg = config()
    alarms = []
    for i in range(int(cfg.get("alarms", 0))):
        parts = cfg.get("alarm.%d" % i, "").split("|")
        a = {"name": parts[0]}
        a.update((k, int(v)) for k, v in (f.split(" ") for f in parts[1:]))
        alarms.append(a)
    return alarms


def shown_time(t):
    return time.strftime("%A, %B %d, %Y, %H:%M:%S", time.localtime(t))


def alarm_list_deletes_the_row_selected(p):
    print("== alarms reach the file at once; the alarm list deletes the row selected", flush=True)
    before = len(saved_alarms())
    for cid in (3012, 3013, 3014):  # "In" 1, 2 and 3 hours: three alarms of one name
        check(quick_alarm(cid), "quick alarm %d is accepted in the editor" % cid)
    wait(lambda: len(saved_alarms()) == before + 3, 5)
    added = saved_alarms()[before:]
    check(len(added) == 3, "the quick alarms are in the file without an exit (%d)" % len(added))
    p.command(2011)
    if not check(wait(lambda: rect(ALARMLIST), 15) is not None, "the alarm list opens"):
        return
    # Real input: a click on the second row; the panel names its alarm.
    first = wait(lambda: (lambda t: t if t and t.split("|", 1)[1] else None)(ctl("item", ALARMLIST, 1414)), 10)
    click_control(ALARMLIST, "IDC_ALARMLIST_REPORT", 1)
    chosen = wait(lambda: (lambda t: t if t and t != first else None)(ctl("item", ALARMLIST, 1414)), 10)
    chosen = chosen.split("|", 1)[1] if chosen else None
    check(chosen in [shown_time(a["time"]) for a in added], "the panel shows the row chosen (%s)" % chosen)
    mark = len(log())
    ctl("post-to", ALARMLIST, WM_COMMAND, ID["IDC_ALARMLIST_DELETE"])
    check(wait(lambda: [l for l in box_since(mark) if "Are you sure to remove 'New Alarm' alarm ?" in l], 10),
          "Delete asks about it (answered Yes)")
    check(wait(lambda: control(ALARMLIST, "IDC_ALARMLIST_REPORT", before + 2) is None, 5), "its row goes")
    left = wait(lambda: (lambda a: a[before:] if len(a) == before + 2 else None)(saved_alarms()), 5) or []
    check(len(left) == 2 and chosen not in [shown_time(a["time"]) for a in left],
          "the file has lost that alarm and kept the other two (%s)" % [shown_time(a["time"]) for a in left])
    ctl("post-to", ALARMLIST, WM_COMMAND, IDCANCEL)
    wait(lambda: rect(ALARMLIST) is None, 5)


def a_firing_survives_a_crash(p):
    print("== a fired alarm is in the file before the program ends without its exit path", flush=True)
    before = len(saved_alarms())
    chosen = int(time.time())
    # "Custom..." accepted at the current time, its message switched on.
    check(quick_alarm(3000, ("IDC_ALARMEDITOR_TAB", 1), ("IDC_MSG_SHOW",)),
          "the quick alarm \"Custom...\" is accepted with its message on")
    message = wait(lambda: [t for t in titles() if t.strip() == "New Alarm"], 15)
    check(message, "it fires at once and its message window shows")
    custom = lambda: ([a for a in saved_alarms()[before:] if chosen - 1 <= a["time"] <= chosen + 30] or [None])[0]
    check(wait(lambda: (lambda a: a and a["starts"] == 1)(custom()), 10),
          "while the message is open the file already holds the firing")
    p.proc.kill()
    p.proc.wait(30)
    check(ctl("wait", 2) is None and any(t.strip() == "New Alarm" for t in message),
          "the program is ended (killed) with its message window open")
    a = custom()
    check(a is not None and a["starts"] == 1 and a["next"] == a["time"] and a["lastrun"] >= a["time"],
          "the file has the alarm's next time, last run and start count (%s)" % a)
    p = Program()
    check(p.up, "the program starts again")
    # The check runs every second: an alarm to fire again would show within three.
    check(not wait(lambda: [t for t in titles() if t.strip() == "New Alarm"], 3), "the alarm does not fire again")
    check(p.exit(), "Exit ends the program")
    again = custom()
    check(again is not None and again["starts"] == 1 and len(saved_alarms()) == before + 1,
          "the file still holds it with one start (%s)" % again)


SERVER_DIR = os.path.join(WORK + "-server")
TESTSERVER = os.path.join(SOURCE, "tools", "skinserver", "testserver")


def start_server():
    subprocess.run([TESTSERVER, "start", SERVER_DIR, "/usr/bin/python3",
                    os.path.join(SOURCE, "tools", "skinserver", "skinserver.py"), "--site",
                    os.path.join(BUILD, "skinsite"), "--port-file", os.path.join(SERVER_DIR, "port")], check=True)
    return "http://127.0.0.1:" + open(os.path.join(SERVER_DIR, "port")).read().strip()


def stop_server():
    subprocess.run([TESTSERVER, "stop", SERVER_DIR])


def main():
    if not os.path.exists(CTL):
        sys.exit("e2e: no %s" % CTL)
    # Stopped (a timeout, Ctrl+C of make test), it still stops its server.
    for signum in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, lambda n, _: sys.exit(128 + n))
    server = start_server()
    try:
        first_start()
        p = clocks_and_tray(server)
        tray_windows(p)
        alarm(p)
        skin_browser(p)
        exit_and_restart(p, server)
        damaged_configuration()
        p = Program()
        alarm_list_deletes_the_row_selected(p)
        a_firing_survives_a_crash(p)
    finally:
        stop_server()
    print("%d passed, %d failed" % (passed, len(failed)))
    for what in failed:
        print("failed: " + what)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
