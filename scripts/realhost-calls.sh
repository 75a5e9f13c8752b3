#!/usr/bin/env bash
# Records, in the released FAR 1.70 under Wine, the calls the host makes into
# the call-logging fixture for the key scripts whose records the emulator's
# tests compare with (tests/host/data/realhost-far170-b2087-*.log), and shows
# how a fresh record differs from the kept one. Only for checks by hand: it
# needs FAR_MIRROR (a mirror holding the released Far/ folder) and the runner
# REALFAR (default: ../shared/realhost/realfar beside this repository);
# without them it says so and does nothing. The tests never need it.
#
#   scripts/realhost-calls.sh [calls|claim|mods] [WORKDIR]
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
which=${1:-calls}
work=${2:-/tmp/vantorel-realhost-calls}
realfar=${REALFAR:-$here/../shared/realhost/realfar}
build=${VANTOREL_BUILD:-$here/build}
if [ -z "${FAR_MIRROR:-}" ] || [ ! -x "$realfar" ]; then
  echo "realhost-calls: skipped (set FAR_MIRROR, and REALFAR if the runner is elsewhere)"
  exit 0
fi
case "$which" in
  calls) fixture=calllog; keys=(Down Enter PPage Enter F2 F10 Enter) ;;
  claim) fixture=calllogclaim; keys=(Down F10 Enter F10 Enter) ;;
  mods) fixture=calllog; keys=(C-r C-F3 F10 Enter) ;;
  *) echo "realhost-calls: calls, claim or mods"; exit 2 ;;
esac
dll="$build/fixtures/$fixture/$fixture.dll"
[ -f "$dll" ] || { echo "realhost-calls: build the fixtures first (no $dll)"; exit 1; }
session="realhost-calls-$$"

# The runner lays out FAR with a Vantorel build; the logger goes beside it,
# alone in the disk menu's first plugin place, and the host starts with no
# plugin cache so that it loads every plugin at start.
"$realfar" setup "$work" "$build/dist" >/dev/null || exit 1
rm -rf "$work/Far/Plugins/Vantorel"
mkdir -p "$work/Far/Plugins/CallLog"
cp "$dll" "$work/Far/Plugins/CallLog/"
log="$work/Far/Plugins/CallLog/$fixture.dll.log"
rm -f "$log"
WINEPREFIX="$work/wpfx" WINEDEBUG=-all wine reg delete 'HKCU\Software\Far\PluginsCache' /f >/dev/null 2>&1
"$realfar" start "$work" "$session" >/dev/null
sleep 5
"$realfar" keys "$session" M-F1 >/dev/null
"$realfar" keys "$session" 0 >/dev/null
for k in "${keys[@]}"; do "$realfar" keys "$session" "$k" >/dev/null; done
sleep 3
"$realfar" stop "$session" 2>/dev/null
echo "FAR: $(cat "$work/far.exit" 2>/dev/null || echo 'still running')"
kept="$here/tests/host/data/realhost-far170-b2087-$which.log"
echo "fresh record: $log"
diff <(grep -v '^#' "$kept") "$log" && echo "the same as $kept"
exit 0
