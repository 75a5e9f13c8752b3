#!/usr/bin/env bash
# Builds build/Vantorel.zip: the files a FAR user copies into Plugins\Vantorel.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/build.sh" --target dist_zip >/dev/null
echo "$here/build/Vantorel.zip"
