#!/usr/bin/env bash
# Times `delvix-cli extract` against icoutils' wrestool extracting the same icon and cursor groups
# (-x -t14 and -x -t12) from one module, each run ROUNDS times in turn, and prints the ratio.
# Usage: bench/extract_vs_wrestool.sh [MODULE] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
module="${1:-$root/../shared/corpus/pe/wine64-user32.dll}"
rounds="${2:-20}"
cli="$root/build/src/delvix-cli"
[[ -x "$cli" ]] || { echo "build first: scripts/build.sh" >&2; exit 2; }
command -v wrestool > /dev/null || { echo "wrestool (icoutils) is not installed" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

now() { date +%s%N; }
delvix_total=0
wrestool_total=0
for ((i = 0; i < rounds; i++)); do
  rm -rf "$work/d" "$work/w" && mkdir -p "$work/d" "$work/w"
  start=$(now)
  "$cli" --kinds=icons,cursors extract "$module" "$work/d" > /dev/null 2>&1
  delvix_total=$((delvix_total + $(now) - start))
  start=$(now)
  wrestool -x -t14 -o "$work/w" "$module" 2> /dev/null
  wrestool -x -t12 -o "$work/w" "$module" 2> /dev/null
  wrestool_total=$((wrestool_total + $(now) - start))
done

files_d=$(find "$work/d" -type f | wc -l)
files_w=$(find "$work/w" -type f | wc -l)
awk -v d="$delvix_total" -v w="$wrestool_total" -v n="$rounds" -v fd="$files_d" -v fw="$files_w" -v m="$(basename "$module")" 'BEGIN {
  printf "module %s, %d rounds\n", m, n
  printf "delvix-cli extract: %.2f ms per run, %d files\n", d / n / 1e6, fd
  printf "wrestool -t14 -t12: %.2f ms per run, %d files\n", w / n / 1e6, fw
  printf "ratio delvix/wrestool: %.2f (below 1 is faster)\n", d / w
}'
