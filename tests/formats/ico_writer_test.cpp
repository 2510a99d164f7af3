#include "formats/ico_writer.h"

#include <gtest/gtest.h>

#include "formats/ico_reader.h"
#include "formats/le_bytes.h"
#include "formats/one_image_writer.h"
#include "preview/thumbnail.h"
#include "support/file_bytes.h"
#include "support/icon_builder.h"
#include "support/read_helpers.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

using testing::DibImage;
using testing::IconFile;
using Bytes = std::vector<std::uint8_t>;

struct Opened {
  model::Document document;
  RecordingReporter reporter;
  Opened(const Bytes& bytes, std::string path) {
    document.path = std::move(path);
    readIconFile(bytes, document, {}, reporter);
  }
};

DibImage patterned(int size, int bits) {
  DibImage image{.width = size, .height = size, .bitCount = bits, .palette = {0x102030, 0x405060, 0x708090}};
  image.colourRows.resize(static_cast<std::size_t>(image.colourStride() * size));
  for (std::size_t i = 0; i < image.colourRows.size(); ++i) image.colourRows[i] = static_cast<std::uint8_t>(i * 31);
  image.maskRows.assign(static_cast<std::size_t>(image.maskStride() * size), 0x0F);
  return image;
}

IconFile everyKind(std::uint16_t type) {
  IconFile file;
  file.type = type;
  for (int bits : {1, 4, 8, 24, 32}) file.entries.push_back({patterned(16, bits).bytes()});
  file.entries.push_back({testing::solidPng(64, 64, 0x80402010)});
  file.entries.push_back({DibImage{.width = 8, .height = 8, .bitCount = 16}.bytes()});
  for (std::size_t i = 0; i < file.entries.size(); ++i) {
    file.entries[i].planes = static_cast<std::uint16_t>(i + 1);
    file.entries[i].bitCount = static_cast<std::uint16_t>(i + 2);
  }
  return file;
}

TEST(IconWriter, ACanonicalFileIsWrittenBackByteForByte) {
  for (std::uint16_t type : {1, 2}) {
    Bytes original = everyKind(type).bytes();
    Opened opened(original, type == 1 ? "a.ico" : "a.cur");
    WrittenFile written = writeIconFile(opened.document, type == 1 ? IconKind::icon : IconKind::cursor);
    EXPECT_TRUE(written.complete);
    EXPECT_EQ(written.bytes, original) << "type " << type;
  }
}

