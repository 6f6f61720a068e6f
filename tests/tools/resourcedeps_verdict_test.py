#!/usr/bin/env python3
"""tests/tools/resourcedeps_test.py gives each case its verdict on a one-step
ninja build that stands for a resource compile, in a folder whose name is not
ASCII: skipped, in one line, where strace is missing or cannot trace (a strace
that answers as a ptrace-denied one does, and a real one under a seccomp
filter that denies ptrace); failed, named, where the compile fails under a
working strace or reads what it does not depend on; passed otherwise."""
import ctypes
import os
import platform
import shutil
import struct
import subprocess
import sys
import tempfile

checker = sys.argv[1]
failures = []

BUILD = """rule RC_COMPILER__demo
  command = cat $in {header} > $out && printf '%s: %s\\n' $out "$in {listed}" > $out.d
  depfile = $out.d
  deps = gcc
build out.res: RC_COMPILER__demo {script}
"""
# What ptrace-denied strace prints (a container's seccomp profile, no CAP_SYS_PTRACE).
DENIED = """#!/bin/sh
echo 'strace: test_ptrace_get_syscall_info: PTRACE_TRACEME: Operation not permitted' >&2
echo 'strace: ptrace(PTRACE_TRACEME, ...): Operation not permitted' >&2
exit 1
"""
# Audit architecture and ptrace's number, for a seccomp filter.
PTRACE = {"x86_64": (0xC000003E, 101), "aarch64": (0xC00000B7, 117)}


def expect(what, ok, out=""):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        print("    " + out.strip().replace("\n", "\n    "))
        failures.append(what)


def deny_ptrace():
    """In the child before exec: ptrace fails with EPERM, whatever the caller's rights."""
    arch, nr = PTRACE[platform.machine()]
    code = [(0x20, 0, 0, 4), (0x15, 0, 3, arch), (0x20, 0, 0, 0), (0x15, 0, 1, nr),
            (0x06, 0, 0, 0x00050000 | 1), (0x06, 0, 0, 0x7FFF0000)]  # ld arch, ld nr, errno EPERM, allow
    filt = ctypes.create_string_buffer(b"".join(struct.pack("HBBI", *c) for c in code))
    prog = struct.pack("@HP", len(code), ctypes.addressof(filt))  # struct sock_fprog
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(38, 1, 0, 0, 0) or libc.prctl(22, 2, ctypes.c_char_p(prog), 0, 0):  # NO_NEW_PRIVS, SECCOMP
        raise OSError(ctypes.get_errno(), "no seccomp filter")


def build(tmp, name, listed):
    """A built folder whose compile reads script.rc and header.h and records script.rc and `listed`. Its
    name is not ASCII, as strace writes such names' bytes as escapes."""
    src, out = os.path.join(tmp, name + "-Übung", "src"), os.path.join(tmp, name + "-Übung", "build")
    os.makedirs(src)
    os.makedirs(out)
    for f in ("script.rc", "header.h"):
        with open(os.path.join(src, f), "w") as w:
            w.write("1 ICON x.ico\n")
    with open(os.path.join(out, "build.ninja"), "w") as w:
        w.write(BUILD.format(script=os.path.join(src, "script.rc"), header=os.path.join(src, "header.h"),
                             listed=" ".join(os.path.join(src, f) for f in listed)))
    subprocess.run(["ninja", "-C", out], check=True, stdout=subprocess.DEVNULL)
    return out, src


def run(folders, path=None, preexec=None):
    env = dict(os.environ, PATH=path or os.environ["PATH"])
    done = subprocess.run([sys.executable, checker] + list(folders), env=env, preexec_fn=preexec,
                          capture_output=True, text=True)
    return done.returncode, done.stdout, done.stdout + done.stderr


def skipped(what, words, result):
    code, out, both = result
    lines = out.splitlines()
    expect("%s: skipped in one line (%s)" % (what, lines[0] if lines else ""),
           code == 77 and both == out and len(lines) == 1 and lines[0].startswith("skipped: ")
           and all(w in lines[0] for w in words), both)


with tempfile.TemporaryDirectory() as tmp:
    good = build(tmp, "good", ["header.h"])
    bin_dir = os.path.join(tmp, "bin")
    os.makedirs(bin_dir)
    skipped("no strace on PATH", ["strace is not installed"], run(good, path=bin_dir))
    with open(os.path.join(bin_dir, "strace"), "w") as w:
        w.write(DENIED)
    os.chmod(os.path.join(bin_dir, "strace"), 0o755)
    skipped("a strace that is denied ptrace", ["ptrace(PTRACE_TRACEME", "Operation not permitted"],
            run(good, path=bin_dir + os.pathsep + os.environ["PATH"]))
    if platform.machine() in PTRACE and shutil.which("strace"):
        skipped("strace under a seccomp filter that denies ptrace", ["Operation not permitted"],
                run(good, preexec=deny_ptrace))

    probe = subprocess.run(["strace", "-f", "-o", os.devnull, "true"], capture_output=True) \
        if shutil.which("strace") else None
    if probe is None or probe.returncode != 0:
        # The verdicts below need a strace that traces.
        print("skipped: strace cannot trace here, so a compile's verdicts are not checked")
        sys.exit(1 if failures else 77)

    code, out, both = run(good)
    expect("a compile that reads what it depends on passes", code == 0 and out.endswith("ok: out.res\n0 failed\n"),
           both)
    undeclared = build(tmp, "undeclared", [])
    code, out, both = run(undeclared)
    expect("a compile that reads a file it does not depend on fails, named",
           code == 1 and "reads %s, but does not depend on it" % os.path.join(undeclared[1], "header.h") in out
           and out.endswith("1 failed\n"), both)
    os.remove(os.path.join(good[1], "header.h"))
    code, out, both = run(good)
    expect("a compile that fails under a working strace fails, named",
           code == 1 and "FAIL: out.res\n    out.res: the compile command failed under strace (1)" in out
           and "No such file" in out and out.endswith("1 failed\n") and "Traceback" not in both, both)

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
