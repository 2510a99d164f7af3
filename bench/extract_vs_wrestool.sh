#!/usr/bin/env bash
# Extracts every icon and cursor group from every module of the sample corpus and from a generated folder of
# COPIES copies of them: one `delvix-cli extract -r` call against a shell loop of `wrestool -x` (types 14 and
# 12, group icons and group cursors) over the same files. Page cache warm, new output folders each run, runs
# alternating; prints the best of RUNS wall times and their ratio with the target (at least 5 times faster).
# usage: bench/extract_vs_wrestool.sh BUILD_DIR [COPIES] [RUNS]
set -euo pipefail
build=${1:?build directory}
copies=${2:-500}
runs=${3:-3}
cli="$build/src/delvix-cli"
corpus="$(dirname "$0")/../../shared/corpus/pe"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
command -v wrestool > /dev/null || { echo "wrestool not found (apt-get install icoutils)" >&2; exit 1; }
[[ -d $corpus ]] || { echo "no sample corpus at $corpus" >&2; exit 1; }

work=$(mktemp -d "${BENCH_TMPDIR:-/tmp}/extract.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"
modules=("$corpus"/*.exe "$corpus"/*.dll)
for ((i = 0; i < copies; i++)); do
  module=${modules[i % ${#modules[@]}]}
  cp "$module" "$work/in/$i-$(basename "$module")"
done
cp "${modules[@]}" "$work/in/"
cat "$work"/in/* > /dev/null  # warm the page cache
count=$(find "$work/in" -type f | wc -l)

wrestool_loop() {
  local out=$1
  mkdir -p "$out"
  for file in "$work"/in/*; do
    wrestool -x -t 14 -o "$out" "$file" 2> /dev/null || true
    wrestool -x -t 12 -o "$out" "$file" 2> /dev/null || true
  done
}

# shellcheck source=bench/time_ns.sh
source "$(dirname "$0")/time_ns.sh"
ours_ns=0
theirs_ns=0
for ((i = 0; i < runs; i++)); do
  rm -rf "$work/ours" "$work/theirs"
  t=$(time_ns "$work/ours.done" "$cli" --kinds=icons,cursors extract -r "$work/in" "$work/ours")
  ((ours_ns == 0 || t < ours_ns)) && ours_ns=$t
  t=$(time_ns "$work/theirs.done" wrestool_loop "$work/theirs")
  ((theirs_ns == 0 || t < theirs_ns)) && theirs_ns=$t
done
echo "$count modules: delvix-cli extract -r $((ours_ns / 1000000)) ms, wrestool -x loop $((theirs_ns / 1000000)) ms"
echo "wrestool/delvix: $(python3 -c "print(f'{$theirs_ns / $ours_ns:.1f}')") (target: at least 5)"
