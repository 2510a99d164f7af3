#!/usr/bin/env bash
# Prints every pixel of a 256 x 256 32-bit icon: every page of its pixel table with `delvix-cli fields
# --page=all`, against ImageMagick's `convert 'f.ico[0]' txt:-`, ROUNDS times each in turn; the median times
# and their ratio (the table's time over convert's; the target is 0.1 or less).
# Usage: bench/pixel_pages_vs_convert.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
rounds="${2:-5}"
cli="$build/src/delvix-cli"
[[ -x "$cli" ]] || { echo "build first: scripts/build.sh" >&2; exit 2; }
for tool in convert icotool; do command -v "$tool" > /dev/null || { echo "$tool is not installed" >&2; exit 2; }; done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
convert -size 256x256 plasma:fractal -alpha set -channel A -fx 'i/w' +channel "$work/big.png"
icotool -c -o "$work/big.ico" "$work/big.png"

now() { date +%s%N; }
declare -a table peer
for ((i = 0; i < rounds; i++)); do
  start=$(now)
  "$cli" fields "$work/big.ico" picture_1/color_bitmap --show=color --page=all > /dev/null
  table+=($(($(now) - start)))
  start=$(now)
  convert "$work/big.ico[0]" txt:- > /dev/null
  peer+=($(($(now) - start)))
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
t=$(median "${table[@]}")
p=$(median "${peer[@]}")
awk -v t="$t" -v p="$p" -v r="$rounds" 'BEGIN {
  printf "65536 pixels, %d rounds: delvix-cli fields --page=all %.1f ms, convert txt:- %.1f ms, ratio %.3f\n", r, t / 1e6, p / 1e6, t / p
}'
