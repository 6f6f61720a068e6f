#!/usr/bin/env bash
# helpfile.sh CHM WORK: the help file has the two pages the program opens, and
# the contents file and index that the viewer lists, each naming both pages.
set -euo pipefail
chm="$1" work="$2"
fail() { echo "helpfile: $*" >&2; exit 1; }
rm -rf "$work"; mkdir -p "$work"
chmls -n list "$chm" >"$work/list.txt" 2>/dev/null || fail "chmls cannot list $chm"
for f in /General/index.htm /Skins/skinbrowser.htm /veltran.hhc /veltran.hhk; do
  grep -qx "$f" "$work/list.txt" || fail "no $f in $chm"
done
# The viewer finds the two files through the file's system record.
chmls extract "$chm" /#SYSTEM "$work/system" >/dev/null 2>&1
for f in veltran.hhc veltran.hhk; do
  grep -qa "$f" "$work/system" || fail "the system record names no $f"
done
for f in veltran.hhc veltran.hhk; do
  chmls extract "$chm" "/$f" "$work/$f" >/dev/null 2>&1
  for page in General/index.htm Skins/skinbrowser.htm; do
    grep -q "<param name=\"Local\" value=\"$page\">" "$work/$f" || fail "$f does not name $page"
  done
done
echo "helpfile: pages, contents and index found"
