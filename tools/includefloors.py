#!/usr/bin/env python3
"""Checks that the product's #include lines only go down the floors.

Every target has the repository root on its include path, so the build takes
an include that runs upward (a clock window reaching into the shell) without
a word. This reads the #include lines of the product folders instead and
names each one that does: a file may include its own folder's headers and
those of folders on lower floors, never a peer's on its own floor, never one
above. The resource headers and scripts in res/ belong to the floor of the
folder that owns them.

    includefloors.py [ROOT]      exit 0 when every include goes down, else 1
"""
import os
import re
import sys

# From the bottom: the platform layer, what the subsystems share, the
# libraries, the window subsystems, the program.
FLOORS = {
    "afx": 0,
    "core": 1,
    "image": 2,
    "controls": 3,
    "menus": 4,
    "clocks": 5,
    "alarms": 5,
    "skinbrowser": 6,
    "shell": 7,
}

# The resource scripts and the group (a folder, or the shared icons) that owns
# each; a script's header (its name and "_res") goes with it. shared_icons
# stands on the shared floor beside core, not in it.
RES_GROUPS = {
    "shared_icons": ("res shared icons", 1),
    "reportctrl": ("controls", 3),
    "clocks": ("clocks", 5),
    "clockoptions": ("clocks", 5),
    "alarms": ("alarms", 5),
    "skinbrowser": ("skinbrowser", 6),
    "app": ("shell", 7),
    "periphery": ("shell", 7),
    "veltran": ("shell", 7),
}

SOURCES = (".c", ".cpp", ".h", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def group_of(path):
    """(group, floor) of a repository path, None for one outside the product."""
    parts = path.split("/")
    if parts[0] == "res" and len(parts) == 2:
        stem = os.path.splitext(parts[1])[0]
        script = stem[:-len("_res")] if stem.endswith("_res") else stem
        return RES_GROUPS.get(script, ("res " + stem, None))
    if parts[0] in FLOORS:
        return parts[0], FLOORS[parts[0]]
    return None


def resolve(including, name):
    """The repository path an include names: root-relative when its first part
    is a folder of the root, else beside the including file."""
    first = name.split("/")[0]
    if first in FLOORS or first in ("res", "tests", "tools", "fuzz", "bench"):
        return name
    return os.path.normpath(os.path.join(os.path.dirname(including), name)).replace(os.sep, "/")


def check(root):
    faults = []
    for folder in sorted(set(FLOORS) | {"res"}):
        top = os.path.join(root, folder)
        for here, _, files in os.walk(top):
            for file in sorted(files):
                if not file.endswith(SOURCES):
                    continue
                full = os.path.join(here, file)
                path = os.path.relpath(full, root).replace(os.sep, "/")
                mine = group_of(path)
                with open(full, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = resolve(path, m.group(1))
                        theirs = group_of(target)
                        if mine[1] is None:
                            faults.append("%s:%d: %s has no floor" % (path, number, path))
                        elif theirs is None or theirs[1] is None:
                            faults.append("%s:%d: includes %s, which is not part of the product's floors"
                                          % (path, number, m.group(1)))
                        elif theirs[0] != mine[0] and theirs[1] >= mine[1]:
                            where = "a peer on its own floor" if theirs[1] == mine[1] else "a floor above"
                            faults.append("%s:%d: includes %s from %s (%s)" % (path, number, m.group(1), where,
                                                                              theirs[0]))
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    faults = check(os.path.abspath(root))
    for fault in faults:
        print(fault)
    if faults:
        print("includefloors: %d include(s) do not go down the floors" % len(faults))
        return 1
    print("includefloors: every include goes down the floors")
    return 0


if __name__ == "__main__":
    sys.exit(main())
