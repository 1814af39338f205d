#!/usr/bin/env bash
# Configures (once) and builds the given presets; all three by default:
# asan and windows first, since the native build's test run takes them in.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
presets=("$@")
((${#presets[@]} > 0)) || presets=(asan windows native)
for preset in "${presets[@]}"; do
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >"build-$preset.configure.log" 2>&1 || {
      cat "build-$preset.configure.log" >&2
      exit 1
    }
    mv "build-$preset.configure.log" "build/$preset/configure.log"
  fi
  echo "build: $preset"
  cmake --build --preset "$preset" -- -j"$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\] ' || test "${PIPESTATUS[0]}" -eq 0
done
