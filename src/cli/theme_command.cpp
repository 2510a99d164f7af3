#include "cli/theme_command.h"

#include <ostream>

#include "cli/json_output.h"
#include "cli/stderr_reporter.h"
#include "theme/theme_conversion.h"

namespace delvix::cli {

namespace {

std::string joined(const std::vector<std::string>& items, std::string_view separator) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : std::string(separator)) + item;
  return text;
}

nlohmann::json resultJson(const theme::ThemeConversion& result, theme::ThemeLayout to, const std::string& output) {
  nlohmann::json cursors = nlohmann::json::array();
  for (const theme::ConvertedCursor& cursor : result.cursors)
    cursors.push_back(
        {{"role", cursor.role}, {"source", cursor.source}, {"written", cursor.written}, {"aliases", cursor.aliases}});
  return {{"to", to == theme::ThemeLayout::windows ? "windows" : "linux"},
          {"name", result.name},
          {"output", output},
          {"cursors", cursors},
          {"unmatched", result.unmatched},
          {"missing_roles", result.missingRoles},
          {"failures", result.failures}};
}

class SilentReporter : public formats::Reporter {
 public:
  void log(std::string_view) override {}
  void dialog(const formats::DialogRequest&) override {}
};

}  // namespace

int convertTheme(const Invocation& call, Streams streams) {
  theme::ThemeRequest request{call.operands[0], call.operands[1], call.has("replace")};
  std::optional<theme::ThemeLayout> to;
  if (const auto given = call.value("to"))
    to = *given == "windows" ? theme::ThemeLayout::windows : theme::ThemeLayout::freedesktop;
  if (!to) {
    const auto from = theme::themeLayoutOf(request.input);
    if (!from) {
      streams.err << "delvix-cli: " << request.input.string()
                  << " is neither a cursor theme (cursors/, index.theme) nor a folder of .cur and .ani files\n";
      return exitRefused;
    }
    to = *from == theme::ThemeLayout::windows ? theme::ThemeLayout::freedesktop : theme::ThemeLayout::windows;
  }

  StderrReporter stderrReporter(streams.err);
  SilentReporter silent;
  formats::Reporter& reporter = streams.quiet ? static_cast<formats::Reporter&>(silent) : stderrReporter;
  const theme::ThemeConversion result = *to == theme::ThemeLayout::windows
                                            ? theme::windowsFolderOfFreedesktopTheme(request, reporter)
                                            : theme::freedesktopThemeOfWindowsFolder(request, reporter);
  if (!result.refusal.empty()) {
    streams.err << "delvix-cli: " << result.refusal << '\n';
    return exitRefused;
  }
  for (const std::string& failure : result.failures) streams.err << "delvix-cli: " << failure << '\n';
  if (!streams.quiet) {
    for (const std::string& file : result.unmatched)
      streams.err << "delvix-cli: " << file << ": no cursor of the scheme is called so; not converted\n";
    if (!result.missingRoles.empty())
      streams.err << "delvix-cli: no cursor for " << joined(result.missingRoles, ", ") << '\n';
  }
  if (streams.json) {
    writeJson(streams.out, resultJson(result, *to, request.output.string()));
  } else {
    for (const theme::ConvertedCursor& cursor : result.cursors) {
      streams.out << cursor.role << '\t' << cursor.source << " -> " << cursor.written;
      if (!cursor.aliases.empty()) streams.out << " (links: " << joined(cursor.aliases, " ") << ')';
      streams.out << '\n';
    }
    streams.out << "wrote " << result.cursors.size() << " cursors of \"" << result.name << "\" and "
                << (*to == theme::ThemeLayout::windows ? "install.inf" : "index.theme") << " to "
                << request.output.string() << '\n';
  }
  return result.failures.empty() ? exitOk : exitRefused;
}

}  // namespace delvix::cli
