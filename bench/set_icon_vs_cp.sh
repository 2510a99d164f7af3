#!/usr/bin/env bash
# Replaces the main icon of the largest sample module with `delvix-cli set-icon MODULE ICO -o OUT` (read, the
# resource section written again, the new module saved safely) against `cp MODULE OUT`, and against resedit
# (from the npm registry, under node) making the same change, page cache warm, in interleaved runs, each
# writing a new OUT: the median, fastest and slowest wall time and the peak resident memory (compare_runs.py);
# and against `dd conv=fsync`, which like the safe save waits until the copy is on the disk.
# resedit refuses modules with a COFF symbol table, so it is compared on the module with its symbols stripped
# (mingw-w64 strip) when that is there; it is skipped when npm cannot fetch it.
# usage: bench/set_icon_vs_cp.sh BUILD_DIR [RUNS] [MODULE] [ICO]
set -euo pipefail
build=${1:?build directory}
runs=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
corpus="$here/../../shared/corpus"
module=${3:-$(ls -S "$corpus"/pe/* | head -1)}
icon=${4:-$corpus/ico/lazarus-LazarusSource.ico}
cli="$build/src/delvix-cli"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out="$work/out.dll"
echo "module: $module ($(stat -c %s "$module") bytes); icon: $icon"
"$cli" set-icon "$module" "$icon" -o "$out"
python3 "$here/compare_runs.py" "$runs" --fresh "$out" "delvix-cli set-icon" -- "$cli" set-icon "$module" "$icon" \
  -o "$out" --- "cp" -- cp "$module" "$out"
# The safe save syncs the new file before it takes the old one's place; cp does not.
python3 "$here/compare_runs.py" "$runs" --fresh "$out" "delvix-cli set-icon" -- "$cli" set-icon "$module" "$icon" \
  -o "$out" --- "dd conv=fsync" -- dd if="$module" of="$out" bs=1M conv=fsync

resedit="$build/resedit-cache"
if ! command -v node > /dev/null || ! { [[ -d $resedit/node_modules/resedit ]] ||
  (mkdir -p "$resedit" && cd "$resedit" && timeout 120 npm install --no-audit --no-fund resedit > /dev/null 2>&1); }; then
  echo "resedit: skipped (node or the npm registry is not there)"
  exit 0
fi
plain="$work/$(basename "$module")"
strip=$(command -v x86_64-w64-mingw32-strip || true)
if [[ -n $strip ]] && "$strip" -o "$plain" "$module" 2> /dev/null; then
  echo "resedit comparison on the module without its symbols: $(stat -c %s "$plain") bytes"
else
  cp "$module" "$plain"
fi
if ! node "$here/resedit_set_icon.mjs" "$resedit" "$plain" "$icon" "$out" > /dev/null 2>&1; then
  echo "resedit: skipped (it does not take $(basename "$module"))"
  exit 0
fi
python3 "$here/compare_runs.py" "$runs" --fresh "$out" "delvix-cli set-icon" -- "$cli" set-icon "$plain" "$icon" \
  -o "$out" --- "resedit" -- node "$here/resedit_set_icon.mjs" "$resedit" "$plain" "$icon" "$out"
