#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace delvix::cli {

// Whether an option takes a value, and how it is written.
enum class ValueUse {
  none,      // --rate
  required,  // --format gif, --format=gif, -f gif, -fgif
  attached,  // --images or --images=ico,cur: a value only after '='
};

// One option of a verb (or of every verb), as the parser, the usage texts, the manual and the completion see it.
struct VerbOption {
  std::string_view name;  // the long name without its dashes: "format"
  char letter = 0;        // the short form ('f' for -f), 0 for none
  ValueUse value = ValueUse::none;
  std::string_view valueName = {};  // "FORMAT", "N", "LIST"
  // The values it takes, separated by spaces ("png bmp jpg gif"); empty for any value. With `list` the value is
  // a comma-separated list of them.
  std::string_view choices = {};
  bool list = false;
  std::string_view help = {};  // what it does, one or more sentences
  bool repeatable = false;     // may be given more than once (--info=...): every value counts
};

// What a command line said: the operands in order and the options given (long name, value), in order.
struct Invocation {
  std::vector<std::string> operands;
  std::vector<std::pair<std::string, std::string>> given;

  bool has(std::string_view name) const;
  // The value of the last `name` given.
  std::optional<std::string> value(std::string_view name) const;
  // Every value of `name`, in order.
  std::vector<std::string> values(std::string_view name) const;
};

struct ParseOutcome {
  Invocation invocation;
  std::string error;  // empty when the arguments were understood: else what was wrong, naming the argument
};

// Parses `args` as getopt_long does with permutation: options anywhere among the operands, "--name=value" and
// "--name value", short forms clustered ("-qr", "-fgif", "-f gif"), "--" ends the options, "-" is an operand.
// A long name may be shortened to any unambiguous prefix. Values are checked against their choices.
ParseOutcome parseArguments(std::span<const std::string> args, std::span<const VerbOption> options);

// The items of a comma-separated list value ("icons,cursors"), empty items left out.
std::vector<std::string> listItems(std::string_view value);
// The values an option takes, from its space-separated choices.
std::vector<std::string> choicesOf(const VerbOption& option);
// Its choices as a sentence says them: "png, bmp, jpg or gif", or "1 to 10" for a run of whole numbers.
std::string choiceText(const VerbOption& option);

// "--format FORMAT", "-f, --format FORMAT", "--images[=LIST]": how the usage texts and the manual name it.
std::string optionSynopsis(const VerbOption& option);

}  // namespace delvix::cli
