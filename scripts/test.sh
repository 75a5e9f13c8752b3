#!/usr/bin/env bash
# Builds everything and runs every test under Wine; ctest's arguments pass
# through (scripts/test.sh -R KeyCommands runs the cases whose names match).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/build.sh"
export WINEPREFIX="$here/build/wineprefix" WINEDEBUG=-all
cd "$here/build"
ctest --output-on-failure --timeout 900 "$@"
