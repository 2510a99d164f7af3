// Icon files as real producers and damaged copies leave them: images stored out of order,
// PNG-compressed images, lying directories, offsets and sizes outside the file, truncation.
#include <gtest/gtest.h>

#include "codecs/png_encode.h"
#include "formats/ico_reader.h"
#include "formats/le_bytes.h"
#include "formats/one_image_writer.h"
#include "model/picture_index.h"
#include "preview/straight_render.h"
#include "support/icon_builder.h"
#include "support/read_helpers.h"

namespace delvix::formats {
namespace {

using testing::DibImage;
using testing::IconFile;
using testing::nodeAt;

struct Read {
  model::Document document;
  RecordingReporter reporter;
  bool ok = false;
  explicit Read(const std::vector<std::uint8_t>& bytes) { ok = readIconFile(bytes, document, {}, reporter); }
};

DibImage solid(int size, std::uint8_t blueValue) {
  DibImage image{.width = size, .height = size, .bitCount = 24};
  image.colourRows.assign(static_cast<std::size_t>(image.colourStride() * size), 0);
  for (std::size_t i = 0; i < image.colourRows.size(); i += 3) image.colourRows[i] = blueValue;
  return image;
}

TEST(IconReaderOffsets, ImagesAreReadWhereTheDirectoryPoints) {
  IconFile file;
  file.entries.push_back({solid(16, 10).bytes()});
  file.entries.push_back({solid(8, 20).bytes()});
  file.storageOrder = {1, 0};
  file.gapAfterDirectory = 13;
  Read r(file.bytes());
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.document.pictures.size(), 2u);
  EXPECT_EQ(r.document.pictures[0].sizeText, "16x16");
  EXPECT_EQ(r.document.pictures[1].sizeText, "8x8");
  EXPECT_EQ(gfx::blue(preview::renderStraight(r.document, 0).image.at(0, 0)), 10);
  EXPECT_EQ(gfx::blue(preview::renderStraight(r.document, 1).image.at(0, 0)), 20);
  EXPECT_TRUE(r.reporter.dialogs.empty());
}

TEST(IconReaderOffsets, AnOffsetOutsideTheFileIsReportedAndTheRestIsRead) {
  IconFile file;
  file.entries.push_back({solid(8, 1).bytes()});
  file.entries.push_back({solid(8, 2).bytes()});
  file.entries[0].imageOffset = 0xFFFFFFF0u;
  Read r(file.bytes());
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.reporter.showed("This file is corrupt."));
  EXPECT_EQ(r.reporter.dialogs.size(), 1u);
  ASSERT_EQ(r.document.pictures.size(), 2u);
  EXPECT_TRUE(r.document.pictures[0].placeholder);
  EXPECT_EQ(nodeAt(r.document.tree, "picture_1")->childCount(), 0u);
  EXPECT_EQ(r.document.pictures[1].sizeText, "8x8");
}

TEST(IconReaderOffsets, ASizeRunningPastTheEndIsReported) {
  IconFile file;
  file.entries.push_back({solid(8, 1).bytes()});
  file.entries[0].bytesInResource = 0xFFFFFF00u;
  Read r(file.bytes());
  EXPECT_TRUE(r.reporter.showed("This file is corrupt."));
  ASSERT_EQ(r.document.pictures.size(), 1u);
  EXPECT_EQ(r.document.pictures[0].sizeText, "8x8");  // the image itself is whole
}

TEST(IconReaderOffsets, AWrongBytesInResourceIsOnlyNoted) {
  IconFile file;
  file.entries.push_back({solid(8, 1).bytes()});
  file.entries[0].bytesInResource = 100;
  Read r(file.bytes());
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.reporter.dialogs.empty());
  EXPECT_EQ(r.reporter.lines.size(), 1u);
  EXPECT_FALSE(r.document.pictures[0].placeholder);
}

TEST(IconReaderDamage, HugeDimensionsNeverDriveAnAllocation) {
  // The height claims 2^28 rows of a 2-pixel image in a 70-byte file.
  DibImage image{.width = 2, .height = 1, .bitCount = 32};
  auto record = image.bytes();
  setLe32(record, 8, 268435457u * 2);
  IconFile file;
  file.entries.push_back({record});
  Read r(file.bytes());
  EXPECT_TRUE(r.reporter.showed("This file is corrupt."));
  ASSERT_EQ(r.document.pictures.size(), 1u);
  EXPECT_TRUE(r.document.pictures[0].placeholder);
  EXPECT_EQ(nodeAt(r.document.tree, "picture_1/color_bitmap"), nullptr);
}

