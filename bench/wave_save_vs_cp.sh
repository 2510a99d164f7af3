#!/usr/bin/env bash
# Saves a generated 16-bit stereo PCM wave file with `delvix-cli save IN OUT.wav` (read, then written back
# through the wave writer, which syncs the new file) against `cp IN OUT` and `dd if=IN of=OUT conv=fsync`,
# page cache warm, in interleaved runs, each writing a new OUT (the last one removed and synced outside the
# timing): the median, fastest and slowest wall time and the peak resident memory (see compare_runs.py).
# usage: bench/wave_save_vs_cp.sh BUILD_DIR [MEGABYTES] [RUNS]
set -euo pipefail
build=${1:?build directory}
megabytes=${2:-256}
runs=${3:-7}
cli="$build/src/delvix-cli"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wave="$work/stereo16.wav"
out="$work/out.wav"
python3 "$(dirname "$0")/make_stereo_wave.py" "$wave" $((megabytes * 1024 * 1024 / 4 * 4))
here=$(dirname "$0")
python3 "$here/compare_runs.py" "$runs" --fresh "$out" "delvix-cli save" -- "$cli" save "$wave" "$out" \
  --- "cp" -- cp "$wave" "$out"
python3 "$here/compare_runs.py" "$runs" --fresh "$out" "delvix-cli save" -- "$cli" save "$wave" "$out" \
  --- "dd conv=fsync" -- dd if="$wave" of="$out" bs=1M conv=fsync
"$cli" save "$wave" "$out" > /dev/null 2>&1
cmp -s "$wave" "$out" || { echo "the saved file differs from the original" >&2; exit 1; }
