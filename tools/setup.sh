#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on Debian 12:
# the mingw-w64 cross compiler, 32-bit Wine, Xvfb, Japanese fonts and locale,
# GoogleTest (native library and sources) and Google Benchmark. Does nothing
# slow when all of it is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386
  xvfb xauth xdotool imagemagick fonts-ipafont-gothic locales
  libgtest-dev libgmock-dev googletest libbenchmark-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]}; run this as root (apt-get needs it)." >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  # wine32 lives in the i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  if ! apt-get update -qq; then
    echo "setup: apt-get update failed; check the network and /etc/apt/sources.list." >&2
    exit 1
  fi
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/tmp/lmx-setup-apt.log 2>&1; then
    echo "setup: could not install: ${missing[*]} (apt's output: /tmp/lmx-setup-apt.log)" >&2
    tail -n 20 /tmp/lmx-setup-apt.log >&2
    exit 1
  fi
fi

# A Japanese locale makes Wine run as a Japanese system (code page 932), as
# on the users' machines.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  if [ "$(id -u)" -eq 0 ]; then
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "setup: no ja_JP.UTF-8 locale; Wine will run as a Western system." >&2
  fi
fi
