// A file is read by what its first bytes are, whatever it is called; its name decides only when they tell
// nothing, and a file that cannot be read says why.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "formats/document_reader.h"
#include "support/corpus.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

namespace fs = std::filesystem;
using testing::ByteVector;

struct Read {
  ReadOutcome outcome;
  model::Document document;
  RecordingReporter reporter;
};

std::unique_ptr<Read> read(const fs::path& path) {
  auto r = std::make_unique<Read>();
  r->outcome = readDocument(path, r->document, {}, r->reporter);
  return r;
}

// What a reader made of a file, in a form two reads can be compared by.
std::string summary(const Read& r) {
  return std::to_string(static_cast<int>(r.outcome)) + " kind " + std::to_string(static_cast<int>(r.document.kind)) +
         " pictures " + std::to_string(r.document.pictures.size()) + " images " +
         std::to_string(r.document.imageCount) + " steps " + std::to_string(r.document.ani.header.steps) + " data " +
         std::to_string(r.document.wave.dataSize) + " nodes " + std::to_string(r.document.tree.topLevelCount());
}

TEST(ContentKind, EveryCorpusFileReadsAlikeUnderAnyName) {
  const struct {
    const char* folder;
    const char* wrongExtension;
  } kinds[] = {{"ico", ".wav"}, {"cur", ".ani"}, {"ani", ".ico"}, {"wav", ".exe"}, {"pe", ".cur"}};
  testing::TempDir dir;
  std::size_t files = 0;
  for (const auto& kind : kinds) {
    for (const fs::path& original : testing::corpusFiles(kind.folder)) {
      SCOPED_TRACE(original.string());
      ++files;
      const std::string expected = summary(*read(original));
      const fs::path bare = dir.path() / original.filename().replace_extension(".bin");
      const fs::path misnamed = dir.path() / original.filename().replace_extension(kind.wrongExtension);
      fs::copy_file(original, bare, fs::copy_options::overwrite_existing);
      fs::copy_file(original, misnamed, fs::copy_options::overwrite_existing);
      EXPECT_EQ(summary(*read(bare)), expected);
      const auto wrong = read(misnamed);
      EXPECT_EQ(summary(*wrong), expected);
      // A cursor among the icons is named as one.
      const auto content = chooseFileKind(original).content;
      ASSERT_TRUE(content);
      const std::string words(kindInWords(*content));
      EXPECT_TRUE(wrong->reporter.logged(misnamed.string() + " holds " + words + "; read as " + words));
      fs::remove(bare);
      fs::remove(misnamed);
    }
  }
  if (files == 0) GTEST_SKIP() << "the sample corpus is not there";
}

ByteVector moduleHead(std::uint32_t peOffset, std::size_t size) {
  ByteVector bytes(size, 0);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<std::uint8_t>(peOffset >> (8 * i));
  return bytes;
}

// "PE\0\0" at 0x40, a COFF header announcing a 240-byte optional header, and `after` bytes of that header.
ByteVector moduleWithOptionalHeader(std::size_t after) {
  ByteVector bytes = moduleHead(0x40, 0x40);
  for (char c : {'P', 'E', '\0', '\0'}) bytes.push_back(static_cast<std::uint8_t>(c));
  ByteVector coff(20, 0);
  coff[16] = 240;
  bytes.insert(bytes.end(), coff.begin(), coff.end());
  bytes.push_back(0x0B);
  bytes.push_back(0x02);
  bytes.resize(bytes.size() + after - 2, 0);
  return bytes;
}

TEST(ContentKind, NamesAndContentsThatTellNothingOrAreDamagedSaySo) {
  testing::TempDir dir;
  const fs::path notAFolder = dir.write("plain.ico", {0, 0, 1, 0, 0, 0});
  const ByteVector noSignature = moduleHead(0x40, 0x80);
  const ByteVector cutPe = moduleWithOptionalHeader(2);
  const struct {
    std::string name;
    ByteVector bytes;  // none: the file is not written
    ReadOutcome outcome;
    std::string said;
  } cases[] = {
      {"empty.bin", {}, ReadOutcome::unsupportedKind, "is not an icon, cursor, animated cursor, wave or module"},
      {"words.bin",
       {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'},
       ReadOutcome::unsupportedKind,
       "is not an icon, cursor, animated cursor, wave or module"},
      {"riff.bin", testing::riff("AVI ", {}), ReadOutcome::unsupportedKind, "is not an icon"},
      {"words.ico", {'h', 'e', 'l', 'l', 'o'}, ReadOutcome::refused, "ico(cur)-file."},
      {"missing.ico", {}, ReadOutcome::refused, "Could not open this file: No such file or directory"},
      {"missing.bin", {}, ReadOutcome::refused, "Could not open this file: No such file or directory"},
      {"missing.ani", {}, ReadOutcome::refused, "Could not open a selected file: No such file or directory"},
      {"missing.wav", {}, ReadOutcome::refused, "Error opening file: No such file or directory"},
      {"missing.exe", {}, ReadOutcome::refused, "Could not open this file: No such file or directory"},
      {"plain.ico/below.ico", {}, ReadOutcome::refused, "Could not open this file: Not a directory"},
      {"far.exe", moduleHead(0x12345678, 4096), ReadOutcome::refused,
       "The PE header offset 0x12345678 (at byte 0x3C) lies beyond the end of the file (4096 bytes)."},
      {"nosig.bin", noSignature, ReadOutcome::refused,
       "There is no \"PE\" signature at byte 0x40, where the PE header offset (at byte 0x3C) points."},
      {"cut.exe", ByteVector(cutPe.begin(), cutPe.begin() + 0x40 + 10), ReadOutcome::refused,
       "The PE header at byte 0x40 is cut short: the file (74 bytes) holds 10 of its 26 bytes."},
      {"short-optional.dll", moduleWithOptionalHeader(12), ReadOutcome::read,
       "The optional header at byte 0x58 is cut short: the file (100 bytes) holds 12 of its 240 bytes; the fields "
       "it lacks read as 0."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = dir.path() / c.name;
    if (!c.bytes.empty() || c.name.starts_with("empty")) dir.write(c.name, c.bytes);
    const auto r = read(path);
    EXPECT_EQ(r->outcome, c.outcome);
    std::string everything;
    for (const std::string& line : r->reporter.lines) everything += line + '\n';
    for (const DialogRequest& box : r->reporter.dialogs) everything += box.text + '\n';
    EXPECT_NE(everything.find(c.said), std::string::npos) << everything;
    EXPECT_EQ(everything.find("Could not open this file.\n"), std::string::npos) << everything;
  }
  // The unsupported files are named.
  EXPECT_TRUE(read(dir.path() / "words.bin")
                  ->reporter.logged("Unsupported file type: " + (dir.path() / "words.bin").string() +
                                    " is not an icon, cursor, animated cursor, wave or module"));
}

TEST(ContentKind, AFileThatMayNotBeReadGivesTheSystemsReason) {
  if (::geteuid() == 0) GTEST_SKIP() << "every file may be read by root";
  testing::TempDir dir;
  const fs::path locked = dir.write("locked.bin", {0, 0, 1, 0, 1, 0});
  fs::permissions(locked, fs::perms::none);
  const auto r = read(locked);
  EXPECT_EQ(r->outcome, ReadOutcome::refused);
  EXPECT_TRUE(r->reporter.showed("Could not open this file: Permission denied"));
}

}  // namespace
}  // namespace delvix::formats
