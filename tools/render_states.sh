#!/usr/bin/env bash
# Renders the update dialog in each of its eight states against a fake
# printer and saves one screenshot per state into docs/states/.
# Builds nothing: run it after building lmx_state_viewer.
# Usage: tools/render_states.sh [build-folder] [display-number]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build/windows}" && pwd)
display=${2:-94}
viewer=$build/tests/app/lmx_state_viewer.exe
out=$root/docs/states
names=(no-device checking update-available up-to-date updating wait-disconnect completed failed)

[ -f "$viewer" ] || { echo "missing $viewer: build lmx_state_viewer first" >&2; exit 1; }
command -v import >/dev/null || { echo "imagemagick's import is needed" >&2; exit 1; }
mkdir -p "$out"

prefix=$build/wineprefix
"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all LANG=ja_JP.UTF-8 DISPLAY=:$display

xvfb_pid=
if [ ! -S /tmp/.X11-unix/X$display ]; then
  Xvfb :$display -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -S /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
fi
work=$(mktemp -d)
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

for state in 0 1 2 3 4 5 6 7; do
  ready=$work/ready-$state
  # A fresh server each time, so the virtual desktop (frames, captions) is new.
  wineserver -k 2>/dev/null || true
  wineserver -p5 2>>"$prefix/wineserver.log"
  wine explorer /desktop=shots,640x520 "$viewer" "$state" "Z:${ready//\//\\}" >/dev/null 2>&1 &
  for _ in $(seq 300); do [ -s "$ready" ] && break; sleep 0.1; done
  if [ ! -s "$ready" ]; then
    echo "state $state never came up" >&2
    exit 1
  fi
  read -r x y w h <"$ready"
  sleep 0.5
  file=$out/state-$state-${names[$state]}.png
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
  echo "$file"
done