TEST(IconReaderDamage, NegativeOrZeroSizesAndOddDepthsArePlaceholders) {
  for (auto [width, height, bits] : {std::tuple{-4, 4, 8}, {4, 0, 8}, {4, -3, 24}, {4, 4, 3}, {4, 4, 0}, {4, 4, 64}}) {
    DibImage image{.width = 4, .height = 4, .bitCount = 8};
    auto record = image.bytes();
    setLe32(record, 4, static_cast<std::uint32_t>(width));
    setLe32(record, 8, static_cast<std::uint32_t>(height * 2));
    setLe16(record, 14, static_cast<std::uint16_t>(bits));
    IconFile file;
    file.entries.push_back({record});
    Read r(file.bytes());
    ASSERT_EQ(r.document.pictures.size(), 1u);
    EXPECT_TRUE(r.document.pictures[0].placeholder) << width << " " << height << " " << bits;
  }
}

TEST(IconReaderDamage, ACutShortImageKeepsItsLayoutWithBlankRows) {
  IconFile file;
  file.entries.push_back({solid(16, 50).bytes()});
  auto bytes = file.bytes();
  bytes.resize(bytes.size() - 40);  // all the mask rows and some colour rows are gone
  Read r(bytes);
  ASSERT_EQ(r.document.pictures.size(), 1u);
  EXPECT_FALSE(r.document.pictures[0].placeholder);
  EXPECT_EQ(nodeAt(r.document.tree, "picture_1/mask_bitmap")->block().size(), 8u + 64u);
  EXPECT_TRUE(r.reporter.showed("This file is corrupt."));
}

TEST(IconReaderDamage, ATruncatedDirectoryKeepsOnlyWholeEntries) {
  IconFile file;
  file.entries.push_back({solid(8, 1).bytes()});
  file.count = 79;
  auto bytes = file.bytes();
  bytes.resize(6 + 16 + 10);
  Read r(bytes);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.reporter.showed("This file is corrupt."));
  EXPECT_EQ(nodeAt(r.document.tree, "header")->childCount(), 1u);
  EXPECT_EQ(r.document.imageCount, 1);
  EXPECT_EQ(r.document.pictures.size(), 1u);
}

TEST(IconReaderDamage, TruncationAtEveryOffsetKeepsPicturesInStepWithTheTree) {
  IconFile file;
  file.entries.push_back({DibImage{.width = 8, .height = 8, .bitCount = 4}.bytes()});
  file.entries.push_back({testing::solidPng(4, 4, 0x11223344)});
  file.entries.push_back({solid(8, 9).bytes()});
  const auto whole = file.bytes();
  for (std::size_t size = 0; size <= whole.size(); ++size) {
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    Read r(cut);
    std::size_t pictureNodes = 0;
    for (std::size_t i = 0; i < r.document.tree.topLevelCount(); ++i)
      pictureNodes += r.document.tree.topLevel(i).name().starts_with("picture_");
    ASSERT_EQ(r.document.pictures.size(), pictureNodes) << size;
    ASSERT_EQ(static_cast<std::size_t>(r.document.imageCount), pictureNodes) << size;
  }
}

// `entries` directory entries that all point at one image stored after them; the header claims `count`.
std::vector<std::uint8_t> sharedImageFile(std::size_t entries, const std::vector<std::uint8_t>& record,
                                          std::uint16_t count) {
  IconFile file;
  file.count = count;
  const auto offset = static_cast<std::uint32_t>(6 + 16 * entries);
  for (std::size_t i = 0; i < entries; ++i)
    file.entries.push_back({.record = {},
                            .width = 1,
                            .height = 1,
                            .bytesInResource = static_cast<std::uint32_t>(record.size()),
                            .imageOffset = offset});
  auto bytes = file.bytes();
  bytes.insert(bytes.end(), record.begin(), record.end());
  return bytes;
}

// The shape fuzzing found: a directory that claims 65 535 images and fills the file with entries.
// Reading it and finding every picture, as saving every picture does, stays in proportion to the file.
TEST(IconReaderDamage, AFullDirectoryIsReadAndEveryPictureFound) {
  const auto bytes = sharedImageFile(14554, DibImage{.width = 1, .height = 1, .bitCount = 1}.bytes(), 65535);
  Read r(bytes);
  EXPECT_FALSE(r.ok);
  const int pictures = r.document.imageCount;
  EXPECT_EQ(static_cast<std::size_t>(pictures), (bytes.size() - 6) / 16);
  ASSERT_EQ(r.document.pictures.size(), static_cast<std::size_t>(pictures));
  for (int index = 0; index < pictures; ++index) {
    const model::Node* picture = findPicture(r.document, index);
    ASSERT_NE(picture, nullptr) << index;
    ASSERT_EQ(picture->name(), model::pictureName(index + 1));
    const bool complete = writeOneImage(r.document, *picture, IconKind::cursor).complete;
    if (index < 14554) {
      ASSERT_TRUE(complete) << index;
    }
  }
}

