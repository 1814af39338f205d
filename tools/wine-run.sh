#!/usr/bin/env bash
# Runs one Windows program under 32-bit Wine in the given prefix, creating
# the prefix on first use (Japanese font replacements included).
# Usage: tools/wine-run.sh <prefix> <program.exe> [args...]
set -euo pipefail
prefix=$(realpath -m "$1")
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
# Our own server first, so its occasional object dumps land in a log.
wineserver -p5 2>>"$prefix/wineserver.log" || true
exec wine "$@"
