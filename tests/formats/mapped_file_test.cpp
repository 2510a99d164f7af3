#include "formats/mapped_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "support/file_bytes.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

namespace fs = std::filesystem;
using testing::chunk;
using testing::waveFormat;

std::vector<std::uint8_t> waveOf(std::size_t sampleBytes, std::uint8_t value) {
  return testing::riff("WAVE", {waveFormat({}), chunk("data", std::vector<std::uint8_t>(sampleBytes, value))});
}

// Overwrites a byte of `path` in place, as another program would, and moves its time on.
void changeInPlace(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_EQ(::pwrite(fd, "x", 1, 50), 1);
  const timespec later[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 5, 0}};
  ::futimens(fd, later);
  ::close(fd);
}

TEST(MappedFile, AFileShortenedUnderItsMappingReadsAsZerosAndCountsAsDamaged) {
  testing::TempDir dir;
  const auto path = dir.write("long.bin", std::vector<std::uint8_t>(5 * 4096, 0xAB));
  auto opened = MappedFile::open(path);
  ASSERT_TRUE(opened.file);
  const auto bytes = opened.file->bytes();
  EXPECT_EQ(bytes[3 * 4096], 0xAB);
  EXPECT_FALSE(opened.file->damaged());
  EXPECT_FALSE(opened.file->changeSinceOpened());

  ASSERT_EQ(::truncate(path.c_str(), 100), 0);
  EXPECT_EQ(bytes[4 * 4096 + 7], 0);  // a vanished page: no SIGBUS
  EXPECT_EQ(bytes[50], 0xAB);
  EXPECT_TRUE(opened.file->damaged());
  EXPECT_TRUE(opened.file->changeSinceOpened());
  EXPECT_TRUE(changeUnder(model::SharedBytes(opened.file, bytes.subspan(8192, 10))));
  EXPECT_FALSE(changeUnder(model::SharedBytes::copyOf(bytes.first(10))));
}

TEST(MappedFile, ReleasedPagesOfAMappingReadAgainFromTheFileAndOtherMemoryIsLeftAlone) {
  testing::TempDir dir;
  std::vector<std::uint8_t> content(6 * 4096);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7);
  auto opened = MappedFile::open(dir.write("pages.bin", content));
  ASSERT_TRUE(opened.file);
  const auto bytes = opened.file->bytes();
  releaseMappedPages(bytes.subspan(100, 5 * 4096));
  EXPECT_TRUE(std::ranges::equal(bytes, content));

  std::vector<std::uint8_t> heap(content);  // not a mapping: dropping its pages would lose it
  releaseMappedPages(heap);
  EXPECT_EQ(heap, content);
}

TEST(MappedFile, AnEmptyFileMapsNothingAndOnlyRegularFilesOpen) {
  testing::TempDir dir;
  auto empty = MappedFile::open(dir.write("empty.wav", {}));
  ASSERT_TRUE(empty.file);
  EXPECT_TRUE(empty.file->bytes().empty());
  EXPECT_FALSE(MappedFile::open(dir.path()).file);
  EXPECT_FALSE(MappedFile::open(dir.path() / "missing.wav").file);
}

struct Disturbance {
  const char* name;
  std::function<void(const fs::path& source, const fs::path& dir)> disturb;
  const char* target;   // where the save goes, in the folder
  const char* refusal;  // what the message says; empty: the save goes through
};

// A wave document read (mapped) from a file that something happens to before it is saved.
TEST(MappedFile, ASaveTakingSamplesFromAFileChangedOnDiskRefusesAndWritesNothing) {
  const Disturbance cases[] = {
      {"changed in place, saved elsewhere", [](auto& source, auto&) { changeInPlace(source); }, "other.wav",
       "was changed on disk by another program since it was opened; it is not saved"},
      {"shortened", [](auto& source, auto&) { ASSERT_EQ(::truncate(source.c_str(), 60), 0); }, "other.wav",
       "was changed on disk"},
      {"replaced by rename, saved over it", [](auto& source, auto& dir) { fs::rename(dir / "new.wav", source); },
       "x.wav", "was changed or replaced on disk by another program"},
      {"replaced by rename, saved elsewhere", [](auto& source, auto& dir) { fs::rename(dir / "new.wav", source); },
       "other.wav", ""},
      {"saved over by this program before", [](auto&, auto&) {}, "x.wav", ""},
      {"saved over by this program, then changed by another", [](auto& source, auto&) { changeInPlace(source); },
       "x.wav", "was changed or replaced on disk by another program"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const auto original = waveOf(3 * 4096, 0x55);
    const auto source = dir.write("x.wav", original);
    dir.write("new.wav", waveOf(10, 0x11));
    model::Document document;
    RecordingReporter reporter;
    ASSERT_TRUE(readWaveFile(source, document, reporter));
    if (std::string(c.name).starts_with("saved over")) {
      ASSERT_TRUE(saveWaveFile(document, source, reporter));
    }
    c.disturb(source, dir.path());
    const auto before = testing::readFileBytes(dir.path() / c.target);

    const bool saved = saveWaveFile(document, dir.path() / c.target, reporter);
    if (*c.refusal == 0) {
      EXPECT_TRUE(saved);
      EXPECT_EQ(testing::readFileBytes(dir.path() / c.target), original);
      continue;
    }
    EXPECT_FALSE(saved);
    ASSERT_FALSE(reporter.dialogs.empty());
    EXPECT_NE(reporter.dialogs.back().text.find(c.refusal), std::string::npos) << reporter.dialogs.back().text;
    EXPECT_NE(reporter.dialogs.back().text.find(source.string()), std::string::npos);
    EXPECT_EQ(testing::readFileBytes(dir.path() / c.target), before);
  }
}

// A file with other names is overwritten in place; when the samples are mapped from it, the document keeps
// reading the samples it had, and saves again as before.
TEST(MappedFile, SavingOverTheHardLinkedFileTheSamplesComeFromKeepsTheDocumentsSamples) {
  testing::TempDir dir;
  std::vector<std::uint8_t> samples(3 * 4096 + 10);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>(i % 251);
  const auto source = dir.write("x.wav", testing::riff("WAVE", {waveFormat({}), chunk("data", samples)}));
  fs::create_hard_link(source, dir.path() / "link.wav");
  model::Document document;
  RecordingReporter reporter;
  ASSERT_TRUE(readWaveFile(source, document, reporter));
  document.wave.samples.erase(0, 1000);
  const auto expected = writeWaveFile(document).joined();

  for (int save = 0; save < 2; ++save) {
    ASSERT_TRUE(saveWaveFile(document, source, reporter)) << ::testing::PrintToString(reporter.lines);
    EXPECT_EQ(testing::readFileBytes(dir.path() / "link.wav"), expected);
    EXPECT_EQ(writeWaveFile(document).joined(), expected);
  }
}

}  // namespace
}  // namespace delvix::formats
