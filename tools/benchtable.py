#!/usr/bin/env python3
"""Checks that the README's performance table shows every figure the
benchmarks print.

Each benchmark answers --list with the labels of the lines that carry its
figures, one a line. Each label must stand, in backquotes as the README writes
it (`label`), in a row of the table under "## Performance" that also names the
benchmark (its file name without .exe or .py), so that a reader who sees a line
of `make bench` finds its row. A word of a row's prose is no label.

The benchmarks are found as `make bench` finds them, one a source file: each
file a --each pattern matches is one, named by its file name without extension.

    benchtable.py README [--run COMMAND] [--each SOURCES PROGRAM]... [PROGRAM...]
        --run COMMAND           start each program through COMMAND (tools/wine-run)
        --each SOURCES PROGRAM  each file the pattern SOURCES matches names a
                                benchmark, whose program is PROGRAM with {} for
                                that name ("bench/bench_*.cpp" "build/bench/{}")
    exit 0 when every label is in the table, else 1; the last line counts the
    faults ("0 failed")
"""
import glob
import os
import re
import subprocess
import sys


def squeeze(text):
    return re.sub(r"\s+", " ", text).strip()


def table_rows(readme):
    """The rows of the tables in the Performance section, whitespace squeezed."""
    rows, inside = [], False
    with open(readme, encoding="utf-8") as f:
        for line in f:
            if line.startswith("## "):
                inside = line.strip() == "## Performance"
            elif inside and line.startswith("|") and not re.match(r"^\|[-| ]*\|\s*$", line):
                rows.append(squeeze(line))
    return rows


def bench_name(program):
    name = os.path.basename(program)
    for ext in (".exe", ".py"):
        if name.endswith(ext):
            return name[: -len(ext)]
    return name


def listed(program, runner):
    """The labels the program lists, or an error text."""
    try:
        done = subprocess.run(runner + [program, "--list"], capture_output=True, text=True, timeout=120)
    except (OSError, subprocess.TimeoutExpired) as e:
        return None, str(e)
    names = [squeeze(line) for line in done.stdout.splitlines() if line.strip()]
    if done.returncode != 0:
        return None, "--list ended with %d: %s" % (done.returncode, squeeze(done.stderr)[:200])
    if not names:
        return None, "--list printed no labels"
    return names, None


def programs(args):
    """The programs the arguments name, and the command that starts them."""
    found, runner = [], []
    while args:
        if args[0] == "--run" and len(args) > 1:
            runner, args = [args[1]], args[2:]
        elif args[0] == "--each" and len(args) > 2:
            for source in sorted(glob.glob(args[1])):
                found.append(args[2].replace("{}", os.path.splitext(os.path.basename(source))[0]))
            args = args[3:]
        elif args[0].startswith("--"):
            sys.exit(__doc__)
        else:
            found.append(args[0])
            args = args[1:]
    return found, runner


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    found, runner = programs(argv[1:])
    rows = table_rows(argv[0])
    failures = 0
    if not found:
        print("no benchmark found")
        failures += 1
    for program in found:
        bench = bench_name(program)
        if not os.path.isfile(program):
            print("%s: not built (no %s)" % (bench, program))
            failures += 1
            continue
        names, error = listed(program, runner)
        if error:
            print("%s: %s" % (bench, error))
            failures += 1
            continue
        own = [row for row in rows if re.search(r"(?<!\w)%s(?!\w)" % re.escape(bench), row)]
        wrong = 0
        for name in dict.fromkeys(names):  # the labels, each once
            if names.count(name) > 1:
                print("%s: the label '%s' is not its own (listed %d times)" % (bench, name, names.count(name)))
                wrong += 1
            elif not any("`%s`" % name in row for row in own):
                print("%s: no row of the README's performance table that names %s shows `%s`" % (bench, bench, name))
                wrong += 1
        if not wrong:
            print("ok   %s: its %d labels all in the table" % (bench, len(names)))
        failures += wrong
    print("%d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
