#!/usr/bin/env bash
# Extracts every icon and cursor group from every module of the sample corpus and from a generated folder of
# COPIES copies of them: one `delvix-cli extract -r` call against a shell loop of `wrestool -x` (types 14 and
# 12, group icons and group cursors) over the same files. Page cache warm, new output folders each run, runs
# alternating; prints the median, fastest and slowest of RUNS wall times of each and the ratio of the medians
# (target: at least 5 times faster).
# usage: bench/extract_vs_wrestool.sh BUILD_DIR [COPIES] [RUNS]
set -euo pipefail
build=${1:?build directory}
copies=${2:-500}
runs=${3:-7}
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

# Each run writes into a new folder, removed after it (the same cost on both sides).
cat > "$work/ours.sh" << EOF
out=\$(mktemp -d "$work/ours.XXXXXX") && "$cli" -q --kinds=icons,cursors extract -r "$work/in" "\$out"; rm -rf "\$out"
EOF
cat > "$work/theirs.sh" << EOF
out=\$(mktemp -d "$work/theirs.XXXXXX")
for file in "$work"/in/*; do
  wrestool -x -t 14 -o "\$out" "\$file" 2> /dev/null
  wrestool -x -t 12 -o "\$out" "\$file" 2> /dev/null
done
rm -rf "\$out"
EOF
echo "$count modules, every icon and cursor group (target: delvix-cli at least 5 times faster)"
python3 "$(dirname "$0")/compare_runs.py" "$runs" "delvix-cli extract -r" -- bash "$work/ours.sh" --- \
  "wrestool -x loop" -- bash "$work/theirs.sh"
