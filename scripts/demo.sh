#!/usr/bin/env bash
# Builds Vantorel and shows its panel in the host emulator over the sample
# plugins tree, or, given a folder, over that folder as the personal plugins
# folder. Extra arguments after the folder go to the emulator (for example
# --keys "Down Enter" for a scripted run, --only-vantorel to load no other
# plugin, --leave hexview.dll to leave one unloaded).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/build.sh" >/dev/null
export WINEPREFIX="$here/build/wineprefix" WINEDEBUG=-all

far="$here/build/demo/Far"
rm -rf "$here/build/demo"
mkdir -p "$far/Plugins/Vantorel"
cp "$here/build/dist/"* "$far/Plugins/Vantorel/"

args=()
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
  user="$(cd "$1" && pwd)"; shift
  args+=(--personal "$(winepath -w "$user" 2>/dev/null)")
else
  cp -r "$here/build/sample/Far/Plugins/." "$far/Plugins/"
  args+=(--personal "$(winepath -w "$here/build/sample/Personal" 2>/dev/null)")
fi
# Vantorel's stored settings with "mark loaded plugins" on, so that the plugins
# the emulator loaded (all of the tree, as the host does) show their mark.
args+=(--reg-binary 'J\Vantorel' JConfig 010000010001)
exec "$here/scripts/wine-run.sh" "$here/build/host/farhost.exe" --host "$(winepath -w "$far" 2>/dev/null)" "${args[@]}" "$@"
