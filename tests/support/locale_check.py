#!/usr/bin/env python3
"""Every test runs in the tests' one locale, whatever the developer's and
wherever ctest is started.

    locale_check.py PIN TOOLS BUILD PROBE [--wine]
    locale_check.py --probe

The test file of every folder of BUILD (the top one's and each it names, as
ctest reads them) must read PIN, the file that sets the tests' locale.

PROBE (tests/support/locale_probe.cpp) says, a "name: value" line each, what
decides the language of what a test reads: its locale, a system message and
the locale variables it sees (under Wine also the code page and the language
of the system's messages). It runs with a German developer's variables (LANG,
LANGUAGE and an LC_*) and a Japanese one's (LC_ALL and LANG), each locale made
by localedef in a folder of this check's own (LOCPATH), and must say what the
tests' locale says: C.UTF-8, LC_ALL the only locale variable, and the message
it gives in a bare C.UTF-8 environment; under Wine (--wine) code page 1252 and
en-US too.

It runs as a test of each folder of BUILD that registers tests, started by
ctest there: from a CTest folder of this check's own that names that folder
(only that folder's test files set the environment, and the build's own
Testing folders stay untouched), through TOOLS/run-test. TOOLS/wine-run sets
the locale of Windows programs itself, so in the win32 build this script
(--probe, the same lines as the build's host programs see them) stands in for
the probe there, and the Windows probe runs once through ctest from the top
folder and once through TOOLS/wine-run alone. Natively the probe also runs
through TOOLS/repeat-test, which starts tests outside ctest.

Where no locale can be made here, it says so in one line and exits with 77
(ctest's skip code).
"""
import errno
import itertools
import locale
import os
import re
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
TESTS_LOCALE = "C.UTF-8"
failures = []


def probe():
    """The probe's lines, as a host program of the tests sees them: Python
    takes its messages from the C library too."""
    try:
        name = locale.setlocale(locale.LC_ALL, "")
    except locale.Error:
        name = "(none: the environment names none here)"
    print("locale: %s" % name)
    print("message: %s" % os.strerror(errno.ENOENT))
    names = sorted("%s=%s" % (k, v) for k, v in os.environ.items() if k.startswith("LC_") or k in ("LANG", "LANGUAGE"))
    print("variables: %s" % (" ".join(names) or "(none)"))


def expect(what, ok, out=""):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        print("    " + out.strip().replace("\n", "\n    "))
        failures.append(what)


def test_files(build):
    """(folder, lines of its test file) for each folder ctest reads when
    started in BUILD, the top one first."""
    found, todo = [], [build]
    while todo:
        folder = todo.pop(0)
        with open(os.path.join(folder, "CTestTestfile.cmake"), encoding="utf-8", errors="replace") as f:
            lines = f.read().splitlines()
        found.append((folder, lines))
        for line in lines:
            named = re.fullmatch(r'subdirs\("(.*)"\)', line)
            if named:
                todo.append(os.path.join(folder, re.sub(r"\\(.)", r"\1", named.group(1))))
    return found


def reads(lines, pin):
    """Whether a test file includes PIN (CMake writes its path as given)."""
    for line in lines:
        named = re.fullmatch(r'include\("(.*)"\)', line)
        if named and os.path.realpath(named.group(1)) == os.path.realpath(pin):
            return True
    return False


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


def developer(locpath=None, **names):
    """The environment of a developer whose language settings are these."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k not in ("LANG", "LANGUAGE")}
    env.update(names)
    if locpath:
        env["LOCPATH"] = locpath
    return env


def into(report, command):
    """COMMAND with its standard output in REPORT."""
    return ["sh", "-c", 'out="$1"; shift; exec "$@" >"$out"', "sh", report] + command


def ctest_folder(folder, command, report, reads_folder=None):
    """A CTest folder whose one test, locale.probe, runs COMMAND with its
    standard output in REPORT; naming READS_FOLDER, ctest reads that folder's
    test files as it does when started there."""
    os.mkdir(folder)
    quoted = lambda word: "[==[%s]==]" % word
    with open(os.path.join(folder, "CTestTestfile.cmake"), "w") as f:
        f.write("add_test(locale.probe %s)\n" % " ".join(quoted(word) for word in into(report, command)))
        if reads_folder:
            f.write("subdirs(%s)\n" % quoted(reads_folder))
    return folder


def run(command, env):
    done = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, errors="replace")
    return done.returncode, done.stdout.replace("\r", "")


def read(report):
    try:
        with open(report, encoding="utf-8", errors="replace") as f:
            return f.read().replace("\r", "")
    except FileNotFoundError:
        return ""


def said(report):
    """The probe's lines in REPORT as {name: value}."""
    return dict(line.split(": ", 1) for line in read(report).splitlines() if ": " in line)


