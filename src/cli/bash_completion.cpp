#include "cli/bash_completion.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace delvix::cli {

namespace {

// The options of a verb as completion sees them: its own and the common ones (--json only where it goes).
std::vector<VerbOption> optionsOf(const Command& command) {
  std::vector<VerbOption> options(command.options.begin(), command.options.end());
  for (const VerbOption& flag : commonOptions())
    if (flag.name != "json" || !command.jsonShape.empty()) options.push_back(flag);
  return options;
}

// How an option is offered: "--show=" where its value follows '=' (a list, or a value only after '=').
std::string offeredName(const VerbOption& flag) {
  const bool attached = flag.value == ValueUse::attached || (flag.value == ValueUse::required && flag.list);
  return "--" + std::string(flag.name) + (attached ? "=" : "");
}

// The words an option's value completes to: its choices, or the literal words of its value name ("N|all" gives
// "all"); "@node" for a node path, "@file" or "@dir" for a path, empty for nothing to offer.
std::string valueWords(const VerbOption& flag) {
  if (!flag.choices.empty()) return std::string(flag.choices);
  const std::string_view name = flag.valueName;
  if (name == "NODE") return "@node";
  if (name == "DIR") return "@dir";
  if (name == "OUT" || name == "FILE" || name.starts_with("SRC")) return "@file";
  std::string literal;
  for (std::size_t start = 0; start <= name.size();) {
    std::size_t end = name.find('|', start);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view part = name.substr(start, end - start);
    if (!part.empty() && part.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string_view::npos)
      literal += (literal.empty() ? "" : " ") + std::string(part);
    start = end + 1;
  }
  return literal;
}

// The operands of a verb that name a node: "1" for the second operand, "1+" for the second and later.
std::string_view nodeOperands(std::string_view verb) {
  if (verb == "fields") return "1+";
  if (verb == "set" || verb == "remove") return "1";
  return {};
}

// One `case` arm per option that takes a value: its names (long, short) and its value words, as bash reads them.
void printValueCases(const std::vector<VerbOption>& options, std::ostream& out) {
  for (const VerbOption& flag : options) {
    if (flag.value == ValueUse::none) continue;
    out << "          --" << flag.name;
    if (flag.letter != 0) out << "|-" << flag.letter;
    out << ") values='" << valueWords(flag) << "' list=" << (flag.list ? 1 : 0) << " ;;\n";
  }
}

// The options that take the next argument as their value ("--format -f"), padded with spaces for matching.
std::string separateValueNames(const std::vector<VerbOption>& options) {
  std::string names = " ";
  for (const VerbOption& flag : options) {
    if (flag.value != ValueUse::required) continue;
    names += "--" + std::string(flag.name) + " ";
    if (flag.letter != 0) names += std::string("-") + flag.letter + " ";
  }
  return names;
}

// Loops over the words before the one completed: finds the verb, the operands, and an option waiting for its
// value; then completes that value, an option, a verb, a node path or a file.
constexpr std::string_view scriptBody = R"(  local -a words=() operands=()
  local i raw
  # bash splits "--kinds=icons" at '=' (and ':'): join the pieces again.
  for ((i = 0; i <= COMP_CWORD; i++)); do
    raw=${COMP_WORDS[i]}
    if ((i > 1)) && [[ $raw == [=:] || ${COMP_WORDS[i-1]} == [=:] ]]; then
      words[${#words[@]}-1]+=$raw
    else
      words+=("$raw")
    fi
  done
  local cur=${words[${#words[@]}-1]} verb= pending= ended= word
  for ((i = 1; i < ${#words[@]} - 1; i++)); do
    word=${words[i]}
    if [[ -n $pending ]]; then
      pending=
    elif [[ -z $ended && $word == -- ]]; then
      ended=1
    elif [[ -z $ended && $word == -?* ]]; then
      _delvix_cli_takes_value "$verb" "$word" && pending=$word
    elif [[ -z $verb ]]; then
      verb=$word
      ended=
    else
      operands+=("$word")
    fi
  done
  local bashword=${COMP_WORDS[COMP_CWORD]} strip=
  [[ $bashword != "$cur" ]] && strip=${cur%"${cur##*[=:]}"}
  local values= list=0 value=$cur prefix=
  if [[ -n $pending ]]; then
    _delvix_cli_values "$verb" "$pending"
  elif [[ -z $ended && $cur == --*=* ]]; then
    _delvix_cli_values "$verb" "${cur%%=*}"
    prefix=${cur%%=*}= value=${cur#*=}
  elif [[ -z $ended && $cur == -* ]]; then
    _delvix_cli_options "$verb"
    return
  elif [[ -z $verb ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$_delvix_cli_verbs" -- "$cur")
    return
  else
    values=@file
    case $verb in
      help) values="${_delvix_cli_verbs#help }" ;;
)";

constexpr std::string_view scriptTail = R"(    esac
  fi
  _delvix_cli_complete_value
  ((${#COMPREPLY[@]})) && [[ -n $strip ]] && COMPREPLY=("${COMPREPLY[@]#"$strip"}")
  return 0
}

# Completes $value (after $prefix) with $values: words (the items of a comma-separated list where $list is 1),
# @file, @dir, @node (a node path of ${operands[0]}) or @file@node (both).
_delvix_cli_complete_value() {
  local head=
  case $values in
    @*)
      if [[ $values == *@node* && -n ${operands[0]} ]]; then
        local file=${operands[0]#[\"\']}
        file=${file%[\"\']}
        file=${file//\\/}
        [[ $file == \~/* ]] && file=$HOME/${file#\~/}
        # The word as typed: without its opening quote and the backslashes of its escaped spaces.
        local typed=${value#[\"\']}
        mapfile -t COMPREPLY < <(_delvix_cli_nodes "$file" "${typed//\\/}")
        compopt -o filenames 2> /dev/null  # quotes the spaces of module names
      fi
      if [[ $values == *@file* ]]; then
        compopt -o filenames 2> /dev/null
        mapfile -t -O ${#COMPREPLY[@]} COMPREPLY < <(compgen -f -- "$value")
      elif [[ $values == *@dir* ]]; then
        compopt -o filenames 2> /dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$value")
      fi
      ;;
    *)
      if ((list)) && [[ $value == *,* ]]; then
        head=${value%,*},
        value=${value##*,}
      fi
      mapfile -t COMPREPLY < <(compgen -W "$values" -- "$value")
      ;;
  esac
  [[ -n $prefix$head ]] && COMPREPLY=("${COMPREPLY[@]/#/$prefix$head}")
  [[ ${#COMPREPLY[@]} == 1 && ${COMPREPLY[0]} == *[=/] ]] && compopt -o nospace 2> /dev/null
  [[ ${#COMPREPLY[@]} == 1 && $list == 1 && -n $values && $values != @* ]] && compopt -o nospace 2> /dev/null
  return 0
}

# The node paths of FILE below the path typed so far ("RIFF_ACON/" gives RIFF_ACON/ani_header, RIFF_ACON/List_images/...),
# a node with children ending in '/'. The tree comes from the delvix-cli being completed.
_delvix_cli_nodes() {
  local typed=$2 parent=
  [[ $typed == */* ]] && parent=${typed%/*}/
  "${COMP_WORDS[0]}" tree -q -- "$1" 2> /dev/null | awk -v parent="$parent" -v typed="$typed" '
    {
      match($0, /^ */); depth = RLENGTH / 2; name = substr($0, RLENGTH + 1)
      path[depth] = (depth ? path[depth - 1] "/" : "") name
      seen[NR] = path[depth]; level[NR] = depth
    }
    END {
      for (i = 1; i <= NR; i++) {
        p = seen[i]
        if (substr(p, 1, length(parent)) != parent || index(substr(p, length(parent) + 1), "/")) continue
        if (substr(p, 1, length(typed)) != typed) continue
        print p (i < NR && level[i + 1] > level[i] ? "/" : "")
      }
    }'
}
complete -F _delvix_cli delvix-cli
)";

}  // namespace

void printBashCompletion(std::ostream& out) {
  std::string verbs = "help";
  for (const Command& c : commands()) verbs += " " + std::string(c.verb);
  std::vector<VerbOption> common(commonOptions().begin(), commonOptions().end());
  out << "# bash completion for delvix-cli " << DELVIX_VERSION << ", made by `delvix-cli help --bash-completion`\n"
      << "_delvix_cli_verbs='" << verbs << "'\n\n";

  // Whether WORD (an option given to VERB, or before any verb) takes the next word as its value.
  out << "_delvix_cli_takes_value() {\n  local names\n  case $1 in\n";
  for (const Command& c : commands())
    out << "    " << c.verb << ") names='" << separateValueNames(optionsOf(c)) << "' ;;\n";
  out << "    *) names='" << separateValueNames(common) << "' ;;\n  esac\n"
      << "  local word=$2\n"
      << "  while [[ $word == -[!-]?* ]]; do\n"
      << "    [[ $names == *\" ${word:0:2} \"* ]] && return 1  # -fgif holds its value\n"
      << "    word=-${word:2}\n"
      << "  done\n"
      << "  [[ $names == *\" $word \"* ]]\n}\n\n";

  // The values of OPTION of VERB into $values and $list.
  out << "_delvix_cli_values() {\n  case $1 in\n";
  for (const Command& c : commands()) {
    out << "    " << c.verb << ")\n        case $2 in\n";
    printValueCases(optionsOf(c), out);
    out << "        esac ;;\n";
  }
  out << "    *)\n        case $2 in\n";
  printValueCases(common, out);
  out << "        esac ;;\n  esac\n}\n\n";

  // The options of VERB (the common ones and the program's own before any verb) into COMPREPLY.
  out << "_delvix_cli_options() {\n  local options\n  case $1 in\n"
      << "    '') options='--version";
  for (const VerbOption& flag : common) {
    out << ' ' << offeredName(flag);
    if (flag.letter != 0) out << " -" << flag.letter;
  }
  out << "' ;;\n    help) options='--man --bash-completion' ;;\n";
  for (const Command& c : commands()) {
    out << "    " << c.verb << ") options='";
    bool first = true;
    for (const VerbOption& flag : optionsOf(c)) {
      out << (first ? "" : " ") << offeredName(flag);
      if (flag.letter != 0) out << " -" << flag.letter;
      first = false;
    }
    out << "' ;;\n";
  }
  out << "  esac\n"
      << "  mapfile -t COMPREPLY < <(compgen -W \"$options\" -- \"$cur\")\n"
      << "  [[ ${#COMPREPLY[@]} == 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2> /dev/null\n"
      << "  ((${#COMPREPLY[@]})) && [[ -n $strip ]] && COMPREPLY=(\"${COMPREPLY[@]#\"$strip\"}\")\n"
      << "  return 0\n}\n\n";

  out << "_delvix_cli() {\n" << scriptBody;
  for (const Command& c : commands()) {
    const std::string_view nodes = nodeOperands(c.verb);
    if (nodes.empty()) continue;
    out << "      " << c.verb << ") ";
    if (nodes == "1+")
      out << "((${#operands[@]} >= 1)) && values=@file@node ;;\n";
    else
      out << "((${#operands[@]} == 1)) && values=@node ;;\n";
  }
  out << scriptTail;
}

}  // namespace delvix::cli
