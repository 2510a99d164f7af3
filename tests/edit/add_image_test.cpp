#include "edit/add_image.h"

#include <gtest/gtest.h>

#include "formats/ani_reader.h"
#include "formats/ico_reader.h"
#include "formats/le_bytes.h"
#include "support/read_helpers.h"
#include "support/riff_builder.h"

namespace delvix::edit {
namespace {

using testing::ByteVector;
using testing::DibImage;
using testing::IconEntry;
using testing::IconFile;

DibImage bitmap(int size, int bitCount, std::uint32_t compression = 0) {
  DibImage image;
  image.width = image.height = size;
  image.bitCount = bitCount;
  image.compression = compression;
  return image;
}

// An animated cursor of two 32 x 32 cursor frames with the hot spot at (5, 7).
ByteVector animation() {
  IconFile frame;
  frame.type = 2;
  frame.entries.push_back({bitmap(32, 8).bytes(), {}, {}, {}, 5, 7});
  return testing::riff("ACON", {testing::aniHeader({.frames = 2, .steps = 2}),
                                testing::list("fram", {testing::iconChunk(frame), testing::iconChunk(frame)})});
}

std::unique_ptr<IconSource> sourceOf(const IconFile& file, formats::RecordingReporter& reporter) {
  return readIconSource(file.bytes(), reporter);
}

IconFile iconWith(IconEntry entry) {
  IconFile file;
  file.entries.push_back(std::move(entry));
  return file;
}

TEST(AddImage, RefusedImagesChangeNothing) {
  IconEntry beyondTheFile{bitmap(32, 8).bytes()};
  beyondTheFile.imageOffset = 100000;
  IconEntry claimsAnotherSize{bitmap(16, 8).bytes()};
  claimsAnotherSize.width = claimsAnotherSize.height = 32;
  const struct {
    const char* what;
    IconEntry entry;
    bool intoAnimation;
    std::string error, log;
  } cases[] = {
      {"16 bits", {bitmap(32, 16).bytes()}, false, "", "Don't support 16-bits format."},
      {"16 bits as a frame", {bitmap(32, 16).bytes()}, true, "", "Don't support 16-bits format."},
      {"compressed frame",
       {bitmap(32, 8, 1).bytes()},
       true,
       "Cannot add a compressed image to an animated cursor.",
       "Add: Cannot add a compressed image to an animated cursor."},
      {"outside the file", beyondTheFile, false, "This file is corrupt.", "This file is corrupt."},
      {"larger frame",
       {bitmap(48, 8).bytes()},
       true,
       "Cannot add the image with such size.",
       "Add: Cannot add the image with such size."},
      {"entry and image differ", claimsAnotherSize, true, "Cannot add the image with such size.",
       "Add: Cannot add the image with such size."},
  };
  for (const auto& c : cases) {
    formats::RecordingReporter reporter;
    model::Document document;
    if (c.intoAnimation)
      ASSERT_TRUE(formats::readAnimatedCursor(animation(), document, {}, reporter));
    else
      ASSERT_TRUE(formats::readIconFile(iconWith({bitmap(32, 4).bytes()}).bytes(), document, {}, reporter));
    const std::size_t nodes = document.tree.nodeCount();
    const auto source = sourceOf(iconWith(c.entry), reporter);
    ASSERT_TRUE(source) << c.what;
    const ImageAddition added = addImage(document, *source, 0);
    EXPECT_FALSE(added.added) << c.what;
    EXPECT_EQ(added.error, c.error) << c.what;
    EXPECT_EQ(added.log, std::vector<std::string>{c.log}) << c.what;
    EXPECT_EQ(document.tree.nodeCount(), nodes) << c.what;
    EXPECT_EQ(document.imageCount, c.intoAnimation ? 2 : 1) << c.what;
  }
}

TEST(AddImage, SourcesThatAreNoIconFilesAreRefusedWithTheReadersWords) {
  formats::RecordingReporter reporter;
  EXPECT_FALSE(readIconSource(ByteVector(21, 0), reporter));
  EXPECT_TRUE(reporter.showed("Too little size to be ico(cur)-file."));
  EXPECT_TRUE(reporter.logged("This is not ico(cur)-file."));
  ByteVector notIcon = iconWith({bitmap(32, 8).bytes()}).bytes();
  notIcon[2] = 3;
  formats::RecordingReporter second;
  EXPECT_FALSE(readIconSource(notIcon, second));
  EXPECT_TRUE(second.showed("This is not ico(cur)-file."));
}

TEST(AddImage, HotSpotsFollowTheKindOfTheTarget) {
  IconFile cursor;
  cursor.type = 2;
  cursor.entries.push_back({bitmap(32, 8).bytes(), {}, {}, {}, 9, 11});
  formats::RecordingReporter reporter;
  const auto fromIcon = sourceOf(iconWith({bitmap(32, 8).bytes()}), reporter);
  const auto fromCursor = sourceOf(cursor, reporter);
  ASSERT_TRUE(fromIcon && fromCursor);
  EXPECT_EQ(fromCursor->lines, std::vector<std::string>{"1:   32 x 32"});
  EXPECT_EQ(fromCursor->label, "This file contains 1 icons.");

  // An icon has no hot spot: a frame from one takes the first frame's; a cursor frame keeps its own.
  model::Document ani;
  ASSERT_TRUE(formats::readAnimatedCursor(animation(), ani, {}, reporter));
  ASSERT_TRUE(addImage(ani, *fromIcon, 0).added);
  const ImageAddition third = addImage(ani, *fromCursor, 0);
  ASSERT_TRUE(third.added);
  const auto hotSpot = [&](const char* frame) {
    const model::Block& info =
        testing::nodeAt(ani.tree, std::string("RIFF_ACON/List_images/") + frame + "/image_info")->block();
    return std::to_string(formats::le16(info, 10)) + "," + std::to_string(formats::le16(info, 12));
  };
  EXPECT_EQ(hotSpot("picture_3"), "5,7");
  EXPECT_EQ(hotSpot("picture_4"), "9,11");
  EXPECT_EQ(third.pictureIndex, 3);
  EXPECT_EQ(ani.ani.sequence, (std::vector<std::uint32_t>{0, 1, 2, 3}));
  EXPECT_EQ(ani.ani.header.frames, 4u);
  EXPECT_EQ(ani.pictures.size(), 4u);

  // Into an icon file a cursor's image gets planes 1 and its bit count; offsets follow the longer directory.
  model::Document icon;
  ASSERT_TRUE(formats::readIconFile(iconWith({bitmap(32, 4).bytes()}).bytes(), icon, {}, reporter));
  ASSERT_TRUE(addImage(icon, *fromCursor, 0).added);
  const model::Block& first = testing::nodeAt(icon.tree, "header/icon_dir_1")->block();
  const model::Block& entry = testing::nodeAt(icon.tree, "header/icon_dir_2")->block();
  EXPECT_EQ(formats::le16(entry, 4), 1);
  EXPECT_EQ(formats::le16(entry, 6), 8);
  EXPECT_EQ(formats::le32(first, 12), 6u + 2 * 16);
  EXPECT_EQ(formats::le32(entry, 12), formats::le32(first, 12) + formats::le32(first, 8));
  EXPECT_EQ(formats::le16(testing::nodeAt(icon.tree, "header")->block(), 4), 2);
}

}  // namespace
}  // namespace delvix::edit
