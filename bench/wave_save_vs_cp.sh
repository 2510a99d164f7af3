#!/usr/bin/env bash
# Saves a generated 16-bit stereo PCM wave file with `delvix-cli save IN OUT.wav` (read, then written back
# through the wave writer) against `cp IN OUT`, page cache warm. Both write a new file each run (the old
# one removed outside the timing), so neither syncs: delvix-cli calls fsync only when it replaces an
# existing file. Runs alternate between the two; prints the best of RUNS wall times, their ratio, and
# delvix-cli's peak resident memory against the file size, with the targets.
# usage: bench/wave_save_vs_cp.sh BUILD_DIR [MEGABYTES] [RUNS]
set -euo pipefail
build=${1:?build directory}
megabytes=${2:-256}
runs=${3:-5}
cli="$build/src/delvix-cli"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wave="$work/stereo16.wav"
out="$work/out.wav"
data_bytes=$((megabytes * 1024 * 1024 / 4 * 4))
python3 "$(dirname "$0")/make_stereo_wave.py" "$wave" "$data_bytes"
file_bytes=$(stat -c %s "$wave")
cat "$wave" > /dev/null  # warm the page cache

# shellcheck source=bench/time_ns.sh
source "$(dirname "$0")/time_ns.sh"
cp_ns=0
ours_ns=0
for ((i = 0; i < runs; i++)); do
  t=$(time_ns "$out" cp "$wave" "$out")
  ((cp_ns == 0 || t < cp_ns)) && cp_ns=$t
  t=$(time_ns "$out" "$cli" save "$wave" "$out")
  ((ours_ns == 0 || t < ours_ns)) && ours_ns=$t
done
cmp -s "$wave" "$out" || { echo "the saved file differs from the original" >&2; exit 1; }
rm -f "$out"
ours_kib=$(/usr/bin/time -v "$cli" save "$wave" "$out" 2>&1 > /dev/null | awk -F': ' '/Maximum resident set size/ {print $2}')

awk -v c="$cp_ns" -v o="$ours_ns" -v k="$ours_kib" -v f="$file_bytes" 'BEGIN {
  t = o / c; m = k * 1024 / f
  printf "file: %.0f MB; cp: %.3f s; delvix-cli save: %.3f s; time ratio %.2f (target <= 1.5) %s\n",
         f / 1e6, c / 1e9, o / 1e9, t, t <= 1.5 ? "met" : "MISSED"
  printf "peak memory: %.0f MB = %.2f x file size (target <= 1.1) %s\n", k * 1024 / 1e6, m, m <= 1.1 ? "met" : "MISSED"
}'
