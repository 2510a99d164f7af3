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
  for (const fs::path& file : testing::corpusFiles("wav")) {
    const std::string name = file.filename().string();
    if (name == "sox-s16-stereo-44k.wav" && testing::haveProgram("sox")) {
      cases.push_back({file, 1000, 1999});
      // The same sound in 24 bits, as 32-bit float and big-endian, made by sox.
      for (const auto& [made, options] : {std::pair{"s24.wav", "-b 24"},
                                          {"f32.wav", "-e floating-point -b 32"},
                                          {"f64.wav", "-e floating-point -b 64"},
                                          {"rifx.wav", "-B"}}) {
        testing::runAndCapture("sox '" + file.string() + "' " + options + " '" + (dir.path() / made).string() + "'");
        cases.push_back({dir.path() / made, 300, 4321});
      }
    }
    if (name == "sox-alaw.wav" || name == "sox-ulaw.wav" || name == "sox-6ch-s24-extensible.wav")
      cases.push_back({file, 5, 99});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.filename().string());
    const fs::path out = dir.path() / "cut.wav";
    CliRun run({"cut", c.file.string(), std::to_string(c.from), std::to_string(c.to), out.string()});
    ASSERT_EQ(run.status, exitOk) << run.err.str();
    EXPECT_NE(run.out.str().find("frames removed\t" + std::to_string(c.to - c.from + 1)), std::string::npos);
    const ByteVector written = testing::readFileBytes(out).value();
    const std::uint32_t riffSize =
        written[3] == 'X' ? std::uint32_t{written[4]} << 24 | written[5] << 16 | written[6] << 8 | written[7]
                          : formats::le32(written, 4);
    EXPECT_EQ(riffSize, written.size() - 8);
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
  std::vector<Case> all(std::begin(cases), std::end(cases));
  std::string adpcm;
  for (const fs::path& file : testing::corpusFiles("wav"))
    if (file.filename() == "sox-ms-adpcm.wav") adpcm = file.string();
  if (!adpcm.empty()) all.push_back({{"cut", adpcm, "0", "0", out}, exitRefused});
  for (const Case& c : all) {
    CliRun run(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[2];
    EXPECT_EQ(run.out.str(), "") << c.args[2];  // nothing is said to be done
    EXPECT_FALSE(fs::exists(out)) << c.args[2];
  }
  if (!adpcm.empty()) {
    const std::string said = CliRun({"cut", adpcm, "0", "0", out}).err.str();
    EXPECT_NE(
        said.find("Samples of the wave encoding 0x0002 (MS ADPCM) cannot be cut; save the sound as PCM to cut it."),
        std::string::npos)
        << said;
  }
}

}  // namespace
}  // namespace delvix::cli
