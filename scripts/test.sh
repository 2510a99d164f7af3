#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite:
#   1. the program and its tests (build/),
#   2. the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/),
#   3. every fuzz target for a bounded time on its seed corpus, built with clang (build-fuzz/).
# Set DELVIX_FUZZ_SECONDS to change how long each fuzz target runs (default 15).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
"$root/scripts/install-deps.sh"

configure() {  # folder, then cmake options
  local dir="$1"
  shift
  if [[ ! -f "$dir/build.ninja" ]]; then
    cmake -S "$root" -B "$dir" -G Ninja "$@"
  fi
}

echo "== build and test"
configure "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

echo "== core tests under the sanitizers"
configure "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DDELVIX_SANITIZE=ON -DDELVIX_BUILD_GUI=OFF
cmake --build "$root/build-asan"
(cd "$root/build-asan" && ctest --output-on-failure -j"$jobs")

echo "== fuzz targets"
CC=clang CXX=clang++ configure "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDELVIX_FUZZ=ON \
  -DDELVIX_BUILD_GUI=OFF -DDELVIX_BUILD_TESTS=OFF
cmake -S "$root" -B "$root/build-fuzz" -DDELVIX_FUZZ_SECONDS="${DELVIX_FUZZ_SECONDS:-15}" > /dev/null
cmake --build "$root/build-fuzz"
(cd "$root/build-fuzz" && ctest --output-on-failure)
