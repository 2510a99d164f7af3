#!/usr/bin/env bash
# Exports every picture of every icon and cursor of the sample corpus as PNG, one process per file as a user's
# script does it, with `delvix-cli export FILE DIR --format png`, ImageMagick's `convert FILE out-%d.png` and
# icoutils' `icotool -x`. The tools take turns on each file (delvix, convert, icotool, then the next file), ROUNDS
# times, so that the machine's noise falls on all of them alike. Printed per tool: the time of a whole pass over
# the corpus (median, min and max of the rounds) and of one file (median, min and max of every run), and the
# ratios of the medians; then the processor time of each tool's passes. `delvix-cli help` takes its turn too and
# shows what starting a process alone costs.
# The output goes to a fresh folder under BENCH_TMPDIR (TMPDIR, /tmp by default); on a tmpfs such as /dev/shm
# the file system's bookkeeping weighs less in the figures.
# Usage: bench/export_vs_peers.sh [BUILD_DIR] [ROUNDS] [CORPUS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
rounds="${2:-10}"
corpus="${3:-$root/../shared/corpus}"
cli="$build/src/delvix-cli"
# ImageMagick's own program, not a wrapper that may stand before it on the PATH.
convert=$(command -v convert-im6.q16 || command -v /usr/bin/convert || true)
[[ -x "$cli" ]] || { echo "build first: scripts/build.sh" >&2; exit 2; }
[[ -n "$convert" ]] || { echo "convert (imagemagick) is not installed" >&2; exit 2; }
command -v icotool > /dev/null || { echo "icotool (icoutils) is not installed" >&2; exit 2; }
((BASH_VERSINFO[0] >= 5)) || { echo "bash 5 is needed (EPOCHREALTIME)" >&2; exit 2; }
shopt -s nullglob
files=("$corpus"/ico/*.ico "$corpus"/cur/*.cur)
((${#files[@]})) || { echo "no .ico or .cur files in $corpus" >&2; exit 2; }

work="$(mktemp -d "${BENCH_TMPDIR:-${TMPDIR:-/tmp}}/export-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# One run of a tool on file $2 into its folder $1; delvix-cli names its files picture_N, so it takes a folder per file.
run_start() { "$cli" help; }
run_delvix() { "$cli" export "$2" "$1/${2##*/}" --format png; }
run_convert() { "$convert" "$2" "$1/${2##*/}-%d.png"; }
run_icotool() { icotool -x -o "$1" "$2"; }
tools=(start delvix convert icotool)

times="$work/times"  # tool round file microseconds, a run a line
: > "$times"
for ((round = 0; round <= rounds; round++)); do  # round 0 warms the page cache and is not counted
  for tool in "${tools[@]}"; do rm -rf "${work:?}/$tool" && mkdir -p "$work/$tool"; done
  for file in "${files[@]}"; do
    for tool in "${tools[@]}"; do
      # Read without a subshell, whose fork would be timed with the tool.
      start=${EPOCHREALTIME/[.,]/}
      "run_$tool" "$work/$tool" "$file" > /dev/null 2>&1 || true
      end=${EPOCHREALTIME/[.,]/}
      ((round == 0)) || echo "$tool $round ${file##*/} $((10#$end - 10#$start))" >> "$times"
    done
  done
done

# The processor time of each tool's passes (user + system, what a busy machine does not stretch), from the
# shell's count of its children's times: ROUNDS passes in a subshell of their own.
cpu_seconds() { awk '{ for (i = 1; i <= 2; i++) { split($i, t, "m"); s += t[1] * 60 + t[2] } } END { print s }'; }
for tool in "${tools[@]}"; do
  cpu=$( (for ((round = 0; round < rounds; round++)); do
    for file in "${files[@]}"; do "run_$tool" "$work/$tool" "$file" > /dev/null 2>&1 || true; done
  done; times) | tail -1 | cpu_seconds)
  echo "cpu $tool $cpu" >> "$times"
done

echo "${#files[@]} files, $rounds rounds, one process per file, output in $(df --output=fstype "$work" | tail -1)"
for tool in "${tools[@]}"; do echo "pictures $tool $(find "$work/$tool" -type f | wc -l)"; done | cat - "$times" | awk '
  function sort(a, n,   i, j, t) { for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t } }
  function median(a, n) { return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
  $1 == "pictures" { pictures[$2] = $3; order[++tools] = $2; next }
  $1 == "cpu" { cpu[$2] = $3; next }
  { pass[$1, $2] += $4; runs[$1, ++count[$1]] = $4; rounds[$2] = 1 }
  END {
    for (t = 1; t <= tools; t++) {
      tool = order[t]; n = 0
      for (r in rounds) p[++n] = pass[tool, r]
      sort(p, n); passMedian[tool] = median(p, n)
      m = count[tool]; for (i = 1; i <= m; i++) f[i] = runs[tool, i]
      sort(f, m); fileMedian[tool] = median(f, m)
      label = tool == "start" ? "start (delvix-cli help)" : tool
      printf "%-24s %3d pictures; a pass: median %7.1f ms (min %7.1f, max %7.1f); a file: median %5.1f ms (min %5.1f, max %6.1f); processor time a pass %6.1f ms\n",
             label, pictures[tool], passMedian[tool] / 1e3, p[1] / 1e3, p[n] / 1e3, fileMedian[tool] / 1e3, f[1] / 1e3, f[m] / 1e3,
             cpu[tool] * 1e3 / n
    }
    for (t = 1; t <= tools; t++) {
      peer = order[t]
      if (peer == "delvix" || peer == "start") continue
      printf "ratio %s / delvix at the median: a pass %.2f, a file %.2f; processor time %.2f\n", peer,
             passMedian[peer] / passMedian["delvix"], fileMedian[peer] / fileMedian["delvix"], cpu[peer] / cpu["delvix"]
    }
    print "(above 1: delvix-cli is faster)"
  }'
