#!/usr/bin/env bash
# Exports every picture of every icon and cursor of the sample corpus as PNG, one process per file as a user's
# script does it, with `delvix-cli export`, ImageMagick's `convert FILE out-%d.png` and icoutils'
# `icotool -x`; the tools take turns, ROUNDS times, and the fastest and median times of a whole pass and their
# ratios are printed. `delvix-cli help` run as often shows what starting the processes alone costs; the
# ratios above that floor compare the work the tools do once started.
# The output goes to a fresh folder under BENCH_TMPDIR (TMPDIR, /tmp by default); on a tmpfs such as
# /dev/shm the file system's bookkeeping weighs less in the figures.
# Usage: bench/export_vs_peers.sh [BUILD_DIR] [ROUNDS] [CORPUS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
rounds="${2:-10}"
corpus="${3:-$root/../shared/corpus}"
cli="$build/src/delvix-cli"
[[ -x "$cli" ]] || { echo "build first: scripts/build.sh" >&2; exit 2; }
command -v convert > /dev/null || { echo "convert (imagemagick) is not installed" >&2; exit 2; }
command -v icotool > /dev/null || { echo "icotool (icoutils) is not installed" >&2; exit 2; }
shopt -s nullglob
files=("$corpus"/ico/*.ico "$corpus"/cur/*.cur)
((${#files[@]})) || { echo "no .ico or .cur files in $corpus" >&2; exit 2; }

work="$(mktemp -d "${BENCH_TMPDIR:-${TMPDIR:-/tmp}}/export-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# Each writes into its own folder $1; delvix-cli names its files picture_N, so it takes a folder per file.
run_start() { for f in "${files[@]}"; do "$cli" help; done; }
run_delvix() { for f in "${files[@]}"; do "$cli" export "$f" "$1/${f##*/}" --format png; done; }
run_convert() { for f in "${files[@]}"; do convert "$f" "$1/${f##*/}-%d.png"; done; }
run_icotool() { for f in "${files[@]}"; do icotool -x -o "$1" "$f"; done; }
tools=(start delvix convert icotool)

now() { date +%s%N; }
declare -A times
for ((i = 0; i <= rounds; i++)); do  # round 0 warms the page cache and is not counted
  for tool in "${tools[@]}"; do
    rm -rf "${work:?}/$tool" && mkdir -p "$work/$tool"
    start=$(now)
    "run_$tool" "$work/$tool" > /dev/null 2>&1 || true
    ((i == 0)) || times[$tool]+="$(($(now) - start)) "
  done
done

echo "${#files[@]} files, $rounds rounds, one process per file, output in $(df --output=fstype "$work" | tail -1)"
for tool in "${tools[@]}"; do
  echo "$tool $(find "$work/$tool" -type f | wc -l) ${times[$tool]}"
done | awk '
  function sort(a, n,   i, j, t) { for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t } }
  {
    n = split(substr($0, index($0, $3)), t, " "); sort(t, n)
    fastest[$1] = t[1]; median[$1] = n % 2 ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2
    label = $1 == "start" ? "start (delvix-cli help)" : $1
    printf "%-24s %3d pictures, fastest %7.1f ms, median %7.1f ms\n", label, $2, t[1] / 1e6, median[$1] / 1e6
  }
  END {
    for (peer in fastest) if (peer != "delvix" && peer != "start") {
      printf "ratio %s / delvix: fastest %.1f, median %.1f; above the start-up floor: fastest %.1f, median %.1f\n",
             peer, fastest[peer] / fastest["delvix"], median[peer] / median["delvix"],
             (fastest[peer] - fastest["start"]) / (fastest["delvix"] - fastest["start"]),
             (median[peer] - median["start"]) / (median["delvix"] - median["start"])
    }
    print "(above 1: delvix-cli is faster)"
  }'
