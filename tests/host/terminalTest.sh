#!/usr/bin/env bash
# farhost with a person at a real terminal: tmux plays the terminal (80 and
# 120 columns), sends the keys a person would type and reads the screen.
# Usage: terminalTest.sh BUILD_DIR   (WINEPREFIX as for the other tests)
set -uo pipefail
build="$(cd "${1:?build folder}" && pwd)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
work="$(mktemp -d)"
session="farhost-terminal-$$"
cleanup() { tmux kill-session -t "$session" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 1' INT TERM
cp -r "$build/fixtures/panel" "$work/panel"
plugin="$(winepath -w "$work/panel/panel.dll" 2>/dev/null)"
failures=0

screen() { tmux capture-pane -p -t "$session"; }
fail() { echo "FAIL ($width columns): $1"; echo "---- screen:"; screen; echo "----"; failures=$((failures + 1)); }
# Waits until the screen shows the text (a fixed string), up to 20 s.
await() {
  for _ in $(seq 1 100); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.2
  done
  return 1
}
press() { tmux send-keys -t "$session" "$@"; }
expect() { await "$1" || fail "$2: no \"$1\""; }

for width in 80 120; do
  rm -f "$work/exit"
  tmux kill-session -t "$session" 2>/dev/null
  tmux new-session -d -s "$session" -x "$width" -y 25 \
    "wine '$build/host/farhost.exe' --plugin '$plugin' --codepage 866; echo \$? > '$work/exit'; sleep 120"
  expect "Sample panel" "the panel at start"
  title="$(screen | grep -F 'Sample panel' | head -1)"
  [ "${#title}" -eq $((width - 1)) ] || fail "the title line is ${#title} columns, not the console's $((width - 1))"
  [ "$(screen | grep -c 'Sample panel')" -eq 1 ] || fail "the panel is drawn more than once"

  press Down;  expect ">   controls.txt" "Down moves the cursor"
  press Up Enter; expect "Sample panel: Folder" "Enter opens the folder"
  expect "inner.txt" "the folder's items"
  press Escape; expect ">   Folder" "Esc inside a folder goes up; the cursor stands on the folder it came from"
  [ -s "$work/exit" ] && fail "Esc inside a folder quit"
  press Down Down IC; expect "   *progress.txt" "Ins selects the item"
  expect ">   readme.txt" "Ins moves the cursor down"
  press M-z;   expect "Read me first" "Alt+Z shows the descriptions"
  expect "Привет" "866 text shown as itself (no double conversion)"
  press F7;    expect "Make a new folder?" "F7's question"
  expect "[ Yes ] [ No ]" "the question's buttons"
  press y;     expect "New folder" "the answer Yes given with the keyboard"
  press F2;    expect "Sort by" "F2's menu"
  expect "> 3 Size" "the menu's preselected item"
  press Up Up Enter; expect "Sample panel [Name]" "the menu item chosen with the keyboard"
  press F6;    expect "(Enter keeps it)" "the input box asks for its edit line"
  press R e n a m e d Enter; expect "Enter = OK" "the input box's buttons"
  press Enter; expect "= Renamed =" "the text typed into the input box"
  press F11;   expect '"Plugin commands" [Sample panel]' "F11 builds the host's plugins menu"
  press F1;    expect "A small panel for the host emulator's tests." "F1 shows the plugin's help topic"
  press Space; await "any key closes the help" && sleep 0.5
  screen | grep -qF "any key closes the help" && fail "a key closes the help"
  press Escape
  for _ in $(seq 1 100); do [ -s "$work/exit" ] && break; sleep 0.2; done
  [ "$(cat "$work/exit" 2>/dev/null)" = "0" ] || fail "Esc at the top quits with exit code 0 (got $(cat "$work/exit" 2>/dev/null))"
  expect "--- problems ---" "the records at the end"
done

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

[ "$failures" -eq 0 ] && echo "terminal test passed (80 and 120 columns)"
exit $((failures > 0))
