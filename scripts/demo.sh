#!/usr/bin/env bash
# Builds Vantorel and shows its panel in the host emulator over the sample
# plugins tree, or, given a folder, over that folder as the personal plugins
# folder. Extra arguments after the folder go to the emulator (for example
# --keys "Down Enter" for a scripted run, --only-vantorel to load no other
# plugin, --leave hexview.dll to leave one unloaded).
#
# Over the sample tree the other panel shows the sample's Downloads folder:
# Tab switches panels, Ins selects, F5 copies onto Vantorel's panel, which
# installs a plugin DLL with its companions, a plugin folder or a zipped
# plugin. Scripted, the same with --drop FOLDER NAME...:
#   scripts/demo.sh --drop build/sample/Downloads weather.dll weather.hlf WeathEng.lng readme.txt
#   scripts/demo.sh --drop build/sample/Downloads Colorer
#   scripts/demo.sh --drop build/sample/Downloads NetTool.zip
# Folders after --drop and --other may be given as Linux paths.
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
  args+=(--other "$(winepath -w "$here/build/sample/Downloads" 2>/dev/null)")
fi
# The emulator runs in Wine: folders it is given become Windows paths.
rest=()
while [ $# -gt 0 ]; do
  case "$1" in
    --drop|--other)
      rest+=("$1"); shift
      if [ $# -gt 0 ]; then
        if [ -d "$1" ]; then rest+=("$(winepath -w "$(cd "$1" && pwd)" 2>/dev/null)"); else rest+=("$1"); fi
        shift
      fi ;;
    *) rest+=("$1"); shift ;;
  esac
done
set -- ${rest[@]+"${rest[@]}"}
# Vantorel's stored settings with "mark loaded plugins" on, so that the plugins
# the emulator loaded (all of the tree, as the host does) show their mark.
args+=(--reg-binary 'J\Vantorel' JConfig 010000010001)
exec "$here/scripts/wine-run.sh" "$here/build/host/farhost.exe" --host "$(winepath -w "$far" 2>/dev/null)" "${args[@]}" "$@"
