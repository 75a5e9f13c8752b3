#!/usr/bin/env bash
# Builds and runs a benchmark: the scan benchmark (trees of 50, 200 and 1000
# plugins, or the sizes given), or with `soak` first the soak benchmark (the
# emulator's and Vantorel's memory over 1000 cycles, or the count given).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bench=scan_bench
if [ "${1:-}" = soak ]; then bench=soak_bench; shift; fi
"$here/scripts/build.sh" --target "$bench" >/dev/null
exec "$here/scripts/wine-run.sh" "$here/build/bench/$bench.exe" "$@"
