#!/usr/bin/env bash
# The cold and warm open of Vantorel's panel in the released FAR 1.70 with 318
# plugin DLLs (300 copies of DrawLine, each its own DLL name in a folder of its
# own, plus FAR's standard plugins and Vantorel), as a user waits for them,
# against two floors measured in the same run under the same debugger.
#   FAR_MIRROR=<git dir of the FAR 1.70 mirror> scripts/realhost-scan.sh DIR SESSION
# FAR starts once to fill its plugin cache and quits, then starts warm (nothing
# loaded). The panel floor: FAR's own panel opening the folder that holds the
# 300 plugin folders, from the Enter to the screen. Then JCache.dat is deleted
# and Vantorel's panel opened from the disk menu: the cold open runs from the
# key to the panel on the screen (and, beside it, to the last module event in
# DIR/dbg.log). The same panel is then opened in the other half, its cache in
# place: the warm open, to the screen. Last the reference program lists and
# reads each DLL once (the read floor), then loads and frees each once.
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
realfar="$here/../shared/realhost/realfar"
dir=$1; s=$2
"$here/scripts/build.sh" --target Vantorel --target loadFreeReference >/dev/null || exit 1
"$realfar" setup "$dir" "$here/build/dist" >/dev/null || exit 1
plugins="$dir/Far/Plugins"
for i in $(seq -w 0 299); do
  d="$plugins/Copies/Draw$i"; mkdir -p "$d"
  cp "$plugins/Editor/DrawLine/DrawLine.dll" "$d/Draw$i.dll"
  cp "$plugins/Editor/DrawLine/"*.lng "$plugins/Editor/DrawLine/"*.hlf "$d/"
done
echo "plugin DLLs: $(find "$plugins" -iname '*.dll' | wc -l)"
cp "$here/build/bench/loadFreeReference.exe" "$dir/"

ms() { date +%s%3N; }
# Waits until the file stops changing for 2 s; prints the time of its last change.
settled() {
  local last; last=$(stat -c %s "$1"); local at; at=$(ms)
  while :; do
    sleep 0.02; local now; now=$(stat -c %s "$1")
    if [ "$now" != "$last" ]; then last=$now; at=$(ms); elif [ $(( $(ms) - at )) -gt 2000 ]; then break; fi
  done
  echo "$at"
}

# The first start loads every plugin to fill FAR's plugin cache: on a busy
# machine that takes longer than any fixed wait, and a FAR ended before it is
# done leaves the next start loading the rest.
# Quits FAR and waits for it to end: with every plugin loaded its quit (an
# ExitFAR and a release for each) outlasts any fixed wait, and a FAR killed
# by the next start has not had its say.
quit() {
  "$realfar" keys "$s" F10 >/dev/null
  for _ in $(seq 1 600); do [ -f "$dir/far.exit" ] && return; sleep 0.1; done
}
"$realfar" start "$dir" "$s" >/dev/null; settled "$dir/dbg.log" >/dev/null
# A start is warm only when it loaded no plugin: a first start that ended
# before it had cached every plugin leaves the next one loading the rest (and
# keeping them loaded, so the scan would not load them). Start again until one
# loads none.
for attempt in 1 2 3 4; do
  quit
  "$realfar" start "$dir" "$s" >/dev/null; settled "$dir/dbg.log" >/dev/null
  grep -qiE '^load .*(Draw[0-9]+|DrawLine|MultiArc|TmpPanel|Network|FarFtp)\.dll' "$dir/dbg.log" || break
  echo "start $attempt still loaded plugins: starting again" >&2
