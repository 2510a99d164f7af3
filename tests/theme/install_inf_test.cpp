#include "theme/install_inf.h"

#include <gtest/gtest.h>

#include "theme/index_theme.h"

namespace delvix::theme {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> utf16le(std::string_view ascii) {
  std::vector<std::uint8_t> bytes{0xFF, 0xFE};
  for (char c : ascii) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), 0});
  return bytes;
}

constexpr std::string_view schemeLine =
    "[Scheme.Reg]\r\n"
    "HKCU,\"Control Panel\\Cursors\\Schemes\",\"%SCHEME_NAME%\",,\"%10%\\%CUR_DIR%\\%pointer%,"
    "%10%\\%CUR_DIR%\\%help%,,%10%\\%CUR_DIR%\\%busy%\"\r\n";

TEST(InstallInf, ReadsTheSchemeAsWindowsDoes) {
  struct Case {
    std::string_view what;
    std::vector<std::uint8_t> bytes;
    std::string name, pointer, help, busy;
  };
  const std::string strings =
      "[Strings]\r\nCUR_DIR = \"Cursors\\Odd\"\r\nSCHEME_NAME = \"Odd \"\"One\"\"; really\" ; said so\r\n"
      "pointer = Normal Select.cur\r\nhelp=\"sub\\Help.cur\"\r\nbusy = \"..\"\r\n";
  const Case cases[] = {
      {"quoting, comments, CRLF, folders and '..' dropped", bytesOf(std::string(schemeLine) + strings),
       "Odd \"One\"; really", "Normal Select.cur", "Help.cur", ""},
      {"UTF-16 with a byte order mark", utf16le(std::string(schemeLine) + strings), "Odd \"One\"; really",
       "Normal Select.cur", "Help.cur", ""},
      {"a continued line, keys in another case",
       bytesOf("[scheme.reg]\nhkcu,\"control panel\\cursors\\schemes\",\"%Name%\",, \\\n \"a.cur,b.ani,c,d.ani\"\n"
               "[strings]\nNAME=Plain\n"),
       "Plain", "a.cur", "b.ani", "d.ani"},
      {"no scheme line: the current cursors",
       bytesOf("[R]\nHKCU,\"Control Panel\\Cursors\",,0,\"Mine\"\nHKCU,\"Control Panel\\Cursors\",Wait,0x20000,"
               "\"%10%\\Cursors\\w.ani\"\nHKCU,\"Control Panel\\Cursors\",arrow,0x20000,\"p.cur\"\n"),
       "Mine", "p.cur", "", "w.ani"},
      {"nothing installed", bytesOf("[Version]\nsignature=\"$CHICAGO$\"\n"), "", "", "", ""},
      {"half a UTF-16 unit", {0xFF, 0xFE, 0x5B}, "", "", "", ""},
  };
  for (const Case& c : cases) {
    formats::RecordingReporter reporter;
    const CursorScheme scheme = readInstallInf(c.bytes, reporter);
    EXPECT_EQ(scheme.name, c.name) << c.what;
    EXPECT_EQ(scheme.files[0], c.pointer) << c.what;
    EXPECT_EQ(scheme.files[1], c.help) << c.what;
    EXPECT_EQ(scheme.files[3], c.busy) << c.what;
    if (c.name.empty()) {
      EXPECT_FALSE(reporter.lines.empty()) << c.what;
    }
  }
}

TEST(InstallInf, WrittenSchemesReadBack) {
  for (std::string name : {"Plain", "Ünïcode \"quoted\" % ; name"}) {
    CursorScheme scheme{name, {}};
    scheme.files[0] = "default.cur";
    scheme.files[3] = "wait.ani";
    scheme.files[16] = "person.cur";
    const std::vector<std::uint8_t> bytes = writeInstallInf(scheme);
    formats::RecordingReporter reporter;
    const CursorScheme read = readInstallInf(bytes, reporter);
    EXPECT_EQ(read.name, scheme.name);
    EXPECT_EQ(read.files, scheme.files) << name;
    EXPECT_TRUE(reporter.lines.empty()) << name;
  }
}

TEST(ThemeIndex, ReadsTheUnlocalisedKeysAndWritesThemBack) {
  const ThemeIndex index = readThemeIndex(
      "[Other]\nName=No\n[Icon Theme]\r\nName[de]=Weiss\r\nName = White\r\n# Comment=no\r\nComment=Line\r\n"
      "Inherits=a,b\r\n");
  EXPECT_EQ(index.name, "White");
  EXPECT_EQ(index.comment, "Line");
  EXPECT_EQ(index.inherits, "a,b");
  const ThemeIndex again = readThemeIndex(writeThemeIndex({"Two\nlines", "x", ""}));
  EXPECT_EQ(again.name, "Two lines");
  EXPECT_EQ(again.comment, "x");
}

}  // namespace
}  // namespace delvix::theme
