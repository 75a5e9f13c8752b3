#!/usr/bin/env bash
# Builds everything and runs every test under Wine; ctest's arguments pass
# through (scripts/test.sh -R KeyCommands runs the cases whose names match).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/build.sh"
export WINEPREFIX="$here/build/wineprefix" WINEDEBUG=-all
# Every test case is a Wine process of its own. A wineserver that stays up
# between them, with the prefix's services started here rather than by the
# first case (ctest would wait for those to close the case's output), saves
# seconds a case.
wineserver -p 120 2>/dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
cd "$here/build"
ctest --output-on-failure --timeout 900 "$@"
