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

# The sound output tests play into a PulseAudio server of their own with a silent null sink ("ci_null"),
# in a runtime folder of its own, and record its monitor; sound_env holds what the tests need to find it.
# Without a server they are skipped, never failed.
sound_dir=""
sound_env=()
start_sound_server() {
  if ! command -v pulseaudio > /dev/null || ! command -v pactl > /dev/null; then
    echo "PulseAudio is not installed: the sound output tests will be skipped."
    return
  fi
  sound_dir="$(mktemp -d)"
  trap stop_sound_server EXIT
  # A named server: no client starts a server of its own when this one is not there.
  sound_env=(XDG_RUNTIME_DIR="$sound_dir" PULSE_SERVER="unix:$sound_dir/pulse/native")
  # -D exits 0 even when a module fails to load: only an answer from the server tells.
  env "${sound_env[@]}" pulseaudio -D -n --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=ci_null" --log-target=file:"$sound_dir/pulseaudio.log" || true
  for _ in $(seq 50); do
    if env "${sound_env[@]}" pactl list short sinks 2> /dev/null | grep -qw ci_null; then
      echo "PulseAudio with the null sink ci_null is running for the sound output tests."
      return
    fi
    sleep 0.2
  done
  echo "PulseAudio did not start: the sound output tests will be skipped. Its log:"
  cat "$sound_dir/pulseaudio.log" 2> /dev/null || true
  stop_sound_server
}
stop_sound_server() {
  [[ -n "$sound_dir" ]] || return 0
  env "${sound_env[@]}" pulseaudio -k 2> /dev/null || true
  rm -rf "$sound_dir"
  sound_dir=""
  sound_env=()
}

echo "== build and test"
configure "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build"
start_sound_server
(cd "$root/build" && env "${sound_env[@]}" QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
stop_sound_server

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
