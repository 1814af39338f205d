#!/usr/bin/env bash
# The updater at work against a simulated LMX-A20 on old firmware.
# Usage: sim/demo.sh <LMXFirmwareUpdater.exe> [--out folder] [--version 0x2400]
# With $DISPLAY set you click through it; without, it drives itself on a
# private Xvfb and saves a screenshot of each state (out/demo/ by default).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exec python3 "$here/demo.py" "$@"
