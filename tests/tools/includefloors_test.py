#!/usr/bin/env python3
"""tools/includefloors.py: the product's own tree goes down the floors, and a
small tree of each kind of fault is caught, each named at its line."""
import os
import subprocess
import sys
import tempfile

checker, root = sys.argv[1], sys.argv[2]
failures = []


def run(tree):
    done = subprocess.run([sys.executable, checker, tree], capture_output=True, text=True)
    return done.returncode, done.stdout


def expect(what, ok):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


code, out = run(root)
expect("the product's includes all go down (%s)" % out.strip().splitlines()[-1], code == 0)

# Files that are fine together: own folder, lower floors, a subsystem's own
# resource header, the shared icons, a script that includes its own.
GOOD = {
    "core/config.cpp": '#include "core/config.h"\n#include "afx/afx.h"\n#include <windows.h>\n',
    "clocks/clock.cpp": '#include "clocks/skin.h"\n#include "core/settings.h"\n#include "menus/menu.h"\n'
                        '#include "res/clocks_res.h"\n#include "res/shared_icons.h"\n',
    "skinbrowser/browser.cpp": '#include "clocks/skin.h"\n#include "alarms/alarm.h"\n',
    "shell/main.cpp": '#include "skinbrowser/browser.h"\n#include "res/app_res.h"\n#include "local.h"\n',
    "res/clocks.rc": '#include "clocks_res.h"\n#include "shared_icons.rc"\n#include "clockoptions.rc"\n',
    "res/app_res.h": '#include "shared_icons.h"\n',
}
# Each fault alone, with the words its line must carry.
FAULTS = [
    ("clocks/clock.cpp", '#include "shell/maindlg.h"\n', "a floor above"),
    ("clocks/clock.cpp", '#include "alarms/alarm.h"\n', "a peer on its own floor"),
    ("clocks/clock.cpp", '#include "res/app_res.h"\n', "a floor above"),
    ("core/config.cpp", '#include "res/shared_icons.h"\n', "a peer on its own floor"),
    ("image/picture.cpp", '#include "controls/memdc.h"\n', "a floor above"),
    ("res/alarms.rc", '#include "app.rc"\n', "a floor above"),
    ("controls/list.cpp", '#include "tests/support/x.h"\n', "not part of the product"),
]


def make_tree(base, files):
    for path, text in files.items():
        full = os.path.join(base, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write(text)


with tempfile.TemporaryDirectory() as tmp:
    good = os.path.join(tmp, "good")
    make_tree(good, GOOD)
    code, out = run(good)
    expect("a tree whose includes go down passes (%s)" % out.strip(), code == 0)
    for i, (path, line, words) in enumerate(FAULTS):
        tree = os.path.join(tmp, "fault%d" % i)
        files = dict(GOOD)
        files[path] = files.get(path, "") + "// a line\n" + line
        make_tree(tree, files)
        code, out = run(tree)
        number = files[path].count("\n")
        named = [l for l in out.splitlines() if l.startswith("%s:%d:" % (path, number))]
        expect("%s in %s fails at its line, as %s" % (line.strip(), path, words),
               code == 1 and len(named) == 1 and words in named[0] and out.count("\n") == 2)

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
