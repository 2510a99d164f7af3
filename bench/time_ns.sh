# Sourced by the benchmarks. time_ns TARGET COMMAND...: the wall time in nanoseconds of one run of COMMAND,
# which writes the new file TARGET (removed first; the previous run's pages are written back outside the
# timing). $work is the benchmark's working folder.
time_ns() {
  local target=$1
  shift
  rm -f "$target"
  sync -f "$work" 2> /dev/null || true
  local start end
  start=$(date +%s%N)
  "$@" > /dev/null 2>&1
  end=$(date +%s%N)
  echo $((end - start))
}