// Entries that share one image cannot make the pictures hold much more than the file does.
TEST(IconReaderDamage, EntriesSharingAnImageStopWhenTheyWouldHoldFarMoreThanTheFile) {
  const auto bytes = sharedImageFile(4000, solid(64, 7).bytes(), 4000);
  Read r(bytes);
  ASSERT_EQ(r.document.pictures.size(), 4000u);
  EXPECT_TRUE(r.reporter.logged("picture_4000: not read; the directory asks for more image data than the file holds."));
  EXPECT_TRUE(r.reporter.showed("This file is corrupt."));
  std::uint64_t held = 0;
  r.document.tree.forEach([&](const model::Node& node, int) { held += node.block().size(); });
  EXPECT_LE(held, (std::uint64_t{1} << 24) + 17 * bytes.size());
  EXPECT_FALSE(r.document.pictures[0].placeholder);
  EXPECT_TRUE(r.document.pictures[3999].placeholder);
}

TEST(IconReaderPng, PngImagesAreKeptWholeAndDecoded) {
  gfx::Image picture(40, 36, gfx::rgb(0, 128, 255, 255));
  picture.at(0, 0) = gfx::rgb(0, 0, 0, 0);
  auto png = *codecs::encodePng(picture);
  IconFile file;
  file.entries.push_back({solid(8, 1).bytes()});
  file.entries.push_back({png});
  file.entries[1].width = 0;  // 0 stands for 256 in directories; the real size comes from the image
  Read r(file.bytes());
  ASSERT_TRUE(r.ok);
  const model::Node* picture2 = nodeAt(r.document.tree, "picture_2");
  EXPECT_EQ(testing::childNames(*picture2), std::vector<std::string>{"png_data"});
  const auto& block = picture2->child(0).block();
  ASSERT_EQ(block.size(), 4 + png.size());
  EXPECT_EQ(le32(block, 0), png.size());
  EXPECT_TRUE(std::equal(png.begin(), png.end(), block.begin() + 4));
  const auto& entry = r.document.pictures[1];
  EXPECT_FALSE(entry.placeholder);
  EXPECT_EQ(entry.sizeText, "40x36");
  EXPECT_EQ(entry.bitCountText, "32");
  const gfx::Image drawn = preview::renderStraight(r.document, 1).image;
  EXPECT_EQ(gfx::alpha(drawn.at(0, 0)), 0);
  EXPECT_EQ(gfx::withoutAlpha(drawn.at(1, 1)), gfx::withoutAlpha(gfx::rgb(0, 128, 255)));
  EXPECT_EQ(drawn.width(), 40);
}

TEST(IconReaderPng, ADamagedPngKeepsItsBytesBehindAPlaceholder) {
  auto png = testing::solidPng(4, 4, 0xFF0000FF);
  png.resize(png.size() - 20);
  IconFile file;
  file.entries.push_back({png});
  Read r(file.bytes());
  ASSERT_EQ(r.document.pictures.size(), 1u);
  EXPECT_TRUE(r.document.pictures[0].placeholder);
  EXPECT_EQ(r.document.pictures[0].bitCountText, "32");
  EXPECT_EQ(nodeAt(r.document.tree, "picture_1/png_data")->block().size(), 4 + png.size());
  EXPECT_TRUE(r.reporter.logged("picture_1: the PNG image could not be decoded."));
}

TEST(IconReaderPng, APngBeyondTheLargestDecodedSizeSaysItsSize) {
  auto png = testing::solidPng(1, 1, 0xFF0000FF);
  for (std::size_t at : {16u, 20u}) {  // IHDR width and height: 8192
    png[at + 2] = 0x20;
    png[at + 3] = 0;
  }
  IconFile file;
  file.entries.push_back({png});
  Read r(file.bytes());
  ASSERT_EQ(r.document.pictures.size(), 1u);
  EXPECT_TRUE(r.document.pictures[0].placeholder);
  EXPECT_TRUE(r.reporter.logged(
      "picture_1: the PNG image is 8192 x 8192 pixels; images larger than 4096 x 4096 are not decoded."));
}

}  // namespace
}  // namespace delvix::formats
