#include "formats/file_save.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <tuple>

#include "formats/mapped_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::size_t filesIn(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

// Lowers the largest file size this process may write, as a full disk would stop a write half way.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int);
};

TEST(FileSave, ReplacesTheTargetAndKeepsItsPermissions) {
  testing::TempDir dir;
  auto target = dir.write("a.ico", Bytes(10, 1));
  ::chmod(target.c_str(), 0640);
  EXPECT_FALSE(replaceFileContents(target, Bytes(3, 7)));
  EXPECT_EQ(*testing::readFileBytes(target), Bytes(3, 7));
  struct stat info {};
  ::stat(target.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(FileSave, AFolderThatCannotTakeFilesIsReportedAndNothingIsWritten) {
  testing::TempDir dir;
  auto notAFolder = dir.write("plain", Bytes(1, 0));
  RecordingReporter reporter;
  EXPECT_FALSE(deliverFile(notAFolder / "a.ico", WrittenFile{Bytes(5, 0)}, "Could not open this file.", reporter));
  ASSERT_EQ(reporter.dialogs.size(), 1u);
  EXPECT_EQ(reporter.dialogs[0].text, "Could not open this file.");
  EXPECT_EQ(reporter.dialogs[0].buttons, Buttons::ok);
  EXPECT_TRUE(reporter.logged("Could not open this file."));

  auto failure = replaceFileContents("/proc/delvix-cannot-be-here.ico", Bytes(5, 0));
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, SaveFailure::Kind::cannotCreate);
}

TEST(FileSave, AWriteThatFailsHalfWayLeavesTheOldFileIntact) {
  testing::TempDir dir;
  const Bytes old(4000, 0x55);
  auto target = dir.write("a.ico", old);
  RecordingReporter reporter;
  bool saved;
  {
    FileSizeLimit limit(1000);
    saved = deliverFile(target, WrittenFile{Bytes(3000, 0x66)}, "Could not open this file.", reporter);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(*testing::readFileBytes(target), old);
  EXPECT_EQ(filesIn(dir.path()), 1u);  // no temporary file left behind
  ASSERT_EQ(reporter.dialogs.size(), 1u);
  EXPECT_NE(reporter.dialogs[0].text.find("The file was not changed."), std::string::npos);
}

TEST(FileSave, InsetsGoInPlaceAndAFailureInOneLeavesTheOldFile) {
  testing::TempDir dir;
  const Bytes old(10, 0x55), large(3000, 0x77), small{9};
  auto target = dir.write("a.wav", old);
  const Bytes own{1, 2, 3, 4};
  const std::vector<Inset> insets{{1, large}, {3, small}};
  EXPECT_FALSE(replaceFileContents(target, own, insets));
  Bytes expected{1};
  expected.resize(1 + large.size(), 0x77);
  expected.insert(expected.end(), {2, 3, 9, 4});
  EXPECT_EQ(*testing::readFileBytes(target), expected);
  EXPECT_EQ((WrittenFile{own, true, insets}.joined()), expected);

  auto other = dir.write("b.wav", old);
  {
    FileSizeLimit limit(1000);
    EXPECT_TRUE(replaceFileContents(other, own, insets));
  }
  EXPECT_EQ(*testing::readFileBytes(other), old);
  EXPECT_EQ(filesIn(dir.path()), 2u);
}

TEST(FileSave, IncompleteOutputNeverReplacesAnExistingFile) {
  testing::TempDir dir;
  auto existing = dir.write("a.ico", Bytes(8, 1));
  RecordingReporter reporter;
  EXPECT_FALSE(deliverFile(existing, WrittenFile{Bytes(2, 9), false}, "Could not open this file.", reporter));
  EXPECT_TRUE(reporter.showed("Only part of data will be save in file."));
  EXPECT_EQ(*testing::readFileBytes(existing), Bytes(8, 1));

  auto fresh = dir.path() / "b.ico";
  EXPECT_FALSE(deliverFile(fresh, WrittenFile{Bytes(2, 9), false}, "Could not open this file.", reporter));
  EXPECT_EQ(*testing::readFileBytes(fresh), Bytes(2, 9));
}

TEST(FileSave, ACancelHalfWayLeavesTheOldFileOrNoneAndNoTemporaryFile) {
  testing::TempDir dir;
  // Samples in memory are written a few MiB at a time, those of a mapped file copied from it: both can stop.
  const Bytes samples((std::size_t{20} << 20) + 5, 0x3C);
  auto mapped = MappedFile::open(dir.write("source.wav", samples));
  ASSERT_TRUE(mapped.file);
  const Bytes old(100, 0x11);
  // Stopped half way, or once all is written and synced but before it takes the target's name.
  for (const auto& [fromMapping, existed, atTheEnd] : {std::tuple{false, true, false},
                                                       {false, false, false},
                                                       {true, true, false},
                                                       {true, false, true},
                                                       {false, true, true}}) {
    SCOPED_TRACE(::testing::Message() << "mapped " << fromMapping << ", existed " << existed << ", at the end "
                                      << atTheEnd);
    const auto target = dir.path() / "saved.wav";
    std::filesystem::remove(target);
    if (existed) dir.write("saved.wav", old);
    const std::span<const std::uint8_t> data = fromMapping ? mapped.file->bytes() : std::span(samples);
    const Inset insets[] = {{.offset = 4, .data = data}};
    std::uint64_t lastDone = 0, told = 0, toldAll = 0;
    RecordingReporter reporter;
    const bool saved = deliverFile(target, WrittenFile{Bytes(8, 1), true, {insets[0]}}, "Could not open this file.",
                                   reporter, [&](std::uint64_t done, std::uint64_t total) {
                                     EXPECT_EQ(total, samples.size() + 8);
                                     lastDone = done;
                                     if (atTheEnd) return done < total || ++toldAll < 2;
                                     return ++told < 2;
                                   });
    EXPECT_FALSE(saved);
    EXPECT_GT(lastDone, 0u);
    EXPECT_TRUE(reporter.dialogs.empty());
    EXPECT_TRUE(reporter.logged(existed ? "The save was cancelled; the file was not changed."
                                        : "The save was cancelled; no file was written."));
    if (existed) {
      EXPECT_EQ(*testing::readFileBytes(target), old);
    }
    EXPECT_EQ(std::filesystem::exists(target), existed);
    EXPECT_EQ(filesIn(dir.path()), existed ? 2u : 1u);
  }
}

}  // namespace
}  // namespace delvix::formats
