#!/usr/bin/env python3
"""A resource script and a C source compile in a checkout whose path has a
space, an apostrophe, an umlaut and Cyrillic letters, and their dependency
files name what they read.

    rcpaths_test.py CMAKE TOOLCHAIN REPO WORK

A small project in "WORK/Документы/Bob's Übung", laid out as the repository is
(its copies of cmake/VeltranResources.cmake, cmake/VeltranNinjaDeps.cmake,
tools/rc-preprocess and tools/ninja-deps), compiles one script with the build's
resource settings, and a C source. The script includes a header from res/ and
embeds a file, each with a space in its path; the source includes the header.
They must build; ninja must record the script, the header, the embedded file
and the preprocessor as the resource's dependencies and the source and the
header as the object's, and tools/ninja-deps as both's (ninja 1.11 reads no
apostrophe in a dependency file, so the compiles run through it here);
a build with nothing changed must remake nothing, and one after an edit of the
embedded file must remake the resource.
"""
import os
import shutil
import subprocess
import sys

cmake, toolchain, repo, work = sys.argv[1:5]
failures = []


def expect(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        print("    " + detail.strip().replace("\n", "\n    "))
        failures.append(what)


def finish():
    print("%d failed" % len(failures))
    sys.exit(1 if failures else 0)


def run(*args):
    done = subprocess.run(list(args), stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode, done.stdout


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


shutil.rmtree(work, ignore_errors=True)
root = os.path.join(work, "Документы", "Bob's Übung")
build = os.path.join(root, "build")
for mine in ("cmake/VeltranResources.cmake", "cmake/VeltranNinjaDeps.cmake", "tools/rc-preprocess", "tools/ninja-deps"):
    os.makedirs(os.path.dirname(os.path.join(root, mine)), exist_ok=True)
    shutil.copy2(os.path.join(repo, mine), os.path.join(root, mine))
write(os.path.join(root, "CMakeLists.txt"), "cmake_minimum_required(VERSION 3.25)\nproject(RcPaths LANGUAGES C)\n"
      "include(cmake/VeltranResources.cmake)\nadd_library(res OBJECT \"my res/app.rc\" \"my src/app.c\")\n"
      "target_include_directories(res PRIVATE res)\n")
script = os.path.join(root, "my res", "app.rc")
header = os.path.join(root, "res", "app res.h")
data = os.path.join(root, "my res", "my data.bin")
source = os.path.join(root, "my src", "app.c")
write(script, '#include "app res.h"\nIDR_DATA RCDATA "my data.bin"\n')
write(header, "#define IDR_DATA 7\n")
write(data, "first bytes")
write(source, '#include "app res.h"\nint data = IDR_DATA;\n')

code, out = run(cmake, "-G", "Ninja", "-S", root, "-B", build, "-DCMAKE_TOOLCHAIN_FILE=" + toolchain)
expect("the project configures", code == 0, out)
code, out = run("ninja", "-C", build)
expect("the script compiles", code == 0, out)
if failures:
    finish()  # nothing more to read

def compiled(rule):
    return [l.rpartition(": ")[0] for l in run("ninja", "-C", build, "-t", "targets", "all")[1].splitlines()
            if l.rpartition(": ")[2].startswith(rule)]


def recorded(target):
    """ninja's record of what the target was made from, and the names it holds."""
    _, deps = run("ninja", "-C", build, "-t", "deps", target)
    return deps, {os.path.normpath(os.path.join(build, l.strip())) for l in deps.splitlines() if l.startswith("    ")}


objects, sources = compiled("RC_COMPILER"), compiled("C_COMPILER")
expect("one compiled resource and one object (%s)" % " ".join(objects + sources),
       len(objects) == 1 and len(sources) == 1)
if failures:
    finish()
resource = os.path.join(build, objects[0])
deps, named = recorded(objects[0])
launcher = os.path.join(root, "tools", "ninja-deps")  # which the compiles run through here
want = {script, header, data, os.path.join(root, "tools", "rc-preprocess"), launcher}
expect("its dependencies name the script, the header, the embedded file, the preprocessor and ninja-deps",
       "(VALID)" in deps and want <= named, deps)
deps, named = recorded(sources[0])
expect("the object's dependencies name its source, the header and ninja-deps",
       "(VALID)" in deps and {source, header, launcher} <= named, deps)

code, out = run("ninja", "-C", build)
expect("a build with nothing changed remakes nothing", code == 0 and "no work to do" in out, out)
write(data, "second bytes")
stamp = os.stat(resource).st_mtime + 10  # newer than the output, however coarse the clock
os.utime(data, (stamp, stamp))
code, out = run("ninja", "-C", build)
with open(resource, "rb") as f:
    expect("an edit of the embedded file remakes the resource", code == 0 and b"second bytes" in f.read(), out)
finish()
