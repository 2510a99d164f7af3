#include <malloc.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  // A run is short and allocates image after image: keep freed heap memory instead of handing it back
  // to the system and faulting it in again.
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_TOP_PAD, 16 << 20);
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  std::vector<std::string> args(argv + 1, argv + argc);
  return delvix::cli::runCommandLine(args, {std::cout, std::cerr});
}
