#!/usr/bin/env bash
# Configures (once) and builds Delvix in build/: the program, the command-line tool and the tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
if [[ ! -f "$root/build/build.ninja" ]]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$root/build"
