#!/bin/sh
# The icon of 60 000 pictures: the window's memory when it opens it (peak resident size over the window's
# own with no file, against 4 x the file + 64 MiB) and `delvix-cli tree` against `icotool -l` (interleaved
# runs: median, fastest and slowest of each, and their ratio, against 3).
# usage: bench/many_pictures.sh [BUILD_DIR] [ROUNDS]
set -eu
build=${1:-build}
rounds=${2:-11}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
icon=$work/many.ico
python3 "$here/make_many_icon.py" "$icon" 60000
size=$(stat -c %s "$icon")
echo "file: 60000 pictures, $size bytes"

peak_kib() {
  QT_QPA_PLATFORM=offscreen /usr/bin/time -f %M "$build/src/app/delvix" --screenshot "$work/shot.png" "$@" 2>&1 \
    > /dev/null | tail -n 1
}
if [ -x "$build/src/app/delvix" ]; then
  empty=$(peak_kib)
  opened=$(peak_kib "$icon")
  growth=$((opened - empty))
  limit=$((4 * size / 1024 + 64 * 1024))
  echo "window: peak resident $opened KiB, without a file $empty KiB: growth $growth KiB, limit $limit KiB"
fi

python3 "$here/compare_runs.py" "$rounds" "delvix-cli tree" -- "$build/src/delvix-cli" tree "$icon" \
  --- "icotool -l" -- icotool -l "$icon"