TEST(IconWriter, BytesAfterTheLastImageAreKeptAndWrittenBack) {
  Bytes original = everyKind(1).bytes();
  const Bytes junk{1, 2, 3, 4, 5};
  original.insert(original.end(), junk.begin(), junk.end());
  Opened opened(original, "a.ico");
  const model::Node* trailing = opened.document.tree.findFirst("trailing_data");
  ASSERT_NE(trailing, nullptr);
  EXPECT_EQ(trailing->block(), (Bytes{5, 0, 0, 0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(opened.reporter.logged("5 bytes follow the last image; they are kept as they are."));
  EXPECT_EQ(opened.document.pictures.size(), 7u);
  EXPECT_EQ(writeIconFile(opened.document, IconKind::icon).bytes, original);
}

// Planes (or hot-spot x) and bit count (or hot-spot y) of each directory entry.
std::vector<std::pair<int, int>> planesAndBits(const Bytes& file) {
  std::vector<std::pair<int, int>> fields;
  for (std::size_t i = 0; i < le16(file, 4); ++i)
    fields.emplace_back(le16(file, 6 + 16 * i + 4), le16(file, 6 + 16 * i + 6));
  return fields;
}

TEST(IconWriter, ChangingTheKindTurnsPlanesIntoAHotSpotAndBack) {
  // The header's type, not the name, tells what the open file is: a type-1 file named .cur is an icon.
  Opened icon(everyKind(1).bytes(), "a.cur");
  Bytes asCursor = writeIconFile(icon.document, IconKind::cursor).bytes;
  EXPECT_EQ(le16(asCursor, 2), 2u);
  EXPECT_EQ(planesAndBits(asCursor), (std::vector<std::pair<int, int>>(7, {0, 0})));
  Opened cursor(everyKind(2).bytes(), "a.ico");
  Bytes asIcon = writeIconFile(cursor.document, IconKind::icon).bytes;
  EXPECT_EQ(le16(asIcon, 2), 1u);
  // Planes 1 and each image's own bits per pixel, the PNG's included.
  EXPECT_EQ(planesAndBits(asIcon),
            (std::vector<std::pair<int, int>>{{1, 1}, {1, 4}, {1, 8}, {1, 24}, {1, 32}, {1, 32}, {1, 16}}));
  Bytes asItself = writeIconFile(cursor.document, IconKind::cursor).bytes;
  EXPECT_EQ(asItself, everyKind(2).bytes());
}

TEST(IconWriter, SavingKeepsTheHeaderTypeUnlessTheTargetAsksForTheOtherKind) {
  struct Case {
    std::uint16_t type;
    const char* open;
    const char* target;
    std::uint16_t writtenType;
  };
  const Case cases[] = {{1, "a.cur", "b.cur", 1}, {1, "a.cur", "b.CUR", 1}, {1, "a.cur", "b.ico", 1},
                        {2, "a.ico", "b.ico", 2}, {2, "a.ico", "b.cur", 2}, {1, "a.ico", "b.icon", 1},
                        {1, "a.ico", "b.cur", 2}, {2, "a.cur", "b.ico", 1}};
  testing::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.open) + " of type " + std::to_string(c.type) + " saved as " + c.target);
    Opened opened(everyKind(c.type).bytes(), (dir.path() / c.open).string());
    RecordingReporter reporter;
    ASSERT_TRUE(saveIconFile(opened.document, dir.path() / c.target, reporter));
    Bytes written = *testing::readFileBytes(dir.path() / c.target);
    EXPECT_EQ(le16(written, 2), c.writtenType);
    if (c.writtenType == c.type) {
      EXPECT_EQ(written, everyKind(c.type).bytes());
    }
  }
}

TEST(IconWriter, SizesAndOffsetsDescribeTheImagesAsWritten) {
  IconFile file = everyKind(1);
  file.storageOrder = {6, 5, 4, 3, 2, 1, 0};
  file.gapAfterDirectory = 99;
  file.entries[2].bytesInResource = 7;  // a lying directory
  Opened opened(file.bytes(), "a.ico");
  Bytes written = writeIconFile(opened.document, IconKind::icon).bytes;

  std::uint32_t expectedOffset = 6 + 16 * 7;
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(le32(written, 6 + 16 * i + 12), expectedOffset) << i;
    expectedOffset += le32(written, 6 + 16 * i + 8);
  }
  EXPECT_EQ(expectedOffset, written.size());

  Opened again(written, "b.ico");
  ASSERT_EQ(again.document.pictures.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(again.document.pictures[i].sizeText, opened.document.pictures[i].sizeText);
    EXPECT_EQ(preview::makeThumbnail(again.document, static_cast<int>(i)).pixels(),
              preview::makeThumbnail(opened.document, static_cast<int>(i)).pixels());
  }
  EXPECT_TRUE(again.reporter.dialogs.empty());
  EXPECT_EQ(again.reporter.lines, std::vector<std::string>{"Don't support 16-bits format."});
}

TEST(IconWriter, AMissingPartStopsWithWhatWasWritten) {
  Opened opened(everyKind(1).bytes(), "a.ico");
  auto* picture = const_cast<model::Node*>(testing::nodeAt(opened.document.tree, "picture_3"));
  picture->removeChild(*picture->findChild("color_bitmap"));
  WrittenFile written = writeIconFile(opened.document, IconKind::icon);
  EXPECT_FALSE(written.complete);
  EXPECT_EQ(le16(written.bytes, 4), 2u);
  Opened partial(written.bytes, "p.ico");
  EXPECT_EQ(partial.document.pictures.size(), 2u);
}

