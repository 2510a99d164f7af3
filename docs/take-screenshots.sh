#!/bin/bash
# Takes the screenshots of the help pages (src/app/help/images/) from the real program under Xvfb, driven with
# the mouse and the keyboard as a user would drive it: the main window, the preview, the player, the pixel
# pages, the wave view, every dialog and the two browsers. Needs Xvfb, xdotool and ImageMagick's import and
# convert (scripts/install-deps.sh installs them), icoutils' icotool and the sample corpus beside the checkout.
#   docs/take-screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
program=$build/src/app/delvix
corpus=$(realpath "$root/../shared/corpus")
images=$root/src/app/help/images
mkdir -p "$images"

config=$(mktemp -d)
# A fresh user without the tip of the day, so nothing stands in front of the main window.
quiet_user() { printf '[General]\nSettings=28\n' >"$config/Delvix v.2.2.conf"; }
quiet_user
# A display of our own, one that no other X server holds.
while number=$((100 + RANDOM % 400)); [[ -e /tmp/.X$number-lock ]]; do :; done
Xvfb ":$number" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$config"' EXIT
export DISPLAY=:$number XDG_CONFIG_HOME=$config
sleep 1
kill -0 "$server" || { echo "Xvfb could not start on :$number" >&2; exit 1; }

# Starts the program on FILE and fills the screen with it.
start() {
  "$program" "$1" >/dev/null 2>&1 &
  app=$!
  window=$(xdotool search --sync --name "Delvix$" | head -1)
  xdotool windowmove "$window" 0 0 windowsize "$window" 1024 768
  sleep 1
}
# Gives the preview most of the picture pane's height.
roomy_preview() {
  xdotool mousemove 750 245 mousedown 1 mousemove 750 400 mousemove 750 560 mouseup 1
  sleep 0.5
}
stop() { kill "$app"; wait "$app" 2>/dev/null || true; }
# The screen as it is now, as images/$1.
screen() { import -window root "$images/$1"; }
# Waits for the window titled $1 and takes it alone as images/$2.
window_shot() {
  local shown
  shown=$(xdotool search --sync --name "^$1( — Delvix)?$" | head -1)
  sleep 0.5
  import -window "$shown" "$images/$2"
}
# Takes the window titled $1 as images/$2, then closes it with Escape.
shot() {
  window_shot "$1" "$2"
  xdotool windowfocus --sync "$(xdotool search --name "^$1( — Delvix)?$" | head -1)" key Escape
  sleep 0.3
}
# Types a file name into the file dialog titled $1 and accepts it.
choose_file() {
  local dialog
  dialog=$(xdotool search --sync --name "^$1( — Delvix)?$" | head -1)
  sleep 0.5
  xdotool windowfocus --sync "$dialog" key ctrl+a type "$2"
  xdotool key Return
  sleep 0.5
}

# The main window on an icon file: the fields of a 48 x 48 picture's directory entry, and the picture.
start "$corpus/ico/thg-hg.ico"
xdotool mousemove 60 89 click 1 key --delay 80 Return Down Down Down Down Down Down
sleep 0.5
screen main-window.png
stop

# An icon's 48 x 48 32-bit picture at 400 %: plainly through its mask, and blended through its alpha.
start "$corpus/ico/wrestool-shell32-14-134.ico"
roomy_preview
xdotool mousemove 100 105 click 1
xdotool key --delay 80 Down Down Down Down Down Down Down Down ctrl+plus ctrl+plus ctrl+plus
sleep 0.5
screen preview-400.png
stop

# An animated cursor playing at 200 %.
start "$corpus/ani/yaru-progress.ani"
roomy_preview
xdotool key ctrl+plus
xdotool mousemove 502 579 click 1
sleep 1.2
screen player.png
stop

# A pixel of a 64 x 64 32-bit icon picked on the preview at 600 % and made opaque red, with the colour
# bitmaps listed and their pixels editable.
printf '[General]\nSettings=28\nColor=8\nEdit%%20data=0\n' >"$config/Delvix v.2.2.conf"
convert -seed 7 -size 64x64 plasma:fractal -alpha set -channel A -fx 'i/w' +channel "$config/plasma.png"
icotool -c -o "$config/plasma.ico" "$config/plasma.png"
start "$config/plasma.ico"
roomy_preview
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
screen pixel-edit.png
quiet_user
stop

