#!/usr/bin/env bash
# Builds Vantorel and shows its panel in the host emulator over the sample
# plugins tree, or, given a folder, over that folder as the personal plugins
# folder. Extra arguments after the folder go to the emulator (for example
# --keys "Down Enter" for a scripted run, --only-vantorel to load no other
# plugin, --leave hexview.dll to leave one unloaded).
#
# The demo keeps its state between runs, as a FAR installation does: its FAR
# folder (build/demo/Far, with Vantorel's cache file and whatever was
# installed into it) and its registry root (HKCU\Software\VantorelDemo, with
# Vantorel's settings). A setting changed in one run shows in the next, and
# the second scan is quick. --reset (first argument) starts afresh.
# VANTOREL_BUILD names another build folder (default build/).
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
build="$(cd "${VANTOREL_BUILD:-$here/build}" 2>/dev/null && pwd || echo "$here/build")"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
demo="$build/demo"
far="$demo/Far"
rootKey='Software\VantorelDemo\Far\Plugins'

if [ "${1:-}" = "--reset" ]; then
  shift
  rm -rf "$demo"
  "$here/scripts/wine-run.sh" reg delete 'HKCU\Software\VantorelDemo' /f >/dev/null 2>&1 || true
  echo "demo state removed: $demo and HKCU\\Software\\VantorelDemo" >&2
fi
if [ "$build" = "$here/build" ]; then "$here/scripts/build.sh" >/dev/null; else cmake --build "$build" >/dev/null; fi

args=()
fresh=0
if [ ! -f "$demo/.state" ]; then
  fresh=1
  rm -rf "$demo"
  mkdir -p "$far/Plugins/Vantorel"
fi
# A rebuilt Vantorel replaces the installed one; its cache file stays.
cp "$build/dist/"* "$far/Plugins/Vantorel/"

if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
  user="$(cd "$1" && pwd)"; shift
  args+=(--personal "$(winepath -w "$user" 2>/dev/null)")
else
  [ "$fresh" = 1 ] && cp -r "$build/sample/Far/Plugins/." "$far/Plugins/"
  args+=(--personal "$(winepath -w "$build/sample/Personal" 2>/dev/null)")
  args+=(--other "$(winepath -w "$build/sample/Downloads" 2>/dev/null)")
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
# The first run stores Vantorel's settings with "mark loaded plugins" on, so
# that the plugins the emulator loaded (all of the tree, as the host does)
# show their mark; later runs keep whatever was set since.
if [ "$fresh" = 1 ]; then
  args+=(--reg-binary 'J\Vantorel' JConfig 010000010001)
  touch "$demo/.state"
fi
exec "$here/scripts/wine-run.sh" "$build/host/farhost.exe" --host "$(winepath -w "$far" 2>/dev/null)" \
  --root "$rootKey" "${args[@]}" "$@"
