// Command lines as a shell runs them: options, operands, standard input and output, and what each says.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/corpus.h"
#include "support/icon_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using namespace delvix::testing;

struct Outcome {
  int status;
  std::string out, err;
};

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs `line` with bash in `dir`, where $cli is the delvix-cli being tested.
Outcome runShell(const TempDir& dir, const std::string& line) {
  const auto script = dir.path() / "line.sh";
  std::ofstream(script) << "cd '" << dir.path().string() << "' && cli='" << DELVIX_CLI_PATH << "' && " << line << '\n';
  const std::string status = runAndCapture("bash '" + script.string() + "' > '" + (dir.path() / "stdout").string() +
                                           "' 2> '" + (dir.path() / "stderr").string() + "'; echo $?");
  return {std::stoi(status), fileText(dir.path() / "stdout"), fileText(dir.path() / "stderr")};
}

TEST(CommandLine, ParsesAsGetoptLongAndSaysWhatWasWrong) {
  TempDir dir;
  IconFile icon;
  icon.entries.push_back({DibImage{.width = 16, .height = 16, .bitCount = 32}.bytes()});
  dir.write("one.ico", icon.bytes());
  dir.write("-dash.ico", icon.bytes());
  IconFile cursor = icon;
  cursor.type = 2;
  dir.write("one.cur", cursor.bytes());
  const std::string tryHelp = "\nTry 'delvix-cli %s --help' for its operands and options.\n";
  auto usage = [&](const std::string& verb, const std::string& what) {
    std::string text = "delvix-cli: " + verb + ": " + what + tryHelp;
    text.replace(text.find("%s"), 2, verb);
    return text;
  };

  const struct {
    std::string line;
    int status;
    std::string out;  // what standard output holds (a part of it)
    std::string err;  // standard error, whole
  } cases[] = {
      {"$cli info one.ico", 0, "images: 1", ""},
      {"$cli info < one.ico -", 0, "images: 1", ""},
      {"cat one.cur | $cli tree -", 0, "icon_dir_1", ""},
      {"$cli info -- -dash.ico", 0, "images: 1", ""},
      {"$cli info one.ico one.cur", 0, "one.ico:\nimages: 1\npicture 1: 16x16, 32 bits, BMP, 1128 bytes\n\none.cur:\n",
       ""},
      {"$cli -j info one.ico one.cur", 0, "[\n  {", ""},
      {"$cli info one.ico --bogus", 2, "", usage("info", "unknown option --bogus")},
      {"$cli info -x one.ico", 2, "", usage("info", "unknown option -x")},
      {"$cli export -f tif one.ico out", 2, "", usage("export", "--format takes png, bmp, jpg or gif, not 'tif'")},
      {"$cli export one.ico out --format", 2, "", usage("export", "option --format needs a value")},
      {"$cli export one.ico out --a", 2, "",
       usage("export", "option --a is ambiguous (--as-shown, --alpha, --animated)")},
      {"$cli export --rate one.ico out", 2, "", usage("export", "unknown option --rate")},
      {"$cli cut --json one.ico 0 1 out.ico", 2, "",
       usage("cut",
             "--json goes with tree, info, extract, export, browse, xcursor, wincursor, theme, lint, set-icon, "
             "set-cursor, set-bitmap, add-resource, remove-resource, not with cut")},
      {"$cli extract one.ico", 2, "", usage("extract", "needs FILE... DIR (at least 2 operands), not 1")},
      {"$cli save missing.ico out.png", 2, "",
       usage("save", "out.png: files are written as .ico, .cur, .ani or .wav, not as .png")},
      {"$cli save one.ico nowhere/out.ico", 2, "",
       usage("save", "nowhere/out.ico: No such file or directory (the folder nowhere)")},
      {"$cli info missing.ico", 1, "",
       "delvix-cli: missing.ico: Could not open this file: No such file or directory\n"},
      {"$cli tree .", 1, "", "delvix-cli: .: Could not open this file: Is a directory\n"},
      {"cp one.ico one.wav && $cli info one.wav", 0, "images: 1",
       "delvix-cli: one.wav holds an icon file; read as an icon file\n"},
      {"cp one.ico noname && $cli -q info noname", 0, "picture 1: 16x16, 32 bits, BMP, 1128 bytes", ""},
      {"$cli browse --images=ico,cur .", 0, "one.cur\t\t1\t\n", ""},
      {"$cli frobnicate", 2, "", "delvix-cli: unknown verb 'frobnicate'; 'delvix-cli help' lists them\n"},
      {"$cli -q --kinds icons export --form=gif --zoom 2 one.ico out && ls out/one.ico", 0, "picture_1.gif", ""},
      {"$cli save one.ico -o - | icotool -l -", 0, "--icon --index=1 --width=16 --height=16 --bit-depth=32", ""},
      {"$cli set one.cur header/icon_dir_1 5 3 -o - | icotool -l -", 0, "--hotspot-x=3", "HotPot X\t3\n"},
      {"$cli -q set one.cur header/icon_dir_1 5 3 -o - | icotool -l -", 0, "--hotspot-x=3", ""},
  };
  for (const auto& c : cases) {
    const Outcome run = runShell(dir, c.line);
    EXPECT_EQ(run.status, c.status) << c.line << '\n' << run.err;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << c.line << '\n' << run.out;
    EXPECT_EQ(run.err, c.err) << c.line;
  }
}

}  // namespace
}  // namespace delvix::cli
