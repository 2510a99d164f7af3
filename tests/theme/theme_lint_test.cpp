#include "theme/theme_lint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_run.h"
#include "formats/xcursor/xcursor_file.h"
#include "support/corpus.h"
#include "support/icon_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::theme {
namespace {

namespace fs = std::filesystem;
namespace xc = formats::xcursor;

struct Frame {
  std::uint32_t size, side, x, y, delay;
};

void writeCursor(const testing::TempDir& dir, const std::string& name, std::vector<Frame> frames) {
  xc::XcursorFile file;
  for (const Frame& f : frames) {
    xc::Chunk chunk{xc::imageType, f.size, {}, {}};
    chunk.content = xc::imageChunkOf(gfx::Image(int(f.side), int(f.side), 0xFF000000), f.size, f.x, f.y, f.delay);
    file.chunks.push_back(std::move(chunk));
  }
  dir.write("cursors/" + name, xc::writeXcursor(file));
}

// A theme with one fault of each kind, each in a cursor of its own, and "default" without any.
void writeFaultyTheme(const testing::TempDir& dir) {
  fs::create_directories(dir.path() / "cursors");
  dir.write("index.theme", {'[', 'I', 'c', 'o', 'n', ' ', 'T', 'h', 'e', 'm', 'e', ']', '\n',
                            'N', 'a', 'm', 'e', '=', 'F', 'a', 'u', 'l', 't', 'y', '\n'});
  writeCursor(dir, "default", {{24, 24, 4, 4, 0}, {48, 48, 9, 9, 0}});
  fs::create_symlink("default", dir.path() / "cursors/left_ptr");
  writeCursor(dir, "progress", {{24, 24, 6, 4, 0}, {48, 48, 12, 9, 0}});
  writeCursor(dir, "wait", {{24, 24, 4, 4, 50}, {24, 24, 5, 4, 50}, {48, 48, 9, 9, 50}, {48, 48, 9, 9, 50}});
  writeCursor(dir, "text", {{24, 24, 30, 2, 0}, {48, 48, 9, 9, 0}});
  writeCursor(dir, "crosshair", {{24, 24, 4, 4, 50}, {24, 20, 4, 4, 50}, {48, 48, 9, 9, 0}});
  writeCursor(dir, "help", {{24, 24, 4, 4, 0}, {48, 48, 20, 20, 0}});
  writeCursor(dir, "pointer", {{24, 24, 4, 4, 50}, {24, 24, 4, 4, 0}, {48, 48, 9, 9, 0}});
  writeCursor(dir, "not-allowed", {{24, 24, 4, 4, 0}});
  fs::create_symlink("nowhere", dir.path() / "cursors/hand2");
  dir.write("cursors/notes", {'h', 'i'});
}

TEST(ThemeLint, NamesEachKindOfFaultOnce) {
  testing::TempDir dir;
  writeFaultyTheme(dir);
  const ThemeLintOutcome outcome = lintThemeFolder(dir.path());
  ASSERT_TRUE(outcome.lint) << outcome.refusal;
  const ThemeLint& lint = *outcome.lint;
  EXPECT_EQ(lint.name, "Faulty");
  EXPECT_EQ(lint.cursors, 8u);
  const Severity F = Severity::fault, W = Severity::warning;
  const std::vector<Finding> expected{
      {F, "crosshair", "1 of 2 frames differ in size: frame 2 is 20x20, frame 1 24x24", "size 24"},
      {F, "hand2", "links to \"nowhere\", which does not exist (or links round)", ""},
      {F, "help", "hot spot 4,4 does not match 20,20 of size 48 scaled", "size 24"},
      {F, "notes", "is no X cursor file (it does not begin with \"Xcur\")", ""},
      {F, "pointer", "1 of 2 frames have a delay of 0", "size 24, frame 2"},
      {F, "progress", "hot spot 6,4 differs from the pointer's 4,4 (default, 24x24)", "size 24"},
      {F, "text", "hot spot 30,2 lies outside the 24x24 picture", "size 24, frame 1"},
      {F, "wait", "hot spot moves in 1 of 2 frames: frame 1 has 4,4, frame 2 5,4", "size 24"},
      {W, "not-allowed", "no size 48, which 7 of 8 cursors have", ""},
      {W, "move", "missing: no cursor for the role move", ""},
  };
  for (const Finding& finding : expected)
    EXPECT_NE(std::find(lint.findings.begin(), lint.findings.end(), finding), lint.findings.end())
        << finding.cursor << ": " << finding.what;
  // The rest are missing standard cursors; the clean pointer and the busy cursor that keeps its spot add none.
  for (const Finding& finding : lint.findings) {
    if (std::find(expected.begin(), expected.end(), finding) != expected.end()) continue;
    EXPECT_EQ(finding.what.rfind("missing:", 0), 0u) << finding.cursor << ": " << finding.what;
  }
  EXPECT_EQ(lint.count(F), 8u);
}

TEST(ThemeLint, ScaledHotSpotsWithinAPixelAgree) {
  // 20,20 of 48 is 10,10 at 24: 9 to 11 pass, 12 does not.
  const struct {
    int small;
    bool agrees;
  } cases[]{{9, true}, {10, true}, {11, true}, {12, false}, {8, false}};
  for (const auto& c : cases) {
    const CursorFacts cursor{
        "x", {}, {}, {{24, {{24, 24, c.small, c.small}}, {}, false}, {48, {{48, 48, 20, 20}}, {}, false}}};
    const auto findings = checkCursors(std::span(&cursor, 1), ThemeLayout::freedesktop);
    const bool agrees =
        std::none_of(findings.begin(), findings.end(), [](const Finding& f) { return f.cursor == "x"; });
    EXPECT_EQ(agrees, c.agrees) << c.small;
  }
}

TEST(ThemeLint, CommandLineExitsOneOnFaultsAndRefusesWhatIsNoTheme) {
  testing::TempDir dir;
  writeFaultyTheme(dir);
  cli::CliRun faulty({"lint", dir.path().string()});
  EXPECT_EQ(faulty.status, cli::exitRefused);
  EXPECT_NE(faulty.out.str().find("Faulty (freedesktop): 8 cursors, 8 faults, "), std::string::npos);
  EXPECT_NE(faulty.out.str().find("fault: text (size 24, frame 1): hot spot 30,2 lies outside the 24x24 picture\n"),
            std::string::npos);

  testing::TempDir clean;
  fs::create_directories(clean.path() / "cursors");
  writeCursor(clean, "default", {{24, 24, 4, 4, 0}});
  cli::CliRun json({"lint", "--json", clean.path().string()});
  EXPECT_EQ(json.status, cli::exitOk) << json.out.str();
  const auto parsed = nlohmann::json::parse(json.out.str());
  EXPECT_EQ(parsed["faults"], 0);
  EXPECT_EQ(parsed["findings"][0]["cursor"], nullptr);  // no index.theme

  testing::TempDir empty;
  cli::CliRun none({"lint", empty.path().string()});
  EXPECT_EQ(none.status, cli::exitRefused);
  EXPECT_NE(none.err.str().find("is no cursor theme"), std::string::npos);
}

TEST(ThemeLint, WindowsRolesComeFromTheInstallInf) {
  const auto cursors = testing::corpusFiles("cur");
  if (cursors.empty()) GTEST_SKIP() << "no corpus";
  testing::TempDir dir;
  fs::copy_file(cursors.front(), dir.path() / "Mine.CUR");
  const std::string inf =
      "[Scheme.Reg]\r\nHKCU,\"Control Panel\\Cursors\\Schemes\",\"%S%\",,\"mine.cur,,gone.ani\"\r\n"
      "[Strings]\r\nS = \"Mine\"\r\n";
  dir.write("install.inf", {inf.begin(), inf.end()});
  const ThemeLintOutcome outcome = lintThemeFolder(dir.path());
  ASSERT_TRUE(outcome.lint) << outcome.refusal;
  const auto& findings = outcome.lint->findings;
  EXPECT_EQ(outcome.lint->name, "Mine");
  const Finding gone{Severity::fault, "install.inf",
                     "names \"gone.ani\" for the role working, which the folder does not hold", ""};
  EXPECT_NE(std::find(findings.begin(), findings.end(), gone), findings.end());
  for (const Finding& finding : findings) EXPECT_NE(finding.cursor, "Arrow") << finding.what;  // Mine.CUR is it
}

testing::ByteVector cursorFrame(std::uint16_t xHot) {
  testing::DibImage picture;
  picture.width = picture.height = 32;
  testing::IconFile file;
  file.type = 2;
  file.entries.push_back({.record = picture.bytes(), .planes = xHot, .bitCount = 4});
  return testing::iconChunk(file);
}

TEST(ThemeLint, AnimatedCursorStepsAndFramesAreChecked) {
  testing::TempDir dir;
  using testing::chunk;
  dir.write(
      "spin.ani",
      testing::riff("ACON", {testing::aniHeader({.frames = 2, .steps = 2}), chunk("rate", testing::u32s({5, 0})),
                             chunk("LIST", testing::joined({{'f', 'r', 'a', 'm'}, cursorFrame(4), cursorFrame(6)}))}));
  const ThemeLintOutcome outcome = lintThemeFolder(dir.path());
  ASSERT_TRUE(outcome.lint) << outcome.refusal;
  const auto& findings = outcome.lint->findings;
  for (const Finding& expected : {
           Finding{Severity::fault, "spin.ani", "hot spot moves in 1 of 2 frames: frame 1 has 4,4, frame 2 6,4",
                   "size 32"},
           Finding{Severity::fault, "spin.ani", "1 of 2 steps have a delay of 0", "size 32, step 2"},
       })
    EXPECT_NE(std::find(findings.begin(), findings.end(), expected), findings.end()) << expected.what;
}

// Real themes lint without a crash and with every cursor read.
TEST(ThemeLint, ReadsRealThemes) {
  std::vector<fs::path> themes;
  for (const char* name : {"DMZ-White", "DMZ-Black", "Adwaita", "breeze_cursors"})
    if (fs::is_directory(fs::path("/usr/share/icons") / name / "cursors"))
      themes.push_back(fs::path("/usr/share/icons") / name);
  testing::TempDir corpus;
  fs::create_directories(corpus.path() / "cursors");
  for (const fs::path& file : testing::corpusFiles("xcursor"))
    if (file.filename().string().find("index.theme") == std::string::npos)
      fs::copy_file(file, corpus.path() / "cursors" / file.filename());
  if (!fs::is_empty(corpus.path() / "cursors")) themes.push_back(corpus.path());
  testing::TempDir windows;
  for (const char* kind : {"cur", "ani"})
    for (const fs::path& file : testing::corpusFiles(kind)) fs::copy_file(file, windows.path() / file.filename());
  if (!fs::is_empty(windows.path())) themes.push_back(windows.path());
  for (const fs::path& theme : themes) {
    const ThemeLintOutcome outcome = lintThemeFolder(theme);
    ASSERT_TRUE(outcome.lint) << theme << ": " << outcome.refusal;
    EXPECT_GT(outcome.lint->cursors, 0u) << theme;
    for (const Finding& finding : outcome.lint->findings)
      EXPECT_EQ(finding.what.find("cannot be read"), std::string::npos) << theme << ": " << finding.cursor;
  }
}

}  // namespace
}  // namespace delvix::theme
