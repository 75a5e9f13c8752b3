#!/usr/bin/env bash
# Vantorel at a real terminal, in farhost: tmux plays the terminal, sends the
# keys a person would type and reads the screen.
# Usage: terminalTest.sh BUILD_DIR   (WINEPREFIX as for the other tests)
set -uo pipefail
build="$(cd "${1:?build folder}" && pwd)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
work="$(mktemp -d)"
session="vantorel-terminal-$$"
cleanup() { tmux kill-session -t "$session" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 1' INT TERM
failures=0
. "$(dirname "$0")/../support/tmuxTerminal.sh"

# Esc during a long copy onto Vantorel's panel: only a real console carries
# the key to the plugin while it copies.
width=100
far="$work/Far"; mkdir -p "$far/Plugins/Vantorel" "$work/dl/Many"
cp "$build"/dist-test/* "$far/Plugins/Vantorel/"
for i in $(seq 1 3000); do echo x > "$work/dl/Many/f$i.txt"; done
rm -f "$work/exit"
tmux kill-session -t "$session" 2>/dev/null
tmux new-session -d -s "$session" -x "$width" -y 30 \
  "wine '$build/host/farhost.exe' --host '$(winepath -w "$far" 2>/dev/null)' --only-vantorel --other '$(winepath -w "$work/dl" 2>/dev/null)'; echo \$? > '$work/exit'; sleep 120"
expect "Vantorel" "Vantorel's panel beside the folder panel"
press Tab Down IC F5; expect "Copy \"Many\" to" "the host's copy question for the selected folder"
press Enter; expect "Install these folders as plugins?" "Vantorel's question"
# Esc typed right behind the answer waits in the console for the copy to look.
press Enter Escape; expect "Stop copying?" "Esc asks whether to stop"
press y; expect "Stopped by the user" "the closing box says the copy was stopped"
expect "|-----" "the separator above the box's button"
copied=$(ls "$far/Plugins/Many" 2>/dev/null | wc -l)
[ "$copied" -lt 3000 ] || fail "a stopped copy copies no more (found $copied of 3000)"
# What was copied stays, and the box says whether anything was.
if [ "$copied" -gt 0 ]; then expect "Not everything was installed:" "part of the folder is there"
else expect "Nothing was installed:" "nothing was copied"; fi
press Enter Tab; expect "* Many" "the folder that was not installed whole stays selected"
press F10
for _ in $(seq 1 100); do [ -s "$work/exit" ] && break; sleep 0.2; done
[ "$(cat "$work/exit" 2>/dev/null)" = "0" ] || fail "F10 quits with exit code 0 (got $(cat "$work/exit" 2>/dev/null))"

[ "$failures" -eq 0 ] && echo "terminal test passed (Vantorel's copy stopped with Esc)"
exit $((failures > 0))
