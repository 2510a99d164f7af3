#!/usr/bin/env bash
# Deletes the middle tenth of a generated one-hour 44.1 kHz 16-bit stereo PCM wave file (about 635 MB of
# samples) and saves the result: `delvix-cli cut IN FROM TO OUT` against `sox IN OUT trim 0 =FROMs =TO+1s`,
# which keeps frames before FROM, drops FROM to TO and keeps the rest. Page cache warm, a new OUT each run;
# runs alternate between the two. Checks that both wrote the same samples, then prints the median, fastest and
# slowest of RUNS wall times, the ratio of the medians, and delvix-cli's peak resident memory, with the targets.
# usage: bench/wave_cut_vs_sox.sh BUILD_DIR [SECONDS] [RUNS]
set -euo pipefail
build=${1:?build directory}
seconds=${2:-3600}
runs=${3:-3}
cli="$build/src/delvix-cli"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
command -v sox > /dev/null || { echo "sox not found (apt-get install sox)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wave="$work/hour.wav"
ours="$work/ours.wav"
theirs="$work/theirs.wav"
frames=$((seconds * 44100))
data_bytes=$((frames * 4))
from=$((frames * 45 / 100))
to=$((frames * 55 / 100 - 1))
python3 "$(dirname "$0")/make_stereo_wave.py" "$wave" "$data_bytes"
cat "$wave" > /dev/null  # warm the page cache
sox_effect=(trim 0 "=${from}s" "=$((to + 1))s")
echo "delvix-cli cut IN $from $to OUT   vs   sox IN OUT ${sox_effect[*]}"

# shellcheck source=bench/time_ns.sh
source "$(dirname "$0")/time_ns.sh"
sox_ns=()
ours_ns=()
for ((i = 0; i < runs; i++)); do
  sox_ns+=("$(time_ns "$theirs" sox "$wave" "$theirs" "${sox_effect[@]}")")
  ours_ns+=("$(time_ns "$ours" "$cli" cut "$wave" "$from" "$to" "$ours")")
done
# Both write a 44-byte header before the samples; the samples must be the same.
cmp -s <(tail -c +45 "$ours") <(tail -c +45 "$theirs") || { echo "delvix-cli and sox kept different samples" >&2; exit 1; }
rm -f "$ours" "$theirs"
ours_kib=$(/usr/bin/time -v "$cli" cut "$wave" "$from" "$to" "$ours" 2>&1 > /dev/null |
  awk -F': ' '/Maximum resident set size/ {print $2}')

# "median min max" of the nanosecond times given, in seconds.
spread() { printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 / 1e9 } END {
  printf "%.3f %.3f %.3f", NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2, t[1], t[NR] }'; }
awk -v s="$(spread "${sox_ns[@]}")" -v o="$(spread "${ours_ns[@]}")" -v k="$ours_kib" -v d="$data_bytes" \
    -v n="$runs" 'BEGIN {
  split(s, S, " "); split(o, O, " "); t = O[1] / S[1]
  printf "data: %.0f MB; %d runs each, median (min to max) wall time\n", d / 1e6, n
  printf "sox trim: %.3f s (%.3f to %.3f); delvix-cli cut: %.3f s (%.3f to %.3f)\n", S[1], S[2], S[3], O[1], O[2], O[3]
  printf "time ratio of the medians %.2f (target <= 1.0) %s\n", t, t <= 1.0 ? "met" : "MISSED"
  printf "peak memory: %.1f MiB (target <= 64 MiB) %s\n", k / 1024, k <= 65536 ? "met" : "MISSED"
}'
