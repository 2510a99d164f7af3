#!/usr/bin/env bash
# A generated 2 GB 16-bit stereo PCM wave file (page cache warm), three ways, each against a peer in
# interleaved runs (median, min, max; see compare_runs.py):
#   delvix-cli info IN          vs  soxi IN                       target: <= 5 ms, <= 16 MiB
#   delvix-cli cut IN FROM TO OUT  vs  sox IN OUT trim 0 =FROMs =TO+1s   target: <= 1.0x, <= 64 MiB
#   delvix-cli save IN OUT      vs  dd if=IN of=OUT bs=1M conv=fsync      target: <= 1.3x
# The cut drops the middle tenth; the cut and the save write a new OUT each run (the last one removed and
# synced outside the timing). The big files are removed at the end.
# usage: bench/wave_2gb_vs_peers.sh BUILD_DIR [RUNS] [DATA_BYTES] [WORK_DIR]
set -euo pipefail
build=${1:?build directory}
runs=${2:-7}
data_bytes=${3:-2000000000}
cli="$build/src/delvix-cli"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
command -v sox > /dev/null || { echo "sox not found (apt-get install sox)" >&2; exit 1; }
here=$(dirname "$0")

work=$(mktemp -d "${4:-${TMPDIR:-/tmp}}/wave2gb.XXXXXX")
trap 'rm -rf "$work"' EXIT
wave="$work/big.wav"
out="$work/out.wav"
python3 "$here/make_stereo_wave.py" "$wave" "$data_bytes"
cat "$wave" > /dev/null  # warm the page cache
frames=$((data_bytes / 4))
from=$((frames * 45 / 100))
to=$((frames * 55 / 100 - 1))

echo "== info: delvix-cli info IN  vs  soxi IN"
python3 "$here/compare_runs.py" "$runs" "delvix-cli info" -- "$cli" info "$wave" --- "soxi" -- soxi "$wave"
echo "   (what starting the program costs here: delvix-cli --version against true)"
python3 "$here/compare_runs.py" "$runs" "delvix-cli --version" -- "$cli" --version --- "true" -- true

echo "== cut: delvix-cli cut IN $from $to OUT  vs  sox IN OUT trim 0 =${from}s =$((to + 1))s"
python3 "$here/compare_runs.py" "$runs" --fresh "$out" "delvix-cli cut" -- "$cli" cut "$wave" "$from" "$to" "$out" \
  --- "sox trim" -- sox "$wave" "$out" trim 0 "=${from}s" "=$((to + 1))s"
"$cli" cut "$wave" "$from" "$to" "$out" > /dev/null 2>&1
sox "$wave" "$work/theirs.wav" trim 0 "=${from}s" "=$((to + 1))s"
# Both write a 44-byte header before the samples; the samples must be the same.
cmp -s <(tail -c +45 "$out") <(tail -c +45 "$work/theirs.wav") || { echo "cut: the samples differ from sox's" >&2; exit 1; }
rm -f "$work/theirs.wav"

echo "== save: delvix-cli save IN OUT  vs  dd if=IN of=OUT bs=1M conv=fsync"
python3 "$here/compare_runs.py" "$runs" --fresh "$out" "delvix-cli save" -- "$cli" save "$wave" "$out" \
  --- "dd conv=fsync" -- dd if="$wave" of="$out" bs=1M conv=fsync
"$cli" save "$wave" "$out" > /dev/null 2>&1
cmp -s "$wave" "$out" || { echo "save: the saved file differs from the original" >&2; exit 1; }