def judge(what, code, out, report, want):
    """A run of the probe passes when it ended well and said all WANT says."""
    seen = said(report)
    wrong = ['%s: "%s", where the tests\' locale gives "%s"' % (name, seen.get(name, "(not said)"), value)
             for name, value in want.items() if seen.get(name) != value]
    why = "\n".join(wrong + ["the probe saw:", read(report).strip() or "(nothing)"])
    if code != 0:
        why += "\nits run ended with exit code %d:\n%s" % (code, out.strip())
    expect(what, code == 0 and not wrong, why)


def main():
    if sys.argv[1:] == ["--probe"]:
        probe()
        return 0
    pin, tools, build, program = sys.argv[1:5]
    wine = "--wine" in sys.argv[5:]
    wine_run = os.path.join(tools, "wine-run")
    # As the build registers its tests: through run-test, which wants the probe's last line.
    run_test = lambda *flags: [os.path.join(tools, "run-test"), *flags, "--end-line", "variables: .*", "--"]
    host_probe = [sys.executable, os.path.abspath(__file__), "--probe"] if wine else [program]

    files = test_files(build)
    unpinned = [os.path.relpath(folder, build) for folder, lines in files if not reads(lines, pin)]
    expect("the test file of each of the %d folders of the build reads %s" % (len(files), pin), not unpinned,
           "these do not: " + " ".join(unpinned))
    registering = [folder for folder, lines in files if any(line.startswith("add_test(") for line in lines)]

    with tempfile.TemporaryDirectory() as tmp:
        locpath = os.path.join(tmp, "locales")
        os.mkdir(locpath)
        why = make_locales(locpath)
        if why:
            print("skipped: %s, so no developer's language can be set" % why)
            return 1 if failures else SKIP
        numbers = itertools.count(1)
        fresh = lambda what: os.path.join(tmp, "%s%d" % (what, next(numbers)))

        # What the tests' locale says: the probes run in it and in nothing else.
        bare = developer(LC_ALL=TESTS_LOCALE)
        report = fresh("report")
        code, out = run(into(report, host_probe), bare)
        want = {"locale": TESTS_LOCALE, "message": said(report).get("message", "?"),
                "variables": "LC_ALL=" + TESTS_LOCALE}
        judge("a bare %s environment: a host program says the tests' locale" % TESTS_LOCALE, code, out, report, want)
        if wine:
            report = fresh("report")
            code, out = run(into(report, [wine_run, program]), bare)
            want_wine = {"code page": "1252", "locale": "en-US", "ui language": "en-US",
                         "message": said(report).get("message", "?"), "variables": "LC_ALL=" + TESTS_LOCALE}
            judge("a bare %s environment: a Windows program says the tests' locale" % TESTS_LOCALE, code, out,
                  report, want_wine)

        desktops = {
            "German (LANG, LANGUAGE, LC_TIME)": developer(locpath, LANG="de_DE.UTF-8", LANGUAGE="de",
                                                          LC_TIME="de_DE.UTF-8"),
            "Japanese (LC_ALL, LANG)": developer(locpath, LC_ALL="ja_JP.UTF-8", LANG="ja_JP.UTF-8"),
        }
        ctest = lambda own: ["ctest", "--test-dir", own, "-R", r"^locale\.probe$", "--output-on-failure"]
        for desktop, env in desktops.items():
            for folder in registering:
                report = fresh("report")
                code, out = run(ctest(ctest_folder(fresh("ctest"), run_test() + host_probe, report, folder)), env)
                where = "the top folder" if folder == build else os.path.relpath(folder, build) + "/"
                judge("%s: a test of %s, ctest started there" % (desktop, where), code, out, report, want)
            report = fresh("report")
            if wine:
                code, out = run(ctest(ctest_folder(fresh("ctest"), run_test("--wine") + [program], report, build)),
                                env)
                judge("%s: a Windows program that ctest runs" % desktop, code, out, report, want_wine)
                report = fresh("report")
                code, out = run(into(report, [wine_run, program]), env)
                judge("%s: a Windows program that wine-run starts alone" % desktop, code, out, report, want_wine)
            else:
                # repeat-test runs a test's command itself: only its own setting counts.
                own = ctest_folder(fresh("ctest"), run_test() + host_probe, report)
                code, out = run([os.path.join(tools, "repeat-test"), "-n", "1", "--build", own, "locale.probe"], env)
                judge("%s: a test that repeat-test runs" % desktop, code, out, report, want)

    print("%d failed" % len(failures))
    return 1 if failures else 0


sys.exit(main())
