#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "formats/document_reader.h"

namespace delvix::cli {

// Exit codes of every verb.
inline constexpr int exitOk = 0;
inline constexpr int exitRefused = 1;
inline constexpr int exitUsage = 2;

struct Streams {
  std::ostream& out;
  std::ostream& err;
  // What the readers take from the options before the verb (--kinds=...).
  formats::ReadSettings settings = {};
  // --json: tree, info, browse, extract and export print one JSON document instead of text.
  bool json = false;
};

struct Command {
  std::string_view verb;
  std::string_view arguments;  // for the usage text, e.g. "FILE DIR"
  std::string_view summary;
  std::size_t argumentCount;
  int (*run)(std::span<const std::string> arguments, Streams streams);
  // The verb takes options among its arguments and checks them itself; argumentCount is then not used.
  bool takesOptions = false;
};

std::span<const Command> commands();
void printUsage(std::ostream& out);
// Runs the verb named by args[0] with the rest as its arguments.
int runCommandLine(std::span<const std::string> args, Streams streams);

}  // namespace delvix::cli
