#!/usr/bin/env bash
# Makes sure a 32-bit Wine prefix exists at the given folder and is ready:
# booted, with Japanese fonts standing in for the Windows ones, and with a
# wineserver whose chatter goes to a log instead of the test output.
# Usage: tools/wine-prefix.sh <prefix>
set -euo pipefail
prefix=$(realpath -m "$1")
mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
(
  flock 9
  if [ ! -f "$prefix/.lmx-ready" ]; then
    wineboot -i >"$prefix/wineboot.log" 2>&1 || true
    cat >"$prefix/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"Tahoma"="IPAPGothic"
REG
    wine regedit "$prefix/fonts.reg" >>"$prefix/wineboot.log" 2>&1
    wineserver -w
    touch "$prefix/.lmx-ready"
  fi
) 9>"$prefix.lock"
