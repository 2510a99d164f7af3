#include "cli/bash_completion.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace delvix::cli {

namespace {

struct Option {
  std::string name;    // "--json", "-r", "--show="
  std::string values;  // "png bmp jpg gif"
};

// A verb's options and the common ones as completion offers them: "--show=" for a value after '='.
std::vector<Option> optionsOf(const Command& command) {
  std::vector<Option> options;
  auto add = [&](const OptionSpec& spec) {
    const bool attached = spec.value == ValueUse::attached || (spec.value == ValueUse::required && spec.list);
    options.push_back({"--" + std::string(spec.name) + (attached ? "=" : ""), std::string(spec.choices)});
    if (spec.letter != 0) options.push_back({std::string("-") + spec.letter, std::string(spec.choices)});
  };
  for (const OptionSpec& spec : command.options) add(spec);
  for (const OptionSpec& spec : commonOptions())
    if (spec.name != "json" || !command.jsonShape.empty()) add(spec);
  return options;
}

}  // namespace

void printBashCompletion(std::ostream& out) {
  std::string verbs = "help";
  for (const Command& c : commands()) verbs += " " + std::string(c.verb);
  out << "# bash completion for delvix-cli " << DELVIX_VERSION << ", made by `delvix-cli help --bash-completion`\n"
      << "_delvix_cli() {\n"
      << "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} verb= options= i\n"
      << "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
      << "    [[ ${COMP_WORDS[i]} == -* ]] || { verb=${COMP_WORDS[i]}; break; }\n"
      << "  done\n"
      << "  if [[ -z $verb ]]; then\n"
      << "    mapfile -t COMPREPLY < <(compgen -W '" << verbs << " --kinds= --json --version' -- \"$cur\")\n"
      << "    [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace\n"
      << "    return\n"
      << "  fi\n"
      << "  case $verb in\n"
      << "    help) options='--man --bash-completion' ;;\n";
  for (const Command& c : commands()) {
    std::string names;
    std::string valueCases;
    for (const Option& option : optionsOf(c)) {
      names += (names.empty() ? "" : " ") + option.name;
      if (!option.values.empty())
        valueCases += "      [[ $prev == " + option.name + " ]] && { mapfile -t COMPREPLY < <(compgen -W '" +
                      option.values + "' -- \"$cur\"); return; }\n";
    }
    out << "    " << c.verb << ")\n" << valueCases << "      options='" << names << "' ;;\n";
  }
  out << "  esac\n"
      << "  if [[ $cur == -* ]]; then\n"
      << "    mapfile -t COMPREPLY < <(compgen -W \"$options\" -- \"$cur\")\n"
      << "    [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace\n"
      << "    return\n"
      << "  fi\n"
      << "  compopt -o filenames\n"
      << "  mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
      << "}\n"
      << "complete -F _delvix_cli delvix-cli\n";
}

}  // namespace delvix::cli
