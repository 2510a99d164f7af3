#include "cli/browse_command.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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

  CliRun images({"browse", folder, "--images"});
  EXPECT_EQ(images.status, exitOk);
  EXPECT_EQ(images.out.str(), "a.ico\t3\t\t\nB.CUR\t\t1\t\n");
  // Without a choice, every kind: the image rows, an empty line, the wave rows.
  CliRun every({"browse", folder});
  EXPECT_EQ(every.status, exitOk);
  EXPECT_EQ(every.out.str(),
            "a.ico\t3\t\t\nB.CUR\t\t1\t\nc.dll\t0\t0\t0\n\nd.WAV\t4044\t0.5\t1\t1\t8\t8000\ne.wav\t2\t ? \t\t\t\t\n");
  CliRun modules({"browse", folder, "--images=dll"});
  EXPECT_EQ(modules.out.str(), "c.dll\t0\t0\t0\n");
  EXPECT_EQ(modules.err.str(),
            "delvix-cli: c.dll: This is not a program module: it does not begin with an \"MZ\" header of 64 bytes.\n");
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

TEST(CliBrowse, AFolderWithoutFilesOfTheKindsAskedForIsRefusedByName) {
  testing::TempDir dir;
  dir.write("notes.txt", {'x'});
  const std::string folder = dir.path().string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"browse", folder}, "no files of the kinds ani, cur, ico, cpl, dll, exe, ocx, scr, wav\n"},
      {{"browse", folder, "--images=dll,exe"}, "no files of the kinds dll, exe\n"},
      {{"browse", "--wav", folder, "--json"}, "no files of the kinds wav\n"},
  };
  for (const auto& [args, message] : cases) {
    CliRun run(args);
    EXPECT_EQ(run.status, exitRefused);
    EXPECT_EQ(run.out.str(), "");
    EXPECT_EQ(run.err.str(), "delvix-cli: " + folder + ": " + message);
  }
  dir.write("only.wav", {'n', 'o'});
  CliRun waves({"browse", folder, "--json"});
  EXPECT_EQ(waves.status, exitOk);
  const nlohmann::json listed = nlohmann::json::parse(waves.out.str());
  EXPECT_TRUE(listed["rows"].empty());
  ASSERT_EQ(listed["wave_rows"].size(), 1u);
  EXPECT_EQ(listed["wave_rows"][0]["name"], "only.wav");
}

}  // namespace
}  // namespace delvix::cli
