#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop expects of it: the programs run from
# there, the help pages sit in the shared data folder with everything they link to, the documentation folder
# holds the README, the licence and the help pages, the launchers and the software-centre description validate,
# and each launcher is the default for the file types it names.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
"$prefix/bin/delvix-cli" --version
"$prefix/bin/delvix" --version
# The mark of the build folder, by which a program run from there writes its log beside itself, is not installed.
test -f "$build/src/app/delvix-build-tree"
if find "$prefix" -name delvix-build-tree | grep -q .; then echo "the build folder's mark was installed"; exit 1; fi
test -f "$prefix/share/delvix/help/index.html"
# The README, the licence and the help pages are found in the documentation folder too.
for file in README.md LICENSE help/index.html; do
  test -f "$prefix/share/doc/delvix/$file" || { echo "share/doc/delvix/$file is not installed"; exit 1; }
done
for size in 16 32 48 256; do
  file "$prefix/share/icons/hicolor/${size}x$size/apps/io.github.delvix.Delvix.png" | grep -q "PNG image data, $size x $size"
done
for page in delvix.1 delvix-cli.1; do
  if command -v groff > /dev/null; then
    warnings="$(groff -man -Tutf8 -ww "$prefix/share/man/man1/$page" 2>&1 > /dev/null)"
    [[ -z "$warnings" ]] || { echo "$page: $warnings"; exit 1; }
  else
    test -s "$prefix/share/man/man1/$page"
  fi
done
bash -n "$prefix/share/bash-completion/completions/delvix-cli"
# Every link and picture of the help pages is installed with them.
for page in "$prefix"/share/delvix/help/*.html; do
  for target in $(grep -oE '(href|src)="[^"#]*' "$page" | cut -d'"' -f2); do
    [[ "$target" == *://* || -f "$(dirname "$page")/$target" ]] || { echo "$page: $target is not installed"; exit 1; }
  done
done
launcher=io.github.delvix.Delvix.desktop
open_with=io.github.delvix.Delvix.OpenWith.desktop
metainfo="$prefix/share/metainfo/io.github.delvix.Delvix.metainfo.xml"
test -f "$prefix/share/applications/$launcher" && test -f "$prefix/share/applications/$open_with" && test -f "$metainfo"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$prefix/share/applications/$launcher" "$prefix/share/applications/$open_with"
fi
if command -v appstreamcli > /dev/null; then appstreamcli validate --no-net "$metainfo" > /dev/null; fi
if command -v xdg-mime > /dev/null && command -v update-desktop-database > /dev/null; then
  export XDG_DATA_HOME="$prefix/share" XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_CONFIG_HOME="$prefix/config"
  mkdir -p "$XDG_CONFIG_HOME"
  update-desktop-database "$prefix/share/applications"
  # The types the system gives the sample files (by their content, as a file manager does; a damaged file is
  # just bytes) and the usual ones, with the launcher that opens them when nothing is set by hand: icons and
  # cursors the menu's launcher, wave files and modules the one kept for "Open With".
  corpus="$(dirname "$0")/../../shared/corpus"
  declare -A expected=([image/vnd.microsoft.icon]=$launcher [image/x-win-bitmap]=$launcher
    [application/x-navi-animation]=$launcher [audio/x-wav]=$open_with
    [application/vnd.microsoft.portable-executable]=$open_with)
  for kind in ico cur ani wav pe; do
    [[ $kind == wav || $kind == pe ]] && opener=$open_with || opener=$launcher
    for file in "$corpus/$kind"/*; do
      [[ -f "$file" ]] || continue
      type="$(xdg-mime query filetype "$file")"
      [[ "$type" == application/octet-stream ]] || expected[$type]=$opener
    done
  done
  for type in "${!expected[@]}"; do
    answer="$(xdg-mime query default "$type")"
    [[ "$answer" == "${expected[$type]}" ]] || { echo "xdg-mime: $type opens with '$answer'"; exit 1; }
  done
fi
echo "installed and checked in $prefix"
