#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "formats/save_signals.h"

namespace {

// A run is short and allocates image after image: keep freed heap memory instead of handing it back to
// the system, grow the heap in large steps, and let the system back it with huge pages, so that a run
// takes a handful of page faults instead of thousands.
void prepareHeap() {
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_TOP_PAD, 16 << 20);
  // The largest threshold the allocator takes: blocks below it come from the heap.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  const auto start = reinterpret_cast<std::uintptr_t>(sbrk(0));
  // The heap is grown once, far enough for a file of tens of thousands of pictures: later growth would not
  // be backed by huge pages. Pages that are never touched take no memory.
  std::vector<void*> growth;
  for (int i = 0; i < 4; ++i) growth.push_back(std::malloc(30 << 20));
  for (void* block : growth) std::free(block);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  constexpr std::uintptr_t hugePage = 2 << 20;
  const std::uintptr_t first = (start + hugePage - 1) & ~(hugePage - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

// What went to standard output has all arrived only when it was flushed and closed without an error (a
// full disk, a closed pipe): otherwise the run failed, and says why.
int closeStandardOutput(int status) {
  errno = 0;
  std::cout.flush();
  int reason = errno;
  const bool failed = !std::cout || std::ferror(stdout) != 0;
  const bool flushed = std::fflush(stdout) == 0;
  if (reason == 0) reason = errno;
  const bool closed = std::fclose(stdout) == 0;
  if (!failed && flushed && closed) return status;
  if (reason == 0) reason = errno;
  std::cerr << "delvix-cli: standard output: " << (reason != 0 ? std::strerror(reason) : "write error") << '\n';
  return delvix::cli::exitRefused;
}

}  // namespace

int main(int argc, char** argv) {
  prepareHeap();
  delvix::formats::ignoreFileSizeSignal();
  std::vector<std::string> args(argv + 1, argv + argc);
  return closeStandardOutput(delvix::cli::runCommandLine(args, {std::cout, std::cerr}));
}
