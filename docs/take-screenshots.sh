#!/bin/bash
# Takes the screenshots of the preview and the dialogs in docs/ from the real program under Xvfb, driven with the mouse and the
# keyboard as a user would drive it. Needs Xvfb, xdotool and ImageMagick's import (scripts/install-deps.sh
# installs them), icoutils' icotool and the sample corpus beside the checkout.
#   docs/take-screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
program=$build/src/app/delvix
corpus=$root/../shared/corpus

config=$(mktemp -d)
# A fresh user without the tip of the day, so nothing stands in front of the main window.
printf '[General]\nSettings=28\n' >"$config/Delvix v.2.2.conf"
display=:$((100 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$config"' EXIT
export DISPLAY=$display XDG_CONFIG_HOME=$config
sleep 1

# Starts the program on FILE, fills the screen with it and gives the preview most of the picture pane's height.
start() {
  "$program" "$1" >/dev/null 2>&1 &
  app=$!
  window=$(xdotool search --sync --name "Delvix v.2.2" | head -1)
  xdotool windowmove "$window" 0 0 windowsize "$window" 1024 768
  sleep 1
  xdotool mousemove 750 245 mousedown 1 mousemove 750 400 mousemove 750 560 mouseup 1
  sleep 0.5
}
stop() { kill "$app"; wait "$app" 2>/dev/null || true; }

# An icon's 48 x 48 32-bit picture at 400 %: plainly through its mask, and blended through its alpha.
start "$corpus/ico/wrestool-shell32-14-134.ico"
xdotool mousemove 100 105 click 1
xdotool key --delay 80 Down Down Down Down Down Down Down Down ctrl+plus ctrl+plus ctrl+plus
sleep 0.5
import -window root "$root/docs/preview-400.png"
stop

# An animated cursor playing at 200 %.
start "$corpus/ani/yaru-progress.ani"
xdotool key ctrl+plus
xdotool mousemove 502 579 click 1
sleep 1.2
import -window root "$root/docs/player.png"
stop

# A pixel of a 64 x 64 32-bit icon picked on the preview at 600 % and made opaque red, with the colour
# bitmaps listed and their pixels editable.
printf '[General]\nSettings=28\nColor=8\nEdit%%20data=0\n' >"$config/Delvix v.2.2.conf"
convert -size 64x64 plasma:fractal -alpha set -channel A -fx 'i/w' +channel "$config/plasma.png"
icotool -c -o "$config/plasma.ico" "$config/plasma.png"
start "$config/plasma.ico"
xdotool mousemove 100 105 click 1
xdotool key --delay 80 Right Down Down ctrl+plus ctrl+plus ctrl+plus ctrl+plus ctrl+plus
sleep 0.5
xdotool mousemove 640 300 click 1
sleep 0.3
for box in "224 255" "277 255" "330 0" "384 0"; do
  set -- $box
  xdotool mousemove "$1" 699 click 1 key ctrl+a type "$2"
done
xdotool mousemove 437 725 click 1
sleep 0.5
import -window root "$root/docs/pixel-edit.png"
stop

# The dialogs: the tip of the day as a new user meets it, the options and the about box.
rm "$config/Delvix v.2.2.conf"
start "$corpus/ico/thg-hg.ico"
# Takes the window titled $1 as docs/$2, then closes it with Escape.
shot() {
  local dialog
  dialog=$(xdotool search --sync --name "^$1( — Delvix)?$" | head -1)
  sleep 0.5
  import -window "$dialog" "$root/docs/$2"
  xdotool windowfocus --sync "$dialog" key Escape
  sleep 0.3
}
shot "Tip of the Day" tip-of-the-day.png
xdotool mousemove 305 38 click 1
shot "Options" options.png
xdotool mousemove 370 38 click 1
shot "About" about.png
stop
echo "docs/preview-400.png docs/player.png docs/pixel-edit.png docs/tip-of-the-day.png docs/options.png docs/about.png"
