#pragma once

#include <iosfwd>

namespace delvix::cli {

// A bash completion script for delvix-cli, made from the verb table: the verbs, each verb's options (and the
// values of those that take a word from a list), file names for the rest.
void printBashCompletion(std::ostream& out);

}  // namespace delvix::cli
