#!/usr/bin/env python3
"""tools/benchtable.py: a table that shows every listed figure in a row of its
benchmark passes, and each way a figure can go missing fails, named: a
benchmark found among the sources, as `make bench` finds it, included."""
import os
import shutil
import subprocess
import sys
import tempfile

checker = sys.argv[1]
failures = []


def expect(what, ok):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def bench(folder, name, names, code=0):
    """A benchmark that lists `names` (as printed, padded) and ends with `code`."""
    path = os.path.join(tempfile.mkdtemp(dir=folder), name)
    with open(path, "w") as f:
        f.write("import sys\nassert sys.argv[1:] == ['--list'], sys.argv\n")
        f.write("print(%r)\nsys.exit(%d)\n" % ("\n".join("  %-30s" % n for n in names), code))
    return path


def check(folder, readme, *args):
    path = os.path.join(folder, "README.md")
    with open(path, "w") as f:
        f.write(readme)
    done = subprocess.run([sys.executable, checker, path, "--run", sys.executable] + list(args),
                          capture_output=True, text=True)
    return done.returncode, done.stdout


TABLE = """# Thing

## Performance

Printed by `make bench`.

| what | figure | beside it |
|---|---|---|
| filters (`bench_one`): `Median   3x3` / `Median 5x5` | 10 / 20 ms | convert 12 / 30 ms |
| start (`winbench_two.exe`), `fill` | 1 s | |

## Other

| `bench_one` `Blur` | 1 ms | |
"""

with tempfile.TemporaryDirectory() as tmp:
    one = bench(tmp, "bench_one", ["Median 3x3", "Median 5x5"])
    two = bench(tmp, "winbench_two.exe", ["fill"])
    code, out = check(tmp, TABLE, one, two)
    expect("every name in a row of its benchmark passes", code == 0 and out.splitlines()[-1] == "0 failed")

    def fails(what, readme, programs, words):
        code, out = check(tmp, readme, *programs)
        lines = out.splitlines()
        named = [l for l in lines if all(w in l for w in words)]
        expect("%s fails, named (%s)" % (what, named[0] if named else out.strip()),
               code == 1 and lines[-1] == "1 failed" and len(named) == 1)

    fails("a name in no row", TABLE.replace(" / `Median 5x5`", ""), [one, two], ["bench_one", "`Median 5x5`"])
    fails("a name only in another benchmark's row", TABLE.replace("`fill`", "").replace("5x5`", "5x5` `fill`"),
          [one, two], ["winbench_two", "`fill`"])
    fails("a name only in the prose of its row", TABLE.replace("`fill`", "fills the list"), [one, two],
          ["winbench_two", "`fill`"])
    fails("a name only in a row of another section", TABLE,
          [bench(tmp, "bench_one", ["Median 3x3", "Blur"]), two], ["bench_one", "`Blur`"])
    fails("a name the header names but no row", TABLE, [one, bench(tmp, "bench_three", ["Printed by"])],
          ["bench_three", "`Printed by`"])
    fails("a name only inside another of the same benchmark", TABLE.replace("`Median   3x3` / ", ""),
          [bench(tmp, "bench_one", ["Median", "Median 5x5"])], ["bench_one", "`Median`"])
    fails("a name listed twice", TABLE, [bench(tmp, "winbench_two.exe", ["fill", "fill"])],
          ["winbench_two", "'fill'", "not its own"])
    fails("a benchmark whose --list fails", TABLE, [bench(tmp, "bench_four", ["x"], code=3)],
          ["bench_four", "ended with 3"])
    fails("a benchmark that lists nothing", TABLE, [bench(tmp, "bench_five", [])], ["bench_five", "no labels"])
    # A row of bench_one is no row of bench_on.
    fails("a name in the row of a longer benchmark name", TABLE, [bench(tmp, "bench_on", ["Median 3x3"])],
          ["bench_on", "`Median 3x3`"])

    # The benchmarks as `make bench` finds them: one a source file, its program named after it.
    sources, built = os.path.join(tmp, "src"), os.path.join(tmp, "built")
    os.makedirs(sources)
    os.makedirs(built)
    for name in ("bench_one.cpp", "bench_util.h", "winbench_two.cpp"):
        open(os.path.join(sources, name), "w").close()
    shutil.copy(one, built)
    shutil.copy(two, os.path.join(built, "winbench_two.exe"))
    each = ["--each", os.path.join(sources, "bench_*.cpp"), os.path.join(built, "{}"),
            "--each", os.path.join(sources, "winbench_*.cpp"), os.path.join(built, "{}.exe")]
    code, out = check(tmp, TABLE, *each)
    expect("the benchmarks the sources name pass (%s)" % out.strip().replace("\n", "; "),
           code == 0 and out.count("ok   ") == 2 and out.splitlines()[-1] == "0 failed")
    open(os.path.join(sources, "bench_six.cpp"), "w").close()
    fails("a benchmark added without a program", TABLE, each, ["bench_six", "not built"])
    shutil.copy(bench(tmp, "bench_six", ["Blur 3x3"]), built)
    fails("a benchmark added without a README row", TABLE, each, ["bench_six", "`Blur 3x3`"])
    fails("a pattern that finds no benchmark", TABLE, ["--each", os.path.join(sources, "none_*.cpp"), "{}"],
          ["no benchmark found"])

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
