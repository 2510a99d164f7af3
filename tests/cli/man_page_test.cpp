#include "cli/man_page.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"
#include "support/corpus.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using namespace delvix::testing;

std::string manPage() {
  std::ostringstream out;
  printManPage(out);
  return out.str();
}

// As the page writes it: every hyphen escaped.
std::string roffText(std::string_view text) {
  std::string out;
  for (char c : text) out += c == '-' ? std::string("\\-") : std::string(1, c);
  return out;
}

TEST(CliManPage, DocumentsEveryVerbOptionAndJsonShapeOfTheTable) {
  const std::string page = manPage();
  auto expectOption = [&](std::string_view verb, const VerbOption& option) {
    EXPECT_NE(page.find(roffText("--" + std::string(option.name))), std::string::npos) << verb << " --" << option.name;
    if (option.letter != 0) {
      EXPECT_NE(page.find(roffText(std::string("-") + option.letter + ", --" + std::string(option.name))),
                std::string::npos)
          << verb << " -" << option.letter;
    }
    EXPECT_NE(page.find(roffText(option.help)), std::string::npos) << option.help;
  };
  for (const Command& command : commands()) {
    EXPECT_NE(page.find(".SS \"" + roffText(command.verb) + ' ' + roffText(command.operands) + '"'), std::string::npos)
        << command.verb;
    for (const VerbOption& option : command.options) expectOption(command.verb, option);
    const std::string_view firstLine = command.jsonShape.substr(0, command.jsonShape.find('\n'));
    EXPECT_NE(page.find(roffText(firstLine)), std::string::npos) << command.verb;
  }
  for (const VerbOption& option : commonOptions()) expectOption("every verb", option);
  for (const char* section : {"SYNOPSIS", "NODES", "ROWS", "FILES", "EXIT STATUS", "JSON OUTPUT", "EXAMPLES"})
    EXPECT_NE(page.find(std::string(".SH ") + section + '\n'), std::string::npos) << section;
}

TEST(CliManPage, FormatsWithoutWarnings) {
  if (!haveProgram("groff")) GTEST_SKIP() << "groff is not there";
  TempDir dir;
  const std::string page = manPage();
  const std::string path = dir.write("delvix-cli.1", std::vector<std::uint8_t>(page.begin(), page.end())).string();
  EXPECT_EQ(runAndCapture("groff -ww -man -Tutf8 '" + path + "' 2>&1 >/dev/null"), "");
  if (haveProgram("man")) {
    EXPECT_EQ(runAndCapture("MANWIDTH=80 man --warnings -l '" + path + "' 2>&1 >/dev/null"), "");
  }
}

}  // namespace
}  // namespace delvix::cli
