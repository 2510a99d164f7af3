#!/usr/bin/env bash
# Converts a 17-cursor Windows theme made from the sample corpus (.cur and .ani files and an install.inf) to a
# freedesktop theme with one `delvix-cli theme` call, against xcursorgen building the same 17 Xcursor files from
# PNG files and configs (made once, from what delvix-cli wrote). Page cache warm, a new output folder each run,
# runs alternating; prints the median, fastest and slowest of RUNS wall times of each and the ratio of the
# medians.
# usage: bench/theme_vs_xcursorgen.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?build directory}
runs=${2:-11}
here=$(dirname "$0")
cli="$build/src/delvix-cli"
corpus="$here/../../shared/corpus"
[[ -x $cli ]] || { echo "no $cli; build first" >&2; exit 1; }
command -v xcursorgen > /dev/null || { echo "xcursorgen not found (apt-get install x11-apps)" >&2; exit 1; }
[[ -d $corpus/cur && -d $corpus/ani ]] || { echo "no sample corpus at $corpus" >&2; exit 1; }

work=$(mktemp -d "${BENCH_TMPDIR:-/tmp}/theme.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/windows" "$work/pngs"
cursors=("$corpus"/cur/*.cur)
animated=("$corpus"/ani/*.ani)
strings="" paths=""
for ((i = 0; i < 17; i++)); do
  if ((i == 2 || i == 3)); then source=${animated[i % ${#animated[@]}]}; else source=${cursors[i % ${#cursors[@]}]}; fi
  name="Role $i.${source##*.}"
  cp "$source" "$work/windows/$name"
  strings+="r$i = \"$name\""$'\r\n'
  paths+="${paths:+,}%10%\\%CUR_DIR%\\%r$i%"
done
printf '[Scheme.Reg]\r\nHKCU,"Control Panel\\Cursors\\Schemes","%%NAME%%",,"%s"\r\n[Strings]\r\nNAME = "Bench"\r\nCUR_DIR = "Cursors\\Bench"\r\n%s' \
  "${paths//%/%%}" "$strings" > "$work/windows/install.inf"

"$cli" -q theme "$work/windows" "$work/made" > /dev/null
files=("$work"/made/cursors/*)
regular=()
for file in "${files[@]}"; do [[ -L $file ]] || regular+=("$file"); done
python3 "$here/xcursor_to_pngs.py" "$work/pngs" "${regular[@]}"
images=$(cat "$work"/pngs/*.cfg | wc -l)
cat "$work"/windows/* "$work"/pngs/* > /dev/null  # warm the page cache

cat > "$work/ours.sh" << EOF
out=\$(mktemp -d "$work/ours.XXXXXX") && "$cli" -q theme "$work/windows" "\$out"; rm -rf "\$out"
EOF
cat > "$work/theirs.sh" << EOF
out=\$(mktemp -d "$work/theirs.XXXXXX")
cd "$work/pngs" && for config in *.cfg; do xcursorgen "\$config" "\$out/\${config%.cfg}"; done
rm -rf "\$out"
EOF
echo "17 cursors, $images images: delvix-cli theme (from .cur/.ani, with links and index.theme) against xcursorgen (from PNGs)"
python3 "$here/compare_runs.py" "$runs" "delvix-cli theme" -- bash "$work/ours.sh" --- \
  "xcursorgen loop" -- bash "$work/theirs.sh"
