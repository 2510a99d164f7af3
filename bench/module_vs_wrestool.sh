#!/usr/bin/env bash
# Reads every icon, cursor and bitmap of a module (delvix-cli tree decodes each image) against
# `wrestool -l` (icoutils) listing the same module, in turn, ROUNDS times each; prints the fastest and
# median times and their ratios.
# usage: bench/module_vs_wrestool.sh BUILD_DIR [MODULE] [ROUNDS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build=${1:?build directory}
module=${2:-$here/../../shared/corpus/pe/wine64-user32.dll}
rounds=${3:-40}
command -v wrestool > /dev/null || { echo "wrestool not found (apt-get install icoutils)" >&2; exit 1; }
echo "module $(basename "$module"), $rounds rounds"
python3 "$here/compare_runs.py" "$rounds" "delvix-cli tree" -- "$build/src/delvix-cli" tree "$module" \
  --- "wrestool -l" -- wrestool -l "$module"
