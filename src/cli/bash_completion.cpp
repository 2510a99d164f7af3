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
  std::string values;  // "png bmp jpg gif" for "--format png|bmp|jpg|gif"
};

std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> result;
  std::string word;
  for (char c : text) {
    if (c == ' ') {
      if (!word.empty()) result.push_back(std::move(word));
      word.clear();
    } else if (c != '[' && c != ']') {
      word += c;
    }
  }
  if (!word.empty()) result.push_back(std::move(word));
  return result;
}

// The options an arguments text names: "--show=..." completes as "--show=", a word list after an option
// ("--format png|bmp") gives its values.
std::vector<Option> optionsOf(std::string_view arguments) {
  std::vector<Option> options;
  const std::vector<std::string> all = words(arguments);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string& word = all[i];
    if (!word.starts_with('-')) continue;
    Option option{word.substr(0, word.find('=') == std::string::npos ? word.size() : word.find('=') + 1), {}};
    if (i + 1 < all.size() && !all[i + 1].starts_with('-') && all[i + 1].find('|') != std::string::npos) {
      for (char c : all[i + 1]) option.values += c == '|' ? ' ' : c;
      ++i;
    }
    options.push_back(std::move(option));
  }
  options.push_back({"--help", {}});
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
    for (const Option& option : optionsOf(c.arguments)) {
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
