#!/usr/bin/env bash
# Runs a command with an X display: the caller's, or a private Xvfb started
# for the command and stopped after it.
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
for n in $(seq 40 89); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$n" ] && break
  sleep 0.1
done
[ -e "/tmp/.X11-unix/X$n" ] || { echo "with-display: Xvfb :$n did not start" >&2; exit 1; }
export DISPLAY=":$n"
"$@"
