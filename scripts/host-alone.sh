#!/usr/bin/env bash
# The emulator stands on its own: a copy of this tree whose src/ holds only
# the fault guard (src/guard/) is configured, built and tested (ctest -R host:
# the emulator's cases, its rooms, its terminal test) in a temporary folder,
# which is removed afterwards. Fails when the emulator, its fixtures or its
# tests need anything else of the plugin.
#
#   scripts/host-alone.sh            # -j2
#   scripts/host-alone.sh -j4
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${1:--j2}"
work="$(mktemp -d "${TMPDIR:-/tmp}/host-alone.XXXXXX")"
cleanup() {
  WINEPREFIX="$work/build/wineprefix" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The tree as committed or not, without builds and without the plugin.
tar -C "$here" --exclude=./build --exclude=./.git --exclude='./build-*' -cf - . | tar -C "$work" -xf -
mkdir "$work/keep" && mv "$work/src/guard" "$work/keep/guard"
rm -rf "$work/src" && mkdir "$work/src" && mv "$work/keep/guard" "$work/src/guard" && rmdir "$work/keep"

cmake -S "$work" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/cmake/mingw-i686.cmake" \
      -DVANTOREL_FIXTURES=ON >/dev/null
cmake --build "$work/build" "$jobs" >/dev/null

export WINEPREFIX="$work/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wineserver -p 120 2>/dev/null || true
cd "$work/build"
ctest --output-on-failure --timeout 600 -R host
