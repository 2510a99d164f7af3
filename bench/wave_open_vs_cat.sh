#!/usr/bin/env bash
# Opens a generated 16-bit stereo PCM wave file with `delvix-cli info` against `cat FILE > /dev/null`, page
# cache warm, in interleaved runs: the median, fastest and slowest wall time of each and the peak resident
# memory (see compare_runs.py). The file is mapped and only its headers are read, so info takes far less
# than reading the file once.
# usage: bench/wave_open_vs_cat.sh BUILD_DIR [MEGABYTES] [RUNS]
set -euo pipefail
build=${1:?build directory}
megabytes=${2:-600}
runs=${3:-7}
cli="$build/src/delvix-cli"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wave="$work/stereo16.wav"
python3 "$(dirname "$0")/make_stereo_wave.py" "$wave" $((megabytes * 1024 * 1024 / 4 * 4))
"$cli" info "$wave"
python3 "$(dirname "$0")/compare_runs.py" "$runs" "delvix-cli info" -- "$cli" info "$wave" --- "cat" -- cat "$wave"
