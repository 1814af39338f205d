#!/usr/bin/env bash
# The main job: installs what is missing, builds the Windows program and
# shows it at work against a simulated printer under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
tools/setup.sh
tools/build.sh windows
exe=build/windows/app/LMXFirmwareUpdater.exe
if [ -f "$exe" ] && [ -x sim/demo.sh ]; then
  exec sim/demo.sh "$exe" "$@"
fi
echo "built:"
find build/windows -maxdepth 3 -name '*.exe' -newer CMakeLists.txt -printf '  %p (%s bytes)\n' | sort
