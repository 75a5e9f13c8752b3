#!/usr/bin/env bash
# Configures and builds everything (plugin, host emulator, fixtures, tests) in build/.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
toolchain=()
if [ ! -f "$here/build/CMakeCache.txt" ]; then
  toolchain=(-DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake")
  echo "build: configuring and building everything in build/ (first run: a few minutes on two cores)..." >&2
fi
cmake -S "$here" -B "$here/build" "${toolchain[@]}" -DVANTOREL_FIXTURES=ON >/dev/null
cmake --build "$here/build" -j"$(nproc)" "$@"
