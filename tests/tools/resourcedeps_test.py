#!/usr/bin/env python3
"""Every compiled resource of a build depends on every file it reads.

    resourcedeps_test.py BUILD_DIR SOURCE_DIR

Each resource's own compile command runs again under strace, writing into a
folder of this test's (the build is left as it is), and every file it opened
in the source tree, the build tree or the compiler's include folders must be
among the dependencies ninja recorded for it. A file the build draws must also
be an output of one of its steps, or a run that redraws it would not remake
the resource until the next run.

Where strace cannot trace (not installed, or ptrace denied, as some containers
have it), it says so in one line and exits with SKIP (ctest's skip code).
"""
import codecs
import concurrent.futures
import glob
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
OPEN = re.compile(r'^(?:openat\(AT_FDCWD, |open\()"((?:[^"\\]|\\.)*)", ([A-Z_|]+).*\) = \d+')


def ninja(build, *args, check=True):
    return subprocess.run(["ninja", "-C", build, "-n"] + list(args), stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, check=check).stdout


def resources(build):
    found = []
    for line in ninja(build, "-t", "targets", "all").splitlines():
        path, _, rule = line.rpartition(": ")
        if rule.startswith("RC_COMPILER"):
            found.append(path)
    return found


def recorded(build, resource):
    """The recorded dependencies, or the reason there are none."""
    lines = ninja(build, "-t", "deps", resource).splitlines()
    head = next((l for l in lines if l.startswith(resource + ":")), "")
    if "(VALID)" not in head:
        return None, head or "no record (build it first)"
    return {os.path.normpath(os.path.join(build, l.strip())) for l in lines if l.startswith("    ")}, ""


def include_folders(command):
    """The compiler's own include folders (the preprocessor named in the command)."""
    compiler = [w.split("--compiler=", 1)[1] for w in shlex.split(command) if "--compiler=" in w]
    if not compiler:
        return []
    out = subprocess.run([compiler[0], "-xc", "-E", "-v", os.devnull], stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True).stderr
    at = out.find("#include <...> search starts here:")
    return [l.strip() for l in out[at:].splitlines()[1:] if l.startswith(" ")] if at >= 0 else []


def why_strace_cannot_trace():
    """None when strace traces a trivial command here; else why not. Tried on
    its own, so that a compile that fails under a working strace still fails."""
    if shutil.which("strace") is None:
        return "strace is not installed"
    done = subprocess.run(["strace", "-f", "-o", os.devnull, "true"], stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True)
    if done.returncode == 0:
        return None
    said = done.stderr.splitlines()
    said = [l for l in said if "ptrace(" in l] or said or ["it ended with %d" % done.returncode]
    return "strace cannot trace here (%s)" % said[0].strip()


def unquote(text):
    """A path as strace quotes it, as the file's name: it writes each byte
    that is not printable ASCII as an octal escape (\\303\\234 for U+00DC)."""
    return os.fsdecode(codecs.escape_decode(text.encode("ascii", "backslashreplace"))[0])


def files_read(build, command, scratch):
    """The regular files the command opened for reading, as absolute paths,
    and why there are none when the command failed."""
    trace = os.path.join(scratch, "trace")
    done = subprocess.run(["strace", "-qq", "-ff", "-e", "trace=open,openat", "-o", trace, "sh", "-c", command],
                          cwd=build, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if done.returncode != 0:
        tail = done.stdout.strip().splitlines()[-5:]
        return None, "the compile command failed under strace (%d)%s" % (
            done.returncode, "".join("\n        " + l for l in tail))
    read = set()
    for log in glob.glob(trace + ".*"):
        with open(log, errors="replace") as f:
            for line in f:
                m = OPEN.match(line)
                if not m or re.search(r"O_WRONLY|O_RDWR|O_DIRECTORY", m.group(2)):
                    continue
                path = os.path.normpath(os.path.join(build, unquote(m.group(1))))
                if os.path.isfile(path):
                    read.add(path)
    return read, ""


def check(build, source, resource):
    """What is wrong with one resource's dependencies, as lines; none when all is well."""
    deps, why = recorded(build, resource)
    if deps is None:
        return ["%s: ninja recorded no dependencies: %s" % (resource, why)]
    command = ninja(build, "-t", "commands", "-s", resource).strip()
    with tempfile.TemporaryDirectory() as scratch:
        # The output and its dependency file go to the scratch folder.
        command = command.replace(resource, shlex.quote(os.path.join(scratch, "out.res")))
        roots = [source, build] + include_folders(command)
        read, failed = files_read(build, command, scratch)
        if read is None:
            return ["%s: %s" % (resource, failed)]
        read = {p for p in read if any(p.startswith(os.path.join(r, "")) for r in roots) and not p.startswith(scratch)}
    problems = ["%s reads %s, but does not depend on it" % (resource, p) for p in sorted(read - deps)]
    for p in sorted(d for d in deps if d.startswith(os.path.join(build, ""))):
        # A file only the dependency log names is no node of the manifest: ninja refuses the query.
        query = ninja(build, "-t", "query", os.path.relpath(p, build), check=False)
        if "  input: " not in query:
            problems.append("%s depends on %s, which no step of the build makes" % (resource, p))
    if not problems and not read:
        problems.append("%s: no file read was seen (is strace working?)" % resource)
    return problems


def main():
    build, source = (os.path.realpath(a) for a in sys.argv[1:3])
    why = why_strace_cannot_trace()
    if why:
        print("skipped: %s, so no compile's reads can be seen" % why)
        return SKIP
    found = resources(build)
    failures = 0
    if not found:
        print("FAIL: the build has no compiled resource")
        failures += 1
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        for resource, problems in zip(found, pool.map(lambda r: check(build, source, r), found)):
            print("%s: %s" % ("FAIL" if problems else "ok", resource))
            for p in problems:
                print("    " + p)
            failures += bool(problems)
    print("%d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
