#pragma once

#include <cstddef>
#include <iosfwd>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "cli/options.h"
#include "formats/document_reader.h"

namespace delvix::cli {

// Exit codes of every verb.
inline constexpr int exitOk = 0;
inline constexpr int exitRefused = 1;
inline constexpr int exitUsage = 2;

struct Streams {
  std::ostream& out;
  std::ostream& err;
  // What the readers take from the options (--kinds=...).
  formats::ReadSettings settings = {};
  // --json: the verb prints one JSON document instead of text.
  bool json = false;
  // -q: only failures are reported.
  bool quiet = false;
  // Where a file written as "-" goes (standard output); `out` then takes what the verb reports.
  std::ostream* fileOutput = nullptr;
};

inline constexpr std::size_t anyNumber = std::numeric_limits<std::size_t>::max();

struct Command {
  std::string_view verb;
  std::string_view operands;  // for the usage text, e.g. "FILE... DIR"
  std::size_t fewestOperands;
  std::size_t mostOperands;             // anyNumber for no limit
  std::span<const VerbOption> options;  // the verb's own, besides the common ones
  std::string_view summary;             // one line
  std::string_view description;         // the manual's text: what the operands mean, what is printed
  std::string_view jsonShape;           // what --json prints; empty when the verb has no --json
  int (*run)(const Invocation& call, Streams streams);
};

// The options every verb takes (--kinds, --json, --quiet, --help).
std::span<const VerbOption> commonOptions();
std::span<const Command> commands();
const Command* findCommand(std::string_view verb);
void printUsage(std::ostream& out);
void printVerbUsage(const Command& command, std::ostream& out);
// Runs the verb named by the first operand with the rest.
int runCommandLine(std::span<const std::string> args, Streams streams);

}  // namespace delvix::cli
