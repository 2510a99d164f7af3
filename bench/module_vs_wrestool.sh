#!/usr/bin/env bash
# Reads every icon, cursor and bitmap of a module (delvix-cli tree decodes each image) against
# `wrestool -l` (icoutils) listing the same module, RUNS times each; prints both times and the ratio.
# usage: bench/module_vs_wrestool.sh BUILD_DIR [MODULE] [RUNS]
set -euo pipefail
build=${1:?build directory}
module=${2:-$(dirname "$0")/../../shared/corpus/pe/wine64-user32.dll}
runs=${3:-20}
command -v wrestool > /dev/null || { echo "wrestool not found (apt-get install icoutils)" >&2; exit 1; }
time_of() {
  local start end
  start=$(date +%s%N)
  for ((i = 0; i < runs; i++)); do "$@" > /dev/null 2>&1; done
  end=$(date +%s%N)
  echo $(((end - start) / runs / 1000))
}
ours=$(time_of "$build/src/delvix-cli" tree "$module")
peer=$(time_of wrestool -l "$module")
echo "delvix-cli tree: ${ours} us per run; wrestool -l: ${peer} us per run; ratio $(awk "BEGIN{printf \"%.2f\", $ours/$peer}")"
