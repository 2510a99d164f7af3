// delvix-cli cut: frames cut from a file, checked against sox's trim where sox is installed.
#include <gtest/gtest.h>

#include "../wave/pcm_document.h"
#include "cli/cli_run.h"
#include "formats/le_bytes.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

namespace fs = std::filesystem;
using testing::ByteVector;

// The samples of `wave` as sox gives them raw, with sox's `effects` applied.
ByteVector soxRaw(const fs::path& wave, const fs::path& raw, const std::string& effects = "") {
  testing::runAndCapture("sox '" + wave.string() + "' -t raw '" + raw.string() + "' " + effects);
  return testing::readFileBytes(raw).value_or(ByteVector{});
}

TEST(CutCommand, RemovesTheFramesSoxTrimsAway) {
  testing::TempDir dir;
  const ByteVector data = wave::test::countingBytes(200 * 4);
  const fs::path generated = dir.write("generated.wav", wave::test::pcmFile({2, 16}, data));
  struct Case {
    fs::path file;
    std::uint64_t from, to;
  };
  std::vector<Case> cases{{generated, 10, 20}};
  for (const fs::path& file : testing::corpusFiles("wav"))
    if (file.filename() == "sox-s16-stereo-44k.wav") cases.push_back({file, 1000, 1999});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.filename().string());
    const fs::path out = dir.path() / "cut.wav";
    CliRun run({"cut", c.file.string(), std::to_string(c.from), std::to_string(c.to), out.string()});
    ASSERT_EQ(run.status, exitOk) << run.err.str();
    EXPECT_NE(run.out.str().find("frames removed\t" + std::to_string(c.to - c.from + 1)), std::string::npos);
    const ByteVector written = testing::readFileBytes(out).value();
    EXPECT_EQ(formats::le32(written, 4), written.size() - 8);
    if (c.file == generated) {
      ByteVector expected = data;
      expected.erase(expected.begin() + 4 * 10, expected.begin() + 4 * 21);
      EXPECT_EQ(wave::test::samplesOf(*wave::test::readWave(written)), expected);
    }
    if (testing::haveProgram("sox")) {
      // trim keeps 0 to FROM, drops FROM to TO + 1 and keeps the rest.
      const ByteVector trimmed = soxRaw(c.file, dir.path() / "theirs.raw",
                                        "trim 0 =" + std::to_string(c.from) + "s =" + std::to_string(c.to + 1) + "s");
      EXPECT_FALSE(trimmed.empty());
      EXPECT_EQ(soxRaw(out, dir.path() / "ours.raw"), trimmed);
    }
  }
}

TEST(CutCommand, RefusesWhatItCannotCutAndWritesNothing) {
  testing::TempDir dir;
  const std::string wave = dir.write("w.wav", wave::test::pcmFile({1, 8}, ByteVector(10))).string();
  const std::string icon = dir.write("i.ico", ByteVector(10)).string();
  const std::string out = (dir.path() / "out.wav").string();
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"cut", wave, "x", "3", out}, exitUsage},
      {{"cut", wave, "-1", "3", out}, exitUsage},
      {{"cut", wave, "1", "3"}, exitUsage},
      {{"cut", wave, "5", "10", out}, exitRefused},
      {{"cut", wave, "5", "4", out}, exitRefused},
      {{"cut", icon, "0", "0", out}, exitRefused},
      {{"cut", wave, "0", "0", (dir.path() / "out.ico").string()}, exitUsage},
  };
  for (const Case& c : cases) {
    CliRun run(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[2];
    EXPECT_EQ(run.out.str(), "") << c.args[2];  // nothing is said to be done
    EXPECT_FALSE(fs::exists(out)) << c.args[2];
  }
}

}  // namespace
}  // namespace delvix::cli
