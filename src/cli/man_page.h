#pragma once

#include <iosfwd>

namespace delvix::cli {

// The manual page delvix-cli(1) in roff, made from the same verb table as the usage text.
void printManPage(std::ostream& out);

}  // namespace delvix::cli
