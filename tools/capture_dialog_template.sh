#!/usr/bin/env bash
# Photographs the update dialog's template as Wine draws it: starts its own
# Xvfb, opens tests/res's res_dialog_probe.exe (template 102 with strings
# 1011 and 1101 filled in) on a Wine virtual desktop, so the window has its
# frame and caption, and crops the capture to the window.
# The shot uses a copy of the build's Wine prefix in which "MS UI Gothic" is
# drawn with IPAPGothic: like the Windows font it is proportional in its
# Latin letters, so labels measured for it ("Version x.xx" in 40 dialog
# units) fit as they do on Windows. The monospaced IPAGothic of the test
# prefix makes that label wrap and cuts it to "Version".
# Usage: tools/capture_dialog_template.sh <build folder> [out.png] [display]
# The build folder is a Windows build with res_dialog_probe built.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$1" && pwd)
out=${2:-$here/../docs/dialog-template.png}
display=${3:-92}
probe=$build/tests/res/res_dialog_probe.exe
[ -f "$probe" ] || { echo "no $probe: build the res_dialog_probe target first" >&2; exit 1; }

work=$(mktemp -d "$build/dialog-shot.XXXXXX")
prefix=$work/prefix
xvfb_pid=
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb ":$display" -screen 0 640x520x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -S "/tmp/.X11-unix/X$display" ] || { echo "Xvfb :$display did not start" >&2; exit 1; }

"$here/wine-prefix.sh" "$build/wineprefix"
cp -a "$build/wineprefix" "$prefix"
cat >"$work/proportional.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAPGothic"
REG
export DISPLAY=:$display WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
if locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$'; then export LANG=ja_JP.UTF-8; fi
wineserver -p5 2>>"$work/wineserver.log" || true
wine regedit "$work/proportional.reg" >"$work/regedit.log" 2>&1
# The probe closes itself after 30 s; the picture is taken long before.
wine explorer /desktop=lmxshot,640x520 "$probe" 30 >"$work/wine.log" 2>&1 &

# Wait until something other than the empty desktop shows, then let it settle.
for _ in $(seq 60); do
  sleep 0.5
  import -display ":$display" -window root "$work/full.png" 2>/dev/null || continue
  colours=$(convert "$work/full.png" -format '%k' info:)
  [ "$colours" -gt 8 ] && break
done
sleep 2
import -display ":$display" -window root "$work/full.png"

# The dialog sits at the desktop's top left; the desktop colour, taken from
# the far corner, is trimmed away around it.
desktop=$(convert "$work/full.png" -format '%[pixel:p{639,519}]' info:)
convert "$work/full.png" -bordercolor "$desktop" -border 1 -fuzz 2% -trim +repage -strip "$out"
echo "wrote $out ($(identify -format '%wx%h' "$out"))"
