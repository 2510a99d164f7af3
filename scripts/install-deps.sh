#!/usr/bin/env bash
# Installs every build and test dependency of Delvix from Debian's packages,
# skipping the ones already present. Safe to run again and again.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins libgl-dev fonts-dejavu-core
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libgif-dev libsndfile1-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev llvm
  xvfb xauth xdg-utils xdotool
  pulseaudio pulseaudio-utils
  icoutils imagemagick sox sndfile-programs time ffmpeg
  libgdk-pixbuf2.0-bin libgdk-pixbuf-2.0-dev
  x11-apps libxcursor1 python3
  python3-pefile binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 gcc-mingw-w64-x86-64-win32
  gcc-mingw-w64-i686-win32 osslsigncode openssl
  desktop-file-utils appstream shared-mime-info
  dpkg-dev file lintian
)
# Node and npm (for the resource editor the module tests compare with) may come from elsewhere, with npm inside
# the nodejs package, where Debian's npm package would conflict: Debian's are taken only when there is none.
if ! command -v npm >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
