#!/usr/bin/env bash
# Builds everything and runs every test under Wine; ctest's arguments pass
# through (scripts/test.sh -R KeyCommands runs the cases whose names match).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/build.sh"
export WINEPREFIX="$here/build/wineprefix" WINEDEBUG=-all
# Every test case is a Wine process of its own: a wineserver that stays up
# between them saves a second or more each.
wineserver -p 120 2>/dev/null || true
cd "$here/build"
ctest --output-on-failure --timeout 900 "$@"
