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

. "$(dirname "$0")/../support/tmuxTerminal.sh"

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

[ "$failures" -eq 0 ] && echo "terminal test passed (80 and 120 columns)"
exit $((failures > 0))
