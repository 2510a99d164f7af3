#include "cli/browse_command.h"

#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

TEST(CliBrowse, PrintsTheChosenBrowsersRowsOfListedFiles) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "sub.ico");
  dir.write("a.ico", {0, 0, 1, 0, 3, 0});
  dir.write("B.CUR", {0, 0, 2, 0, 1, 0});
  dir.write("c.dll", {'M', 'Z'});
  dir.write("d.WAV", testing::riff("WAVE", {testing::waveFormat({.samplesPerSecond = 8000, .bitsPerSample = 8}),
                                            testing::chunk("data", testing::ByteVector(4000))}));
  dir.write("e.wav", {'n', 'o'});
  const std::string folder = dir.path().string();

  CliRun images({"browse", folder});
  EXPECT_EQ(images.status, exitOk);
  EXPECT_EQ(images.out.str(), "a.ico\t3\t\t\nB.CUR\t\t1\t\n");
  CliRun modules({"browse", folder, "--images=dll"});
  EXPECT_EQ(modules.out.str(), "c.dll\t0\t0\t0\n");
  EXPECT_EQ(modules.err.str(),
            "c.dll: This is not a program module: it does not begin with an \"MZ\" header of 64 bytes.\n");
  CliRun waves({"browse", "--wav", folder});
  EXPECT_EQ(waves.out.str(), "d.WAV\t4044\t0.5\t1\t1\t8\t8000\ne.wav\t2\t ? \t\t\t\t\n");
  EXPECT_NE(waves.err.str().find("e.wav: Not read as a wave file: MMIO Error. Error Code: 265."), std::string::npos)
      << waves.err.str();

  for (std::vector<std::string> wrong : {std::vector<std::string>{"browse"},
                                         {"browse", folder, "--images=wav"},
                                         {"browse", folder, "--wav", "--images"},
                                         {"browse", folder, folder}})
    EXPECT_EQ(CliRun(wrong).status, exitUsage);
  CliRun missing({"browse", folder + "/missing"});
  EXPECT_EQ(missing.status, exitRefused);
  EXPECT_EQ(missing.out.str(), "");
}

}  // namespace
}  // namespace delvix::cli
