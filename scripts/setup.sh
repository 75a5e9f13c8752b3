#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and run Vantorel, and
# creates the Wine prefix the build uses. Safe to run any number of times.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# clang and the 32-bit C and C++ libraries build the fuzz targets natively
# (scripts/fuzz.sh; the test command builds them too).
for p in g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 gcc-mingw-w64-x86-64-win32 libz-mingw-w64-dev wine wine32:i386 cmake make googletest tmux clang libc6-dev-i386 lib32stdc++-12-dev; do
  have "$p" || need+=("$p")
done
# What a first run does takes a minute or more: say so (on stderr, which the
# demo and test scripts leave alone).
say() { echo "setup: $*" >&2; }

if [ ${#need[@]} -gt 0 ]; then
  say "installing ${need[*]} (first run only)..."
  sudo=""; [ "$(id -u)" = 0 ] || sudo="sudo"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "creating the Wine prefix $WINEPREFIX (first run only, about 10 s)..."
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
