#!/usr/bin/env bash
# Runs a fuzz campaign:  scripts/fuzz.sh TARGET MINUTES
# Builds build-fuzz when needed and fuzzes TARGET for MINUTES on a corpus kept in build-fuzz/campaign/TARGET
# (seeded from fuzz/corpus and, when it is there, the sample folder $DELVIX_SAMPLES, by default
# ../shared/corpus), then prints the speed, libFuzzer's coverage, the findings, and the lines of the
# target's reader that the corpus reaches (a coverage build in build-fuzz-cov, measured with llvm-cov).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:?usage: scripts/fuzz.sh TARGET MINUTES}"
minutes="${2:?usage: scripts/fuzz.sh TARGET MINUTES}"
samples="${DELVIX_SAMPLES:-$root/../shared/corpus}"

case "$target" in
  ico_fuzzer) seeds=(ico) shared=(ico cur) files=(formats/ico_reader.cpp formats/icon_image_reader.cpp) ;;
  ani_fuzzer) seeds=(ani) shared=(ani) files=(formats/ani_reader.cpp formats/riff/riff_navigator.cpp) ;;
  wav_fuzzer) seeds=(wav) shared=(wav) files=(formats/wav_reader.cpp formats/wave_channels.cpp) ;;
  sound_fuzzer) seeds=(wav) shared=(wav) files=(sound/decoded_source.cpp sound/pieced_file.cpp) ;;
  pe_fuzzer)
    seeds=(pe) shared=(pe)
    files=(formats/module_reader.cpp formats/module_group_reader.cpp formats/module_bitmap_reader.cpp
      formats/pe/pe_image.cpp formats/pe/resource_directory.cpp) ;;
  roundtrip_fuzzer)
    seeds=(ico ani wav pe) shared=(ico cur ani wav)
    files=(formats/ico_writer.cpp formats/ani_writer.cpp formats/wav_writer.cpp
      formats/icon_image_writer.cpp formats/icon_group_writer.cpp formats/riff/riff_writer.cpp) ;;
  edit_fuzzer)
    seeds=(edit) shared=()
    files=(fieldview/apply.cpp fieldview/header_edits.cpp fieldview/sequence_edits.cpp
      fieldview/pixel_apply.cpp fieldview/colour_table_apply.cpp edit/add_chunks.cpp
      edit/add_image.cpp edit/remove_chunk.cpp history/edit_history.cpp) ;;
  *) echo "unknown target $target" >&2; exit 2 ;;
esac

configure() {  # folder, then cmake options
  [[ -f "$1/build.ninja" ]] || CC=clang CXX=clang++ cmake -S "$root" -B "$@" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDELVIX_FUZZ=ON -DDELVIX_BUILD_GUI=OFF -DDELVIX_BUILD_TESTS=OFF > /dev/null
}
configure "$root/build-fuzz"
cmake --build "$root/build-fuzz" --target "$target" -j2 > /dev/null 2>&1

campaign="$root/build-fuzz/campaign/$target"
findings="$campaign-findings"
mkdir -p "$campaign" "$findings"
dirs=("$campaign")
for seed in "${seeds[@]}"; do dirs+=("$root/fuzz/corpus/$seed"); done
for folder in "${shared[@]}"; do [[ -d "$samples/$folder" ]] && dirs+=("$samples/$folder"); done
log="$campaign.log"
echo "== $target for $minutes min on ${dirs[*]}"
set +e
ASAN_OPTIONS=detect_leaks=1 "$root/build-fuzz/fuzz/$target" -max_total_time=$((minutes * 60)) -timeout=10 \
  -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" \
  -dict="$root/fuzz/formats.dict" "${dirs[@]}" > "$log" 2>&1
status=$?
set -e
grep -E '^#[0-9]+.*(INITED|DONE)' "$log" | sed 's/^/  /' || true
grep -E 'stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" | sed 's/^/  /' || true
echo "  corpus: $(find "$campaign" -type f | wc -l) inputs; exit status $status"
found=$(find "$findings" -type f | sort)
if [[ -n "$found" ]]; then echo "  findings:"; echo "$found" | sed 's/^/    /'; else echo "  findings: none"; fi
[[ $status -eq 0 ]] || { echo "  the run stopped: see $log"; grep -m3 -E 'ERROR|fuzz check failed|SUMMARY' "$log" | sed 's/^/    /'; }

echo "== lines of the reader reached by the corpus"
configure "$root/build-fuzz-cov" -DDELVIX_FUZZ_COVERAGE=ON
cmake --build "$root/build-fuzz-cov" --target "$target" -j2 > /dev/null 2>&1
profile="$root/build-fuzz-cov/$target"
rm -f "$profile".*.profraw
LLVM_PROFILE_FILE="$profile.%p.profraw" "$root/build-fuzz-cov/fuzz/$target" -runs=0 -max_len=65536 -timeout=30 \
  "${dirs[@]}" > "$profile.log" 2>&1 || true
llvm-profdata merge -sparse "$profile".*.profraw -o "$profile.profdata"
# The compiler cache may record paths relative to the build folder: files are matched by their ends.
llvm-cov report "$root/build-fuzz-cov/fuzz/$target" -instr-profile="$profile.profdata" |
  awk -v wanted="${files[*]}" '
    BEGIN { n = split(wanted, names, " "); printf "  %-40s %8s %8s %8s\n", "file", "lines", "missed", "cover" }
    { for (i = 1; i <= n; i++) if (substr($1, length($1) - length(names[i]) + 1) == names[i]) {
        printf "  %-40s %8d %8d %7.1f%%\n", names[i], $8, $9, 100 * ($8 - $9) / $8; lines += $8; missed += $9 } }
    END { printf "  %-40s %8d %8d %7.1f%%\n", "all of them", lines, missed, lines ? 100 * (lines - missed) / lines : 0 }'
