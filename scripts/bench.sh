#!/usr/bin/env bash
# Builds and runs the scan benchmark (trees of 50, 200 and 1000 plugins, or the sizes given).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/build.sh" --target scan_bench >/dev/null
exec "$here/scripts/wine-run.sh" "$here/build/bench/scan_bench.exe" "$@"
