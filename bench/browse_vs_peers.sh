#!/usr/bin/env bash
# Lists a generated folder as the two browsers do, with `delvix-cli browse` (the image browser's rows with every
# filter box ticked, then the wave browser's), against one-process peer runs over the same files: `soxi -D` on
# the wave files, `icotool -l` on the icons and cursors and `wrestool -l` on the modules. The folder holds
# 2 000 mixed files (copies of the sample corpus's icons, cursors, animated cursors, modules and wave files, and
# other files) and ten generated 200 MB wave files; it is made under BENCH_TMPDIR (/tmp by default) and removed
# at the end. Page cache warm; the tools take turns ROUNDS times. Prints the fastest and median times, the ratio
# of delvix-cli's time to the peers' sum (target <= 1.0) and what delvix-cli reads per listed file (rchar of
# /proc/self/io; target <= 64 KiB on average).
# usage: bench/browse_vs_peers.sh [BUILD_DIR] [ROUNDS] [CORPUS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
rounds="${2:-10}"
corpus="${3:-$root/../shared/corpus}"
cli="$build/src/delvix-cli"
[[ -x "$cli" ]] || { echo "build first: scripts/build.sh" >&2; exit 2; }
for tool in soxi icotool wrestool; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed (sox, icoutils)" >&2; exit 2; }
done
shopt -s nullglob
icons=("$corpus"/ico/*.ico) cursors=("$corpus"/cur/*.cur) animated=("$corpus"/ani/*.ani)
modules=("$corpus"/pe/*.dll "$corpus"/pe/*.exe) waves=("$corpus"/wav/*.wav)
((${#icons[@]} && ${#cursors[@]} && ${#animated[@]} && ${#modules[@]} && ${#waves[@]})) ||
  { echo "the sample corpus is not in $corpus" >&2; exit 2; }

work="$(mktemp -d "${BENCH_TMPDIR:-/tmp}/browse-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
source "$root/bench/time_ns.sh"
folder="$work/folder"
mkdir "$folder"

# copies COUNT PREFIX SOURCE...: COUNT files PREFIX-NNNN.EXT, the sources taken in turn, each keeping its extension.
copies() {
  local count=$1 prefix=$2
  shift 2
  local sources=("$@") source
  for ((i = 0; i < count; i++)); do
    source=${sources[i % ${#sources[@]}]}
    cp "$source" "$folder/$(printf '%s-%04d' "$prefix" "$i").${source##*.}"
  done
}
copies 500 icon "${icons[@]}"
copies 300 cursor "${cursors[@]}"
copies 150 animated "${animated[@]}"
copies 150 module "${modules[@]}"
copies 600 wave "${waves[@]}"
for ((i = 0; i < 300; i++)); do printf 'not browsed %d\n' "$i" > "$folder/$(printf 'other-%04d' "$i").txt"; done
python3 "$root/bench/make_stereo_wave.py" "$folder/big-00.wav" $((200 * 1000 * 1000))
for ((i = 1; i < 10; i++)); do cp "$folder/big-00.wav" "$folder/$(printf 'big-%02d' "$i").wav"; done

listed_waves=("$folder"/*.wav)
listed_icons=("$folder"/*.ico "$folder"/*.cur)
listed_modules=("$folder"/*.dll "$folder"/*.exe)
all_filters=--images=ani,cur,ico,cpl,dll,exe,ocx,scr
run_delvix() {
  "$cli" browse "$folder" "$all_filters"
  "$cli" browse "$folder" --wav
}
run_soxi() { soxi -D "${listed_waves[@]}"; }
run_icotool() { icotool -l "${listed_icons[@]}"; }
run_wrestool() { wrestool -l "${listed_modules[@]}"; }
tools=(delvix soxi icotool wrestool)

declare -A times
for ((round = 0; round <= rounds; round++)); do  # round 0 warms the page cache and is not counted
  for tool in "${tools[@]}"; do
    ns=$(time_ns "$work/unused" "run_$tool")
    ((round == 0)) || times[$tool]+="$ns "
  done
done

rows_images=$("$cli" browse "$folder" "$all_filters" 2> /dev/null | wc -l)
rows_waves=$("$cli" browse "$folder" --wav 2> /dev/null | wc -l)
read_images=$(DELVIX_REPORT_READ_BYTES=1 "$cli" browse "$folder" "$all_filters" 2>&1 > /dev/null |
  awk '/^read bytes:/ {print $3}')
read_waves=$(DELVIX_REPORT_READ_BYTES=1 "$cli" browse "$folder" --wav 2>&1 > /dev/null | awk '/^read bytes:/ {print $3}')

echo "$(find "$folder" -type f | wc -l) files ($(du -sh "$folder" | cut -f1)) in $(df --output=fstype "$work" | tail -1);" \
  "listed: $rows_images by the image browser, $rows_waves by the wave browser; $rounds rounds"
for tool in "${tools[@]}"; do echo "$tool ${times[$tool]}"; done | awk \
  -v ri="$rows_images" -v rw="$rows_waves" -v bi="$read_images" -v bw="$read_waves" '
  function sort(a, n,   i, j, t) { for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t } }
  {
    n = split(substr($0, length($1) + 2), t, " "); sort(t, n)
    fastest[$1] = t[1]; median[$1] = n % 2 ? t[(n + 1) / 2] : (t[n / 2] + t[n / 2 + 1]) / 2
    label = $1 == "delvix" ? "delvix-cli browse (both)" : $1
    printf "%-26s fastest %8.1f ms, median %8.1f ms\n", label, t[1] / 1e6, median[$1] / 1e6
  }
  END {
    fp = fastest["soxi"] + fastest["icotool"] + fastest["wrestool"]
    mp = median["soxi"] + median["icotool"] + median["wrestool"]
    rf = fastest["delvix"] / fp; rm = median["delvix"] / mp
    printf "ratio delvix-cli / (soxi + icotool + wrestool): fastest %.2f, median %.2f (target <= 1.0) %s\n",
           rf, rm, rm <= 1.0 ? "met" : "MISSED"
    per = (bi + bw) / (ri + rw)
    printf "read by delvix-cli: %d + %d bytes for %d listed files = %.1f KiB a file (target <= 64 KiB) %s\n",
           bi, bw, ri + rw, per / 1024, per <= 65536 ? "met" : "MISSED"
  }'
