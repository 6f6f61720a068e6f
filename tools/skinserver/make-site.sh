#!/usr/bin/env bash
# make-site.sh SKINMAKER SITE: lays out a skin server's site with skins drawn
# by skinmaker, for tools/skinserver/skinserver.py.
set -euo pipefail
skinmaker="$1"; site="$2"
rm -rf "$site.part"
add() { # kind group name author date [skinmaker options]
  local kind="$1" group="$2" name="$3" author="$4" date="$5"; shift 5
  local ext=acs; [ "$kind" = digital ] && ext=dcs
  mkdir -p "$site.part/skins/$ext/$group"
  "$skinmaker" "$kind" "$site.part/skins/$ext/$group/$name.$ext" --name "$name" \
    --preview "$site.part/skins/$ext/$group/$name.jpg" --sample "$@"
  printf '%s;%s;%s;%s\r\n' "$group" "$name" "$author" "$date" >>"$site.part/skins/$ext/skins.inf"
}
add analog Samples Simple "Veltran team" 2026-12-01
add analog Samples Large "Veltran team" 2026-12-02 --size 220
add analog Tiny Pocket "Veltran team" 2026-12-03 --size 100 --no-second-hand
add digital Samples "Red Digital" "Veltran team" 2026-12-01
add digital Samples "Wide Digital" "Veltran team" 2026-12-04 --glyph 20x30
rm -rf "$site"
mv "$site.part" "$site"