# A wave file with its format listed and two red lines set by two clicks in the channel.
start "$corpus/wav/pidgin-alert.wav"
xdotool mousemove 82 105 click 1 sleep 0.3 mousemove 600 250 click 1 sleep 0.3 mousemove 820 250 click 1
sleep 0.5
screen wave-view.png
stop

# Add chunks on an animated cursor that has a name and an artist: a comment ticked and typed, then on the Add
# image tab the pictures of an icon file, one of them previewed.
start "$corpus/ani/wx-hourglass.ani"
xdotool mousemove 60 89 click 1 key ctrl+alt+a
dialog=$(xdotool search --sync --name "^Add chunks( — Delvix)?$" | head -1)
xdotool windowmove "$dialog" 200 120
sleep 0.5
xdotool mousemove 229 400 click 1 type "Drawn for the help pages"
window_shot "Add chunks" add-chunks.png
xdotool mousemove 488 144 click 1 sleep 0.3 mousemove 235 176 click 1
choose_file Open "$corpus/ico/thg-hg.ico"
xdotool mousemove 260 227 click 1 key --delay 80 Down Down Down Down Down Down
shot "Add chunks" add-image.png
stop

# Gif options for a 48 x 48 icon saved at 200 % with scaling, reduced to 8 colours with dithering.
start "$corpus/ico/lazarus-LazarusSource.ico"
roomy_preview
xdotool mousemove 100 105 click 1 key --delay 80 Down ctrl+plus
xdotool mousemove 530 170 click 3 sleep 0.4 key Up Return
xdotool mousemove 100 123 click 1 key ctrl+e
choose_file "Save only current image" "$config/frame.gif"
dialog=$(xdotool search --sync --name "^Gif options( — Delvix)?$" | head -1)
xdotool windowmove "$dialog" 238 238
sleep 0.5
xdotool mousemove 390 287 click 1 sleep 0.3 key Home Return
xdotool mousemove 390 315 click 1 sleep 0.3 key Home Return
shot "Gif options" gif-options.png
stop

# The two browsers, opened from the tool bar, going up from the icons to the modules and to the waves.
start "$corpus/ico/thg-hg.ico"
xdotool mousemove 52 38 click 1
browser=$(xdotool search --sync --name "^Quick Info \(images\)( — Delvix)?$" | head -1)
xdotool windowmove "$browser" 150 100 windowsize "$browser" 560 360
sleep 1
xdotool mousemove 400 300 sleep 0.2 windowfocus --sync "$browser" key Return
sleep 0.5
xdotool key --delay 150 Down Down Down Down Return
sleep 0.5
xdotool mousemove 210 178 click 1 sleep 0.5 mousemove 262 178 click 1
sleep 1.5
xdotool key End
window_shot "Quick Info \(images\)" quick-info-images.png
xdotool mousemove 85 38 click 1
browser=$(xdotool search --sync --name "^Quick info \(wav\)( — Delvix)?$" | head -1)
xdotool windowmove "$browser" 100 100 windowsize "$browser" 800 520
sleep 1
xdotool mousemove 400 300 sleep 0.2 windowfocus --sync "$browser" key Return
sleep 0.5
xdotool key --delay 150 Down Down Down Down Down Down Return
sleep 1
xdotool key --delay 80 Down Down Down Down Down Down Down
window_shot "Quick info \(wav\)" quick-info-wav.png
stop

# The dialogs: the tip of the day as a new user meets it, the options and the about box.
rm "$config/Delvix v.2.2.conf"
start "$corpus/ico/thg-hg.ico"
shot "Tip of the Day" tip-of-the-day.png
xdotool mousemove 305 38 click 1
shot "Options" options.png
xdotool mousemove 370 38 click 1
shot "About" about.png
stop
ls "$images"
