#!/usr/bin/env bash
# Every test: installs what is missing, builds the native, sanitized and
# Windows flavours, and runs all their tests in one CTest run (the Windows
# programs under Wine, on a private X display).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
tools/setup.sh
tools/build.sh
export LANG=ja_JP.UTF-8
status=0
tools/with-display.sh ctest --test-dir build/native --output-on-failure -j2 "$@" || status=$?
for prefix in build/windows/wineprefix*; do
  [ -d "$prefix" ] && WINEPREFIX="$PWD/$prefix" wineserver -k 2>/dev/null || true
done
exit $status
