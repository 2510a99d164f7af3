#!/usr/bin/env bash
# The window's first screen of a long wave: starts the program on a generated 16-bit stereo PCM wave of
# MEGABYTES, under Xvfb, and lets it end as soon as the channel boxes have painted the wave
# (DELVIX_QUIT_AFTER_WAVE_PAINT). Runs taking turns with a one-second wave (the program's own start), page cache
# warm; prints median, fastest and slowest wall time and peak resident memory of each, with the targets.
# usage: bench/wave_first_screen.sh BUILD_DIR [MEGABYTES] [RUNS]
set -euo pipefail
build=${1:?build directory}
megabytes=${2:-2048}
runs=${3:-7}
program="$build/src/app/delvix"
[[ -x $program ]] || { echo "no $program; build first" >&2; exit 1; }
command -v xvfb-run > /dev/null || { echo "xvfb-run not found (apt-get install xvfb)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here=$(dirname "$0")
python3 "$here/make_stereo_wave.py" "$work/long.wav" $((megabytes * 1024 * 1024 / 4 * 4 - 44))
python3 "$here/make_stereo_wave.py" "$work/short.wav" $((44100 * 4))
cat "$work/long.wav" > /dev/null  # warm the page cache
mkdir -p "$work/home"
# A home of its own: no tip of the day from a stored setting, nothing written into the user's.
HOME="$work/home" XDG_CONFIG_HOME="$work/home" DELVIX_QUIT_AFTER_WAVE_PAINT=1 \
  xvfb-run -a -s "-screen 0 1600x1000x24" python3 "$here/first_screen_runs.py" "$runs" "$program" \
  "$work/long.wav" "$work/short.wav"
