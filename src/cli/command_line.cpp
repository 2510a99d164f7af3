#include "cli/command_line.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <sstream>
#include <vector>

#include "cli/bash_completion.h"
#include "cli/man_page.h"
#include "cli/module_resource_commands.h"
#include "cli/output_check.h"
#include "formats/content_kind.h"
#include "formats/standard_input.h"

namespace delvix::cli {

namespace {

// Where the verb stands: the first argument that is neither an option nor the value of one.
std::size_t verbPosition(std::span<const std::string> args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") return i + 1 < args.size() ? i + 1 : args.size();
    // "--kinds LIST" (or a start of it) takes the next argument as its value.
    if (arg.size() >= 4 && std::string_view("--kinds").starts_with(arg)) {
      ++i;
      continue;
    }
    if (arg.size() < 2 || arg.front() != '-') return i;
  }
  return args.size();
}

int usageError(const Command& command, std::string_view what, Streams streams) {
  streams.err << "delvix-cli: " << command.verb << ": " << what << "\nTry 'delvix-cli " << command.verb
              << " --help' for its operands and options.\n";
  return exitUsage;
}

// The resources of a module that --kinds names.
model::ResourceKinds kindsOf(const std::string& list) {
  model::ResourceKinds kinds{false, false, false};
  for (const std::string& kind : listItems(list)) {
    kinds.icons |= kind == "icons";
    kinds.cursors |= kind == "cursors";
    kinds.bitmaps |= kind == "bitmaps";
  }
  return kinds;
}

std::string operandCountText(const Command& command, std::size_t given) {
  std::ostringstream text;
  text << "needs " << command.operands << " (";
  if (command.mostOperands == anyNumber)
    text << "at least " << command.fewestOperands;
  else if (command.fewestOperands == command.mostOperands)
    text << command.fewestOperands;
  else
    text << command.fewestOperands << " to " << command.mostOperands;
  text << " operands), not " << given;
  return text.str();
}

bool writesOneFile(const Command& command) {
  return std::ranges::any_of(command.options,
                             [](const VerbOption& o) { return o.name == "output" && o.valueName == "OUT"; });
}

bool writesIntoFolder(const Command& command) {
  return std::ranges::any_of(command.options,
                             [](const VerbOption& o) { return o.name == "output" && o.valueName == "DIR"; });
}

// With -q, what the verb says on standard error is kept back, and shown only when it failed.
int runQuietOrNot(const Command& command, const Invocation& call, Streams streams) {
  if (!call.has("quiet")) return command.run(call, streams);
  std::ostringstream heldBack;
  const bool reportsOnError = &streams.out == &streams.err;
  const int status = command.run(call, {reportsOnError ? heldBack : streams.out, heldBack, streams.settings,
                                        streams.json, true, streams.fileOutput});
  if (status != exitOk) streams.err << heldBack.str();
  return status;
}

int runVerb(const Command& command, std::vector<std::string> args, Streams streams) {
  std::vector<VerbOption> options(command.options.begin(), command.options.end());
  options.insert(options.end(), commonOptions().begin(), commonOptions().end());
  ParseOutcome parsed = parseArguments(args, options);
  if (!parsed.error.empty()) return usageError(command, parsed.error, streams);
  Invocation& call = parsed.invocation;
  if (call.has("help")) {
    printVerbUsage(command, streams.out);
    return exitOk;
  }
  if (call.has("json") && command.jsonShape.empty()) {
    std::string verbs;
    for (const Command& c : commands())
      if (!c.jsonShape.empty()) verbs += (verbs.empty() ? "" : ", ") + std::string(c.verb);
    return usageError(command, "--json goes with " + verbs + ", not with " + std::string(command.verb), streams);
  }
  if (const auto output = call.value("output")) call.operands.push_back(*output);
  if (const auto kinds = call.value("kinds")) streams.settings.resources = kindsOf(*kinds);
  const std::size_t given = call.operands.size();
  if (given < command.fewestOperands || given > command.mostOperands)
    return usageError(command, operandCountText(command, given), streams);
  if (writesOneFile(command) && given >= 2) {
    // X cursor files go by their content: save and set write one under any name.
    const bool xcursorKept = (command.verb == "save" || command.verb == "set") &&
                             call.operands.front() != formats::standardInputName &&
                             formats::chooseFileKind(call.operands.front()).kind == model::FileKind::xcursor;
    if (auto problem = outputFileProblem(call.operands.back(), command.verb == "save",
                                         command.verb == "xcursor" || xcursorKept || writesModule(command.verb)))
      return usageError(command, *problem, streams);
  }
  if (writesIntoFolder(command) && given >= 2) {
    if (auto problem = outputFolderProblem(call.operands.back())) return usageError(command, *problem, streams);
  }
  streams.json = call.has("json");
  if (writesOneFile(command) && call.operands.back() == "-") {
    // The file takes standard output; what the verb reports goes to standard error.
    return runQuietOrNot(command, call, {streams.err, streams.err, streams.settings, false, false, &streams.out});
  }
  return runQuietOrNot(command, call, streams);
}

// help, help VERB, help --man, help --bash-completion.
int runHelp(const std::vector<std::string>& rest, Streams streams) {
  if (rest == std::vector<std::string>{"--man"}) {
    printManPage(streams.out);
    return exitOk;
  }
  if (rest == std::vector<std::string>{"--bash-completion"}) {
    printBashCompletion(streams.out);
    return exitOk;
  }
  if (rest.size() == 1)
    if (const Command* command = findCommand(rest.front())) {
      printVerbUsage(*command, streams.out);
      return exitOk;
    }
  if (!rest.empty()) {
    streams.err << "delvix-cli: help takes a verb, --man or --bash-completion\n";
    return exitUsage;
  }
  printUsage(streams.out);
  return exitOk;
}

}  // namespace

int runParsedCommandLine(std::span<const std::string> args, Streams streams) {
  const std::size_t at = verbPosition(args);
  const auto isAny = [&](std::initializer_list<std::string_view> words) {
    return std::ranges::any_of(args, [&](const std::string& a) { return std::ranges::find(words, a) != words.end(); });
  };
  if (at == args.size()) {
    if (isAny({"--version", "-V"})) {
      streams.out << "delvix-cli " << DELVIX_VERSION << '\n';
      return exitOk;
    }
    if (isAny({"--help", "-h"})) {
      printUsage(streams.out);
      return exitOk;
    }
    if (!args.empty()) {
      streams.err << "delvix-cli: no verb given; 'delvix-cli help' lists them\n";
      return exitUsage;
    }
    printUsage(streams.err);
    return exitUsage;
  }
  std::vector<std::string> rest(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(at));
  if (!rest.empty() && rest.back() == "--") rest.pop_back();  // it only marked where the verb stands
  rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(at) + 1, args.end());
  const std::string& verb = args[at];
  if (verb == "help") return runHelp(rest, streams);
  const Command* command = findCommand(verb);
  if (!command) {
    streams.err << "delvix-cli: unknown verb '" << verb << "'; 'delvix-cli help' lists them\n";
    return exitUsage;
  }
  return runVerb(*command, std::move(rest), streams);
}

}  // namespace delvix::cli
