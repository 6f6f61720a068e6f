#!/usr/bin/env python3
"""Every test runs in the tests' one locale, whatever the developer's.

    locale_check.py TOOLS BUILD PROBE [--wine]

PROBE (tests/support/locale_probe.cpp) says the locale it runs in. It runs
with a German developer's variables (LANG, LANGUAGE and an LC_*) and with a
Japanese one's (LC_ALL and LANG), each locale made by localedef in a folder of
this check's own (LOCPATH), as ctest runs a test: from a small CTest folder
that reads what the build's own top folder reads (BUILD/CTestTestfile.cmake),
its test started through TOOLS/run-test. It must say the tests' locale:
C.UTF-8 natively; under Wine (--wine) code page 1252 and en-US, also when
TOOLS/wine-run starts it alone. Natively it also runs through
TOOLS/repeat-test, which starts tests outside ctest.

Where no locale can be made here, it says so in one line and exits with 77
(ctest's skip code).
"""
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
tools, build, probe = sys.argv[1:4]
wine = "--wine" in sys.argv[4:]
expected = "code page 1252, locale en-US" if wine else "locale C.UTF-8"
failures = []


def expect(what, ok, out=""):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        print("    " + out.strip().replace("\n", "\n    "))
        failures.append(what)


def make_locales(folder):
    """LOCPATH with de_DE.UTF-8 and ja_JP.UTF-8 in it, or why there is none."""
    if shutil.which("localedef") is None:
        return "localedef is not installed"
    for name in ("de_DE", "ja_JP"):
        done = subprocess.run(["localedef", "-i", name, "-f", "UTF-8", os.path.join(folder, name + ".UTF-8")],
                              capture_output=True, text=True)
        # localedef warns with exit code 1 and still writes the locale.
        loads = subprocess.run([sys.executable, "-c", "import locale; locale.setlocale(locale.LC_ALL, '')"],
                               env=dict(os.environ, LOCPATH=folder, LC_ALL=name + ".UTF-8"), capture_output=True)
        if loads.returncode != 0:
            said = (done.stderr.strip().splitlines() or ["exit code %d" % done.returncode])[-1]
            return "localedef made no %s.UTF-8 that loads (%s)" % (name, said)
    return None


def developer(locpath, **names):
    """The environment of a developer whose language settings are these."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k not in ("LANG", "LANGUAGE")}
    env.update(names, LOCPATH=locpath)
    return env


def ctest_folder(folder):
    """A CTest folder with one test, the probe through run-test, that reads
    what the build's top folder reads before its tests."""
    os.mkdir(folder)
    with open(os.path.join(build, "CTestTestfile.cmake")) as f:
        reads = [line for line in f if line.startswith("include(")]
    command = [os.path.join(tools, "run-test")] + (["--wine"] if wine else []) + ["--end-line", expected, "--", probe]
    with open(os.path.join(folder, "CTestTestfile.cmake"), "w") as f:
        f.writelines(reads)
        f.write("add_test(locale %s)\n" % " ".join("[==[%s]==]" % word for word in command))
    return folder


def run(command, env):
    done = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, errors="replace")
    return done.returncode, done.stdout.replace("\r", "")


with tempfile.TemporaryDirectory() as tmp:
    locpath = os.path.join(tmp, "locales")
    os.mkdir(locpath)
    why = make_locales(locpath)
    if why:
        print("skipped: %s, so no developer's language can be set" % why)
        sys.exit(SKIP)
    folder = ctest_folder(os.path.join(tmp, "ctest"))
    desktops = {
        "German (LANG, LANGUAGE, LC_TIME)": developer(locpath, LANG="de_DE.UTF-8", LANGUAGE="de",
                                                      LC_TIME="de_DE.UTF-8"),
        "Japanese (LC_ALL, LANG)": developer(locpath, LC_ALL="ja_JP.UTF-8", LANG="ja_JP.UTF-8"),
    }
    for desktop, env in desktops.items():
        code, out = run(["ctest", "--test-dir", folder, "--output-on-failure"], env)
        expect("%s: a test that ctest runs says \"%s\"" % (desktop, expected), code == 0, out)
        if wine:
            code, out = run([os.path.join(tools, "wine-run"), probe], env)
            expect("%s: a program that wine-run starts alone says \"%s\"" % (desktop, expected),
                   code == 0 and expected in out.splitlines(), out)
        else:
            code, out = run([os.path.join(tools, "repeat-test"), "-n", "1", "--build", folder, "locale"], env)
            expect("%s: a test that repeat-test runs says \"%s\"" % (desktop, expected), code == 0, out)

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
