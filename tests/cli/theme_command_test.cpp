#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/cli_run.h"
#include "formats/xcursor/xcursor_file.h"
#include "support/corpus.h"
#include "theme/cursor_roles.h"
#include "theme/install_inf.h"

namespace delvix::cli {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class ThemeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto cursors = testing::corpusFiles("cur");
    const auto animated = testing::corpusFiles("ani");
    if (cursors.empty() || animated.empty()) GTEST_SKIP() << "no sample cursors";
    root_ = fs::temp_directory_path() / ("delvix-theme-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(windows_);
    // A scheme as theme authors ship it: the roles' file names in [Strings], an animated busy cursor.
    std::string strings;
    std::string paths;
    for (std::size_t i = 0; i < theme::roleCount; ++i) {
      const fs::path& source = i == 2 || i == 3 ? animated[i % animated.size()] : cursors[i % cursors.size()];
      const std::string name = "Role " + std::to_string(i) + source.extension().string();
      fs::copy_file(source, windows_ / name);
      strings += "r" + std::to_string(i) + " = \"" + name + "\"\r\n";
      paths += (i ? ",%10%\\%CUR_DIR%\\%r" : "%10%\\%CUR_DIR%\\%r") + std::to_string(i) + "%";
    }
    std::ofstream(windows_ / "Install.inf")
        << "; a comment\r\n[Scheme.Reg]\r\nHKCU,\"Control Panel\\Cursors\\Schemes\","
        << "\"%NAME%\",,\"" << paths << "\"\r\n[Strings]\r\nNAME = \"Sample\"\r\n"
        << "CUR_DIR = \"Cursors\\Sample\"\r\n"
        << strings;
  }
  void TearDown() override {
    if (!root_.empty()) fs::remove_all(root_);
  }

  fs::path root_ = fs::temp_directory_path() / "unused";
  fs::path windows_ = root_ / "windows";
  fs::path linux_ = root_ / "linux";
  fs::path back_ = root_ / "back";
};

// Windows folder -> freedesktop theme -> Windows folder, each cursor and link checked on the way.
TEST_F(ThemeCommand, ConvertsAWindowsSchemeToAThemeTheDesktopLoadsAndBack) {
  CliRun toLinux({"theme", windows_.string(), linux_.string()});
  ASSERT_EQ(toLinux.status, exitOk) << toLinux.err.str();
  std::string loadArguments;
  for (const theme::CursorRole& role : theme::cursorRoles()) {
    const fs::path file = linux_ / "cursors" / std::string(role.xcursorName);
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(file))) << file;
    loadArguments += " '" + file.string() + "'";
    for (std::string_view alias : role.aliases) {
      const fs::path link = linux_ / "cursors" / std::string(alias);
      EXPECT_EQ(fs::read_symlink(link), fs::path(role.xcursorName)) << alias;
      EXPECT_EQ(fs::canonical(link), fs::canonical(file)) << alias;
    }
  }
  const std::vector<std::uint8_t> index = fileBytes(linux_ / "index.theme");
  EXPECT_NE(std::string(index.begin(), index.end()).find("\nName=Sample\n"), std::string::npos);
  EXPECT_NE(toLinux.out.str().find("wrote 17 cursors of \"Sample\""), std::string::npos) << toLinux.out.str();

  // libXcursor loads each file with the images this program reads from it.
  if (testing::haveProgram("python3") && fs::exists("/usr/lib/x86_64-linux-gnu/libXcursor.so.1")) {
    std::istringstream counts(
        testing::runAndCapture("python3 " DELVIX_TEST_DATA_DIR "/../tools/xcursor_image_counts.py" + loadArguments));
    std::string path;
    std::size_t count = 0;
    std::size_t files = 0;
    while (counts >> path >> count) {
      formats::xcursor::XcursorFile xcursor;
      formats::RecordingReporter reporter;
      ASSERT_TRUE(formats::xcursor::readXcursor(fileBytes(path), xcursor, reporter)) << path;
      EXPECT_EQ(count, formats::xcursor::imagesOf(xcursor).size()) << path;
      EXPECT_GT(count, 0u) << path;
      ++files;
    }
    EXPECT_EQ(files, theme::roleCount);
  }

  CliRun toWindows({"theme", linux_.string(), back_.string(), "--json"});
  ASSERT_EQ(toWindows.status, exitOk) << toWindows.err.str();
  formats::RecordingReporter reporter;
  const theme::CursorScheme scheme = theme::readInstallInf(fileBytes(back_ / "install.inf"), reporter);
  EXPECT_EQ(scheme.name, "Sample");
  for (std::size_t i = 0; i < theme::roleCount; ++i) {
    ASSERT_FALSE(scheme.files[i].empty()) << i;
    EXPECT_TRUE(fs::is_regular_file(back_ / scheme.files[i])) << scheme.files[i];
    if (testing::haveProgram("icotool") && scheme.files[i].ends_with(".cur"))
      EXPECT_NE(testing::runAndCapture("icotool -l '" + (back_ / scheme.files[i]).string() + "'"), "")
          << scheme.files[i];
  }

  // A folder that holds files is refused, and written into only when asked.
  EXPECT_EQ(CliRun({"theme", linux_.string(), back_.string()}).status, exitRefused);
  EXPECT_EQ(CliRun({"theme", linux_.string(), back_.string(), "--replace", "-q"}).status, exitOk);
  EXPECT_EQ(CliRun({"theme", linux_.string(), linux_.string(), "--to", "linux"}).status, exitRefused);
}

TEST_F(ThemeCommand, WithoutASetupFileTheFileNamesDecideAndTheRestIsNamed) {
  fs::remove(windows_ / "Install.inf");
  fs::rename(windows_ / "Role 0.cur", windows_ / "Normal Select.cur");
  fs::rename(windows_ / "Role 3.ani", windows_ / "BUSY.ani");
  CliRun run({"theme", windows_.string(), linux_.string(), "--json"});
  ASSERT_EQ(run.status, exitOk) << run.err.str();
  const std::string json = run.out.str();
  EXPECT_NE(json.find("\"source\": \"Normal Select.cur\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"source\": \"BUSY.ani\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"Role 1.cur\""), std::string::npos) << json;  // unmatched, named
  EXPECT_TRUE(fs::is_regular_file(linux_ / "cursors" / "wait"));
  EXPECT_FALSE(fs::exists(linux_ / "cursors" / "help"));
}

}  // namespace
}  // namespace delvix::cli
