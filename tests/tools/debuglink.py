#!/usr/bin/env python3
"""debuglink.py OBJDUMP OBJCOPY EXE WORK: the program folder's executable has no
debug sections, and its debug link names the file beside it that holds them,
with the CRC a debugger checks."""
import os
import subprocess
import sys
import zlib

objdump, objcopy, exe, work = sys.argv[1:5]
os.makedirs(work, exist_ok=True)


def sections(path):
    out = subprocess.run([objdump, "-h", path], capture_output=True, text=True, check=True).stdout
    return {f[1] for f in (line.split() for line in out.splitlines()) if len(f) > 1 and f[0].isdigit()}


def fail(what):
    sys.exit("debuglink: " + what)


shipped = sections(exe)
if any(name.startswith(".debug_") for name in shipped):
    fail("%s still has debug sections: %s" % (exe, sorted(n for n in shipped if n.startswith(".debug_"))))
if ".gnu_debuglink" not in shipped:
    fail("%s has no debug link" % exe)
link = os.path.join(work, "debuglink.bin")
subprocess.run([objcopy, "--dump-section", ".gnu_debuglink=" + link, exe, os.path.join(work, "copy.exe")], check=True)
data = open(link, "rb").read()
name = data[:data.index(b"\0")].decode()
crc = int.from_bytes(data[(len(name) + 4) // 4 * 4:][:4], "little")
debug = os.path.join(os.path.dirname(exe), name)
if name != os.path.basename(exe) + ".debug" or not os.path.isfile(debug):
    fail("the link names %r, which is not beside %s" % (name, exe))
if zlib.crc32(open(debug, "rb").read()) != crc:
    fail("the CRC in the link does not match %s" % debug)
if ".debug_info" not in sections(debug):
    fail("%s holds no .debug_info" % debug)
print("debuglink: %s links %s" % (os.path.basename(exe), name))
