#!/usr/bin/env bash
# Opens a generated 16-bit stereo PCM wave file with `delvix-cli info` (read, then channels split as the
# viewer does) against `cat FILE > /dev/null`, page cache warm. Prints the best of RUNS wall times, their
# ratio, and delvix-cli's peak resident memory against the file size, with the targets.
# usage: bench/wave_open_vs_cat.sh BUILD_DIR [MEGABYTES] [RUNS]
set -euo pipefail
build=${1:?build directory}
megabytes=${2:-600}
runs=${3:-3}
cli="$build/src/delvix-cli"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wave="$work/stereo16.wav"
data_bytes=$((megabytes * 1024 * 1024 / 4 * 4))
python3 "$(dirname "$0")/make_stereo_wave.py" "$wave" "$data_bytes"
file_bytes=$(stat -c %s "$wave")
cat "$wave" > /dev/null  # warm the page cache

best_ns() {
  local best=0 start end
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    ((best == 0 || end - start < best)) && best=$((end - start))
  done
  echo "$best"
}
peak_kib() { /usr/bin/time -v "$@" 2>&1 > /dev/null | awk -F': ' '/Maximum resident set size/ {print $2}'; }

cat_ns=$(best_ns cat "$wave")
ours_ns=$(best_ns "$cli" info "$wave")
ours_kib=$(peak_kib "$cli" info "$wave")
"$cli" info "$wave"
awk -v c="$cat_ns" -v o="$ours_ns" -v k="$ours_kib" -v f="$file_bytes" 'BEGIN {
  t = o / c; m = k * 1024 / f
  printf "file: %.0f MB; cat: %.3f s; delvix-cli info: %.3f s; time ratio %.2f (target <= 3) %s\n",
         f / 1e6, c / 1e9, o / 1e9, t, t <= 3 ? "met" : "MISSED"
  printf "peak memory: %.0f MB = %.2f x file size (target <= 2.5) %s\n", k * 1024 / 1e6, m, m <= 2.5 ? "met" : "MISSED"
}'
