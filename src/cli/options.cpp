#include "cli/options.h"

#include <algorithm>

namespace delvix::cli {

bool Invocation::has(std::string_view name) const {
  return std::ranges::any_of(given, [&](const auto& option) { return option.first == name; });
}

std::optional<std::string> Invocation::value(std::string_view name) const {
  for (auto it = given.rbegin(); it != given.rend(); ++it)
    if (it->first == name) return it->second;
  return std::nullopt;
}

std::vector<std::string> Invocation::values(std::string_view name) const {
  std::vector<std::string> result;
  for (const auto& [option, value] : given)
    if (option == name) result.push_back(value);
  return result;
}

namespace {

// The parts of `text` between `separator`s, empty parts left out.
std::vector<std::string> partsOf(std::string_view text, char separator) {
  std::vector<std::string> parts;
  while (!text.empty()) {
    const std::size_t at = text.find(separator);
    if (at != 0) parts.emplace_back(text.substr(0, at));
    text = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
  }
  return parts;
}

bool isNumber(const std::string& word) {
  return !word.empty() && std::ranges::all_of(word, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::vector<std::string> listItems(std::string_view value) { return partsOf(value, ','); }

std::vector<std::string> choicesOf(const VerbOption& option) { return partsOf(option.choices, ' '); }

std::string choiceText(const VerbOption& option) {
  const std::vector<std::string> choices = choicesOf(option);
  const bool run = choices.size() > 2 && std::ranges::all_of(choices, isNumber) &&
                   std::stoul(choices.back()) - std::stoul(choices.front()) + 1 == choices.size();
  if (run) return choices.front() + " to " + choices.back();
  std::string text;
  for (std::size_t i = 0; i < choices.size(); ++i)
    text += (i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ") + choices[i];
  return text;
}

std::string optionSynopsis(const VerbOption& option) {
  std::string text;
  if (option.letter != 0) text = std::string("-") + option.letter + ", ";
  text += "--" + std::string(option.name);
  const std::string valueName(option.valueName.empty() ? "VALUE" : option.valueName);
  if (option.value == ValueUse::required) text += (option.letter != 0 ? " " : "=") + valueName;
  if (option.value == ValueUse::attached) text += "[=" + valueName + "]";
  return text;
}

namespace {

// Empty when `value` is one of the option's choices (each item of it, for a list).
std::string choiceError(const VerbOption& option, const std::string& value) {
  // An option whose value is optional may come without one.
  if (option.choices.empty() || (option.value == ValueUse::attached && value.empty())) return {};
  const std::vector<std::string> allowed = choicesOf(option);
  const std::vector<std::string> items = option.list ? listItems(value) : std::vector<std::string>{value};
  const bool fits = !items.empty() && std::ranges::all_of(items, [&](const std::string& item) {
    return std::ranges::find(allowed, item) != allowed.end();
  });
  if (fits) return {};
  return "--" + std::string(option.name) + " takes " + (option.list ? "a comma-separated list of " : "") +
         choiceText(option) + ", not '" + value + "'";
}

struct Lookup {
  const VerbOption* option = nullptr;
  std::string error;
};

// The option a long name (or an unambiguous start of one) names.
Lookup findLong(std::string_view name, std::span<const VerbOption> options) {
  std::vector<const VerbOption*> starting;
  for (const VerbOption& option : options) {
    if (option.name == name) return {&option, {}};
    if (option.name.starts_with(name)) starting.push_back(&option);
  }
  if (starting.size() == 1) return {starting.front(), {}};
  if (starting.empty()) return {nullptr, "unknown option --" + std::string(name)};
  std::string names;
  for (const VerbOption* option : starting) names += (names.empty() ? "--" : ", --") + std::string(option->name);
  return {nullptr, "option --" + std::string(name) + " is ambiguous (" + names + ")"};
}

class Parser {
 public:
  Parser(std::span<const std::string> args, std::span<const VerbOption> options) : args_(args), options_(options) {}

  ParseOutcome run() {
    for (index_ = 0; index_ < args_.size() && outcome_.error.empty(); ++index_) {
      const std::string& arg = args_[index_];
      if (arg == "--") {
        for (++index_; index_ < args_.size(); ++index_) outcome_.invocation.operands.push_back(args_[index_]);
        break;
      }
      if (arg.starts_with("--"))
        takeLong(arg);
      else if (arg.size() > 1 && arg.front() == '-')
        takeShort(arg);
      else
        outcome_.invocation.operands.push_back(arg);
    }
    return std::move(outcome_);
  }

 private:
  void give(const VerbOption& option, std::string value) {
    if (std::string error = choiceError(option, value); !error.empty()) {
      outcome_.error = std::move(error);
      return;
    }
    outcome_.invocation.given.emplace_back(std::string(option.name), std::move(value));
  }

  // The value after an option that requires one: the next argument.
  std::optional<std::string> nextValue(std::string_view written) {
    if (index_ + 1 < args_.size()) return args_[++index_];
    outcome_.error = "option " + std::string(written) + " needs a value";
    return std::nullopt;
  }

  void takeLong(const std::string& arg) {
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const Lookup found = findLong(name, options_);
    if (!found.option) {
      outcome_.error = found.error;
      return;
    }
    const VerbOption& option = *found.option;
    const std::string written = "--" + std::string(option.name);
    if (equals != std::string::npos) {
      if (option.value == ValueUse::none)
        outcome_.error = "option " + written + " takes no value";
      else
        give(option, arg.substr(equals + 1));
      return;
    }
    if (option.value != ValueUse::required) return give(option, {});
    if (auto value = nextValue(written)) give(option, std::move(*value));
  }

  void takeShort(const std::string& arg) {
    for (std::size_t i = 1; i < arg.size() && outcome_.error.empty(); ++i) {
      const auto found = std::ranges::find(options_, arg[i], &VerbOption::letter);
      if (found == options_.end()) {
        outcome_.error = std::string("unknown option -") + arg[i];
        return;
      }
      if (found->value != ValueUse::required) {
        give(*found, {});
        continue;
      }
      // The rest of the cluster is the value ("-fgif"), else the next argument.
      if (i + 1 < arg.size()) return give(*found, arg.substr(i + 1));
      if (auto value = nextValue(std::string("-") + arg[i])) give(*found, std::move(*value));
      return;
    }
  }

  std::span<const std::string> args_;
  std::span<const VerbOption> options_;
  std::size_t index_ = 0;
  ParseOutcome outcome_;
};

}  // namespace

ParseOutcome parseArguments(std::span<const std::string> args, std::span<const VerbOption> options) {
  return Parser(args, options).run();
}

}  // namespace delvix::cli
