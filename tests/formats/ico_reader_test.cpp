#include "formats/ico_reader.h"

#include <gtest/gtest.h>

#include "formats/le_bytes.h"
#include "preview/thumbnail.h"
#include "support/icon_builder.h"
#include "support/read_helpers.h"

namespace delvix::formats {
namespace {

using testing::DibImage;
using testing::IconEntry;
using testing::IconFile;
using testing::nodeAt;

struct Read {
  model::Document document;
  RecordingReporter reporter;
  bool ok = false;

  explicit Read(const std::vector<std::uint8_t>& bytes, model::ShowSettings show = {}) {
    ok = readIconFile(bytes, document, show, reporter);
  }
  const model::Block& block(const std::string& path) const {
    const model::Node* node = nodeAt(document.tree, path);
    if (!node) throw std::runtime_error("no node " + path);
    return node->block();
  }
};

IconFile oneImage(DibImage image) {
  IconFile file;
  file.entries.push_back({image.bytes()});
  return file;
}

TEST(IconReader, RefusesFilesThatAreNoIcons) {
  Read tiny(std::vector<std::uint8_t>(5, 0));
  EXPECT_FALSE(tiny.ok);
  ASSERT_EQ(tiny.reporter.dialogs.size(), 1u);
  EXPECT_EQ(tiny.reporter.dialogs[0].text, "Too little size to be ico(cur)-file.");
  EXPECT_EQ(tiny.reporter.lines, std::vector<std::string>{"This is not ico(cur)-file."});
  EXPECT_EQ(tiny.document.statusText, " Size: 5 bytes");

  IconFile wrongType;
  wrongType.type = 3;
  Read refused(wrongType.bytes());
  EXPECT_FALSE(refused.ok);
  EXPECT_TRUE(refused.reporter.showed("This is not ico(cur)-file."));
  EXPECT_TRUE(refused.document.tree.empty());

  IconFile reserved;
  reserved.reserved = 1;
  EXPECT_FALSE(Read(reserved.bytes()).ok);
}

TEST(IconReader, EmptyDirectoryGivesALoneHeader) {
  Read r(IconFile{}.bytes());
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(testing::topLevelNames(r.document.tree), std::vector<std::string>{"header"});
  EXPECT_EQ(r.document.imageCount, 0);
  EXPECT_TRUE(r.reporter.dialogs.empty());
}

TEST(IconReader, BuildsTheTreeWithBlockLayouts) {
  DibImage image{.width = 32, .height = 32, .bitCount = 1, .palette = {0x000000, 0xFFFFFF}};
  Read r(oneImage(image).bytes(), {.table = 8, .color = 7, .mask = 8});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(testing::topLevelNames(r.document.tree), (std::vector<std::string>{"header", "picture_1"}));
  EXPECT_EQ(testing::childNames(*nodeAt(r.document.tree, "picture_1")),
            (std::vector<std::string>{"bitm_info", "color_table", "color_bitmap", "mask_bitmap"}));
  EXPECT_EQ(nodeAt(r.document.tree, "header/icon_dir_1")->stateImage(), 1);
  EXPECT_EQ(nodeAt(r.document.tree, "picture_1")->stateImage(), 6);
  EXPECT_EQ(nodeAt(r.document.tree, "picture_1/color_table")->stateImage(), 8);
  EXPECT_EQ(nodeAt(r.document.tree, "picture_1/color_bitmap")->stateImage(), 7);
  EXPECT_EQ(nodeAt(r.document.tree, "picture_1/mask_bitmap")->stateImage(), 8);

  EXPECT_EQ(r.block("header").size(), 6u);
  EXPECT_EQ(r.block("header/icon_dir_1").size(), 16u);
  EXPECT_EQ(le32(r.block("picture_1/bitm_info"), 8), 64u);  // stored height kept doubled
  const auto& table = r.block("picture_1/color_table");
  EXPECT_EQ(table.size(), 4u + 8u);
  EXPECT_EQ(le32(table, 0), 8u);
  for (const char* name : {"picture_1/color_bitmap", "picture_1/mask_bitmap"}) {
    const auto& rows = r.block(name);
    EXPECT_EQ(le16(rows, 0), 1u) << name;
    EXPECT_EQ(le16(rows, 2), 4u) << name;
    EXPECT_EQ(le32(rows, 4), 128u) << name;
    EXPECT_EQ(rows.size(), 8u + 128u) << name;
  }
  EXPECT_EQ(r.document.imageCount, 1);
  ASSERT_EQ(r.document.pictures.size(), 1u);
  EXPECT_EQ(r.document.pictures[0].sizeText, "32x32");
  EXPECT_EQ(r.document.pictures[0].bitCountText, "1");
}

TEST(IconReader, ColourTablesFollowTheBitCountNotClrUsed) {
  for (auto [bits, tableBytes] : {std::pair{1, 8u}, {4, 64u}, {8, 1024u}, {24, 0u}, {32, 0u}}) {
    DibImage image{.width = 4, .height = 4, .bitCount = bits, .clrUsed = 2};
    Read r(oneImage(image).bytes());
    ASSERT_TRUE(r.ok) << bits;
    const model::Node* table = nodeAt(r.document.tree, "picture_1/color_table");
    if (tableBytes == 0) {
      EXPECT_EQ(table, nullptr) << bits;
    } else {
      ASSERT_NE(table, nullptr) << bits;
      EXPECT_EQ(table->block().size(), 4 + tableBytes) << bits;
    }
    EXPECT_EQ(r.document.pictures[0].bitCountText, std::to_string(bits));
  }
  DibImage wide{.width = 48, .height = 1, .bitCount = 24};
  Read r(oneImage(wide).bytes());
  EXPECT_EQ(le16(r.block("picture_1/color_bitmap"), 2), 144u);
}

TEST(IconReader, UnsupportedImagesBecomePlaceholdersAndReadingGoesOn) {
  IconFile file;
  file.entries.push_back({DibImage{.width = 8, .height = 8, .bitCount = 16}.bytes()});
  file.entries.push_back({DibImage{.width = 8, .height = 8, .bitCount = 8, .compression = 1}.bytes()});
  file.entries.push_back({DibImage{.width = 8, .height = 8, .bitCount = 24}.bytes()});
  Read r(file.bytes());
  ASSERT_TRUE(r.ok);
  // The bytes after the header are kept as they are, so that saving the file loses nothing.
  const std::vector<std::string> kept{"bitm_info", "image_data"};
  EXPECT_EQ(testing::childNames(*nodeAt(r.document.tree, "picture_1")), kept);
  EXPECT_EQ(testing::childNames(*nodeAt(r.document.tree, "picture_2")), kept);
  EXPECT_EQ(le32(r.block("picture_1/image_data"), 0), 8u * 16 + 4 * 8);
  EXPECT_TRUE(r.reporter.logged("Don't support 16-bits format."));
  EXPECT_TRUE(r.reporter.logged("Don't support this dib format."));
  ASSERT_EQ(r.document.pictures.size(), 3u);
  EXPECT_TRUE(r.document.pictures[0].placeholder);
  EXPECT_EQ(r.document.pictures[0].sizeText, "none");
  EXPECT_EQ(r.document.pictures[0].bitCountText, "16");
  EXPECT_EQ(r.document.pictures[1].bitCountText, "8");
  EXPECT_FALSE(r.document.pictures[2].placeholder);
  EXPECT_EQ(r.document.pictures[2].sizeText, "8x8");
  EXPECT_TRUE(r.reporter.dialogs.empty());
}

TEST(IconReader, ThumbnailIsTheWholeImage) {
  // 48 x 48, 24-bit: red left of x = 32, green right of it.
  DibImage image{.width = 48, .height = 48, .bitCount = 24};
  image.colourRows.resize(static_cast<std::size_t>(image.colourStride() * 48));
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      std::size_t at = static_cast<std::size_t>((47 - y) * image.colourStride() + x * 3);
      image.colourRows[at + 2] = x < 32 ? 255 : 0;
      image.colourRows[at + 1] = x < 32 ? 0 : 255;
    }
  Read r(oneImage(image).bytes());
  ASSERT_TRUE(r.ok);
  const auto& entry = r.document.pictures[0];
  EXPECT_EQ(entry.sizeText, "48x48");
  // The whole picture, not its top-left part: red on the left, green on the right.
  const gfx::Image thumbnail = preview::makeThumbnail(r.document, 0, 32);
  ASSERT_EQ(thumbnail.width(), 32);
  ASSERT_EQ(thumbnail.height(), 32);
  EXPECT_EQ(gfx::withoutAlpha(thumbnail.at(0, 16)), gfx::withoutAlpha(gfx::rgb(255, 0, 0)));
  EXPECT_EQ(gfx::withoutAlpha(thumbnail.at(31, 16)), gfx::withoutAlpha(gfx::rgb(0, 255, 0)));
}

TEST(IconReader, SmallImagesSitOnATransparentThumbnail) {
  Read r(oneImage(DibImage{.width = 16, .height = 16, .bitCount = 32}).bytes());
  const gfx::Image thumbnail = preview::makeThumbnail(r.document, 0);
  const int left = (preview::thumbnailBox - 16) / 2;
  EXPECT_EQ(thumbnail.at(left - 1, left - 1), 0u);
  EXPECT_EQ(gfx::withoutAlpha(thumbnail.at(left, left)), 0u);
}

TEST(IconReader, CursorsReadLikeIconsWithHotSpotsInTheDirectory) {
  IconFile file;
  file.type = 2;
  file.entries.push_back({DibImage{.width = 32, .height = 32, .bitCount = 1}.bytes()});
  file.entries[0].planes = 5;
  file.entries[0].bitCount = 7;
  Read r(file.bytes());
  ASSERT_TRUE(r.ok);
  const auto& entry = r.block("header/icon_dir_1");
  EXPECT_EQ(le16(entry, 4), 5u);
  EXPECT_EQ(le16(entry, 6), 7u);
  EXPECT_EQ(r.document.pictures[0].bitCountText, "1");
}

TEST(IconReader, ClearingTheTreeFreesExactlyWhatItOwned) {
  IconFile file;
  file.entries.push_back({DibImage{.width = 16, .height = 16, .bitCount = 4}.bytes()});
  file.entries.push_back({DibImage{.width = 16, .height = 16, .bitCount = 32}.bytes()});
  std::size_t before = model::Node::liveCount();
  Read r(file.bytes());
  // header + 2 entries + (bitm_info, color_table, color_bitmap, mask_bitmap) + (bitm_info, color_bitmap, mask_bitmap)
  EXPECT_EQ(r.document.tree.ownedDataCount(), 1u + 2u + 4u + 3u);
  EXPECT_EQ(model::Node::liveCount(), before + r.document.tree.nodeCount());
  r.document.clear();
  EXPECT_EQ(model::Node::liveCount(), before);
  EXPECT_TRUE(r.document.pictures.empty());
}

}  // namespace
}  // namespace delvix::formats