TEST(IconWriter, SavingOverTheOpenFileWorks) {
  testing::TempDir dir;
  IconFile file = everyKind(2);
  file.gapAfterDirectory = 5;
  auto path = dir.write("open.cur", file.bytes());
  model::Document document;
  RecordingReporter reporter;
  document.path = path.string();
  ASSERT_TRUE(readIconFile(path, document, {}, reporter));
  EXPECT_TRUE(saveIconFile(document, path, reporter));
  EXPECT_EQ(*testing::readFileBytes(path), everyKind(2).bytes());
}

TEST(OneImageWriter, APictureAloneKeepsItsEntryAndData) {
  Opened cursor(everyKind(2).bytes(), "a.cur");
  const model::Node* picture = findPicture(cursor.document, 1);
  ASSERT_NE(picture, nullptr);
  Bytes alone = writeOneImage(cursor.document, *picture, IconKind::cursor).bytes;
  Bytes record = patterned(16, 4).bytes();
  ASSERT_EQ(alone.size(), 22 + record.size());
  EXPECT_EQ(le16(alone, 2), 2u);
  EXPECT_EQ(le16(alone, 4), 1u);
  EXPECT_EQ(le16(alone, 10), 2u);  // hot spot kept from cursor to cursor
  EXPECT_EQ(le16(alone, 12), 3u);
  EXPECT_EQ(le32(alone, 14), record.size());
  EXPECT_EQ(le32(alone, 18), 22u);
  EXPECT_TRUE(std::equal(record.begin(), record.end(), alone.begin() + 22));

  Bytes asIcon = writeOneImage(cursor.document, *picture, IconKind::icon).bytes;
  EXPECT_EQ(le16(asIcon, 2), 1u);
  EXPECT_EQ(le16(asIcon, 10), 1u);
  EXPECT_EQ(le16(asIcon, 12), 4u);

  // An icon named .cur is an icon: as a cursor its hot spot is 0, 0; saved to .cur it stays an icon.
  Opened icon(everyKind(1).bytes(), "a.cur");
  Bytes iconAsCursor = writeOneImage(icon.document, *findPicture(icon.document, 0), IconKind::cursor).bytes;
  EXPECT_EQ(le16(iconAsCursor, 10), 0u);
  EXPECT_EQ(le16(iconAsCursor, 12), 0u);
  testing::TempDir dir;
  RecordingReporter reporter;
  ASSERT_TRUE(saveOneImage(icon.document, *findPicture(icon.document, 0), dir.path() / "one.cur", reporter));
  Bytes saved = *testing::readFileBytes(dir.path() / "one.cur");
  EXPECT_EQ(le16(saved, 2), 1u);
  EXPECT_EQ(le16(saved, 10), 1u);
  EXPECT_EQ(le16(saved, 12), 2u);
}

TEST(OneImageWriter, PngImagesAreWrittenVerbatim) {
  Opened icon(everyKind(1).bytes(), "a.ico");
  Bytes alone = writeOneImage(icon.document, *findPicture(icon.document, 5), IconKind::icon).bytes;
  Bytes png = testing::solidPng(64, 64, 0x80402010);
  ASSERT_EQ(alone.size(), 22 + png.size());
  EXPECT_TRUE(std::equal(png.begin(), png.end(), alone.begin() + 22));
  Opened back(alone, "b.ico");
  EXPECT_EQ(back.document.pictures[0].sizeText, "64x64");
}

TEST(OneImageWriter, CannotCreateUsesItsOwnMessage) {
  testing::TempDir dir;
  auto plain = dir.write("plain", Bytes(1, 0));
  Opened icon(everyKind(1).bytes(), "a.ico");
  RecordingReporter reporter;
  EXPECT_FALSE(saveOneImage(icon.document, *findPicture(icon.document, 0), plain / "x.ico", reporter));
  EXPECT_TRUE(reporter.showed("It's impossible open this file."));
}

}  // namespace
}  // namespace delvix::formats