done
rm -f "$plugins/Vantorel/JCache.dat"
# Vantorel's digit in a disk menu (M-F1 or M-F2); a FAR still busy may not
# have drawn the menu yet: asked again after Esc.
menuDigit() {
  local d=""
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    d=$("$realfar" keys "$s" "$1" | grep -oE '[0-9]:[^│║]*Vantorel' | head -1 | cut -c1)
    [ -n "$d" ] && break
    "$realfar" keys "$s" Escape >/dev/null; sleep 1
  done
  echo "$d"
}
shows() { tmux capture-pane -t "$s" -p | grep -o "$1" | wc -l; }
# Waits until the screen shows $1 at least $2 times (at most a minute);
# prints the milliseconds since $3.
onScreen() {
  until [ "$(shows "$1")" -ge "$2" ] || [ $(( $(ms) - $3 )) -gt 60000 ]; do sleep 0.01; done
  echo $(( $(ms) - $3 ))
}
# Types a command on FAR's command line and runs it; prints the time of the Enter.
runCommand() {
  tmux send-keys -t "$s" -l "$1"; sleep 0.5
  local at; at=$(ms); tmux send-keys -t "$s" Enter; echo "$at"
}
# The panel floor: FAR's own panel opening the folder that holds the plugin
# folders, to the screen; then back to FAR's folder, where none shows.
t0=$(runCommand "cd $(WINEPREFIX="$dir/wpfx" winepath -w "$plugins/Copies" 2>/dev/null)")
panelFloor=$(onScreen Draw000 1 "$t0")
echo "panel floor: $panelFloor ms (FAR's panel opening the folder of the 300 plugin folders, to the screen)"
runCommand "cd $(WINEPREFIX="$dir/wpfx" winepath -w "$dir/Far" 2>/dev/null)" >/dev/null
until [ "$(shows Draw000)" -eq 0 ]; do sleep 0.05; done
digit=$(menuDigit M-F1)
before=$(wc -l < "$dir/dbg.log")
t0=$(ms); tmux send-keys -t "$s" "$digit"
settled "$dir/dbg.log" > "$dir/settled" & settler=$!
coldScreen=$(onScreen Draw000 1 "$t0"); wait $settler
echo "cold open: $coldScreen ms to the panel on the screen, $(( $(cat "$dir/settled") - t0 )) ms to the last module event (or to the start of the wait, when there was none)"
tail -n +"$((before + 1))" "$dir/dbg.log" | tr -d '\r' > "$dir/cold.log"
echo "  module loads $(grep -c '^load ' "$dir/cold.log"), unloads $(grep -c '^unload ' "$dir/cold.log")"
echo "  plugin DLLs loaded: $(grep -ciE '^load .*(Draw[0-9]+|Compare|EMenu|Align|AutoWrap|Brackets|DrawLine|EditCase|FARCmds|FarFtp|FileCase|HlfViewer|MultiArc|Network|PrintMan|Proclist|TmpPanel)\.dll' "$dir/cold.log"), modules loaded twice: $(grep '^load ' "$dir/cold.log" | awk '{print $3}' | sort | uniq -d | tr '\n' ' ')"
grep '^load ' "$dir/cold.log" | awk '{print $3}' | sort > "$dir/loads"
grep '^unload ' "$dir/cold.log" | awk '{print $2}' | sort > "$dir/unloads"
echo "  left loaded: $(comm -23 "$dir/loads" "$dir/unloads" | tr '\n' ' ')"
# The list as the user sees it (the description column), for comparing scans.
tmux capture-pane -t "$s" -p > "$dir/cold.screen"
# The warm open: the same panel in the other half (Alt+F2), cache in place.
digit2=$(menuDigit M-F2)
t0=$(ms); tmux send-keys -t "$s" "$digit2"
warmScreen=$(onScreen Draw000 2 "$t0")
echo "warm open: $warmScreen ms (to the panel on the screen)"
quit; "$realfar" stop "$s"

wdir=$(WINEPREFIX="$dir/wpfx" winepath -w "$plugins" 2>/dev/null)
# The read floor first: once Wine has loaded and released DLLs, reading them costs more.
for mode in read load; do
  for run in 1 2 3; do
    arg=""; [ $mode = read ] && arg=" read"
    (cd "$dir" && WINEPREFIX="$dir/wpfx" WINEDEBUG=-all wine fdbg.exe 'ref.log' "loadFreeReference.exe $wdir Vantorel.dll$arg")
  done
done
