#include "cli/lint_command.h"

#include <ostream>

#include "cli/json_output.h"
#include "theme/theme_lint.h"

namespace delvix::cli {

namespace {

nlohmann::json textOrNull(const std::string& text) { return text.empty() ? nlohmann::json() : nlohmann::json(text); }

void printJson(std::ostream& out, const std::string& folder, const theme::ThemeLint& lint) {
  nlohmann::json findings = nlohmann::json::array();
  for (const theme::Finding& finding : lint.findings)
    findings.push_back({{"severity", theme::severityName(finding.severity)},
                        {"cursor", textOrNull(finding.cursor)},
                        {"what", finding.what},
                        {"where", textOrNull(finding.where)}});
  writeJson(out, {{"folder", folder},
                  {"layout", theme::layoutName(lint.layout)},
                  {"name", lint.name},
                  {"cursors", lint.cursors},
                  {"faults", lint.count(theme::Severity::fault)},
                  {"warnings", lint.count(theme::Severity::warning)},
                  {"findings", findings}});
}

void printText(std::ostream& out, const theme::ThemeLint& lint) {
  const std::size_t faults = lint.count(theme::Severity::fault);
  const std::size_t warnings = lint.count(theme::Severity::warning);
  out << lint.name << " (" << theme::layoutName(lint.layout) << "): " << lint.cursors
      << (lint.cursors == 1 ? " cursor, " : " cursors, ") << faults << (faults == 1 ? " fault, " : " faults, ")
      << warnings << (warnings == 1 ? " warning" : " warnings") << '\n';
  for (const theme::Finding& finding : lint.findings) {
    out << theme::severityName(finding.severity) << ": ";
    if (!finding.cursor.empty()) {
      out << finding.cursor;
      if (!finding.where.empty()) out << " (" << finding.where << ')';
      out << ": ";
    }
    out << finding.what << '\n';
  }
}

}  // namespace

int lintTheme(const Invocation& call, Streams streams) {
  const std::string& folder = call.operands[0];
  const theme::ThemeLintOutcome outcome = theme::lintThemeFolder(folder);
  if (!outcome.lint) {
    streams.err << "delvix-cli: " << outcome.refusal << '\n';
    return exitRefused;
  }
  if (streams.json)
    printJson(streams.out, folder, *outcome.lint);
  else
    printText(streams.out, *outcome.lint);
  return outcome.lint->count(theme::Severity::fault) > 0 ? exitRefused : exitOk;
}

}  // namespace delvix::cli
