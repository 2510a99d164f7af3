#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

// A run is short and allocates image after image: keep freed heap memory instead of handing it back to
// the system, grow the heap in large steps, and let the system back it with huge pages, so that a run
// takes a handful of page faults instead of thousands.
void prepareHeap() {
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_TOP_PAD, 16 << 20);
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  const auto start = reinterpret_cast<std::uintptr_t>(sbrk(0));
  void* volatile growth = std::malloc(1 << 20);  // grows the heap by that and the top pad
  std::free(growth);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  constexpr std::uintptr_t hugePage = 2 << 20;
  const std::uintptr_t first = (start + hugePage - 1) & ~(hugePage - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace

int main(int argc, char** argv) {
  prepareHeap();
  std::vector<std::string> args(argv + 1, argv + argc);
  return delvix::cli::runCommandLine(args, {std::cout, std::cerr});
}
