#include "formats/module_reader.h"

#include <gtest/gtest.h>

#include "formats/le_bytes.h"
#include "formats/one_image_writer.h"
#include "formats/pe/resource_counts.h"
#include "formats/pe/resource_directory.h"
#include "preview/straight_render.h"
#include "preview/thumbnail.h"
#include "support/pe_builder.h"

namespace delvix::formats {
namespace {

using model::Document;
using model::Node;
using testing::ByteVector;
using testing::DibImage;
using testing::GroupEntry;
using testing::groupResource;
using testing::PeBuilder;

ByteVector iconImage(int size, int bitCount = 32) {
  DibImage image;
  image.width = image.height = size;
  image.bitCount = bitCount;
  image.colourRows.assign(static_cast<std::size_t>(image.colourStride() * size), 0x40);
  return image.bytes();
}

// A group of `sizes` images with ids from `firstId`, each image added as RT_ICON.
void addIconGroup(PeBuilder& builder, model::ResourceName name, std::vector<int> sizes, std::uint16_t firstId) {
  std::vector<GroupEntry> entries;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    ByteVector image = iconImage(sizes[i]);
    const auto id = static_cast<std::uint16_t>(firstId + i);
    entries.push_back({static_cast<std::uint16_t>(sizes[i]), static_cast<std::uint16_t>(sizes[i]), 1, 32,
                       static_cast<std::uint32_t>(image.size()), id});
    builder.add(pe::rtIcon, std::uint32_t{id}, image);
  }
  builder.add(pe::rtGroupIcon, std::move(name), groupResource(1, entries));
}

struct ReadResult {
  Document document;
  RecordingReporter reporter;
  bool ok = false;
};

std::unique_ptr<ReadResult> read(const ByteVector& bytes, model::ResourceKinds kinds = {}) {
  auto result = std::make_unique<ReadResult>();
  result->ok = readModule(bytes, result->document, {}, kinds, result->reporter);
  return result;
}

std::vector<std::string> childNames(const Node& node) {
  std::vector<std::string> names;
  for (const auto& child : node.children()) names.push_back(child->name());
  return names;
}

void expectInStep(const Document& document) {
  EXPECT_EQ(document.pictures.size(), static_cast<std::size_t>(document.imageCount));
  int pictures = 0;
  document.tree.forEach([&](const Node& node, int) {
    if (node.name().starts_with("picture_")) {
      EXPECT_EQ(node.name(), "picture_" + std::to_string(++pictures));
    }
  });
  EXPECT_EQ(pictures, document.imageCount);
}

TEST(ModuleReader, NumbersGroupsAndImagesAcrossTheModule) {
  for (bool pe32Plus : {true, false}) {
    PeBuilder builder;
    builder.pe32Plus = pe32Plus;
    addIconGroup(builder, std::string("MAINICON"), {16, 32, 48}, 1);
    addIconGroup(builder, std::uint32_t{100}, {16, 24}, 10);
    auto r = read(builder.build().bytes);
    ASSERT_TRUE(r->ok);
    const Document& d = r->document;
    ASSERT_EQ(d.tree.topLevelCount(), 2u);
    EXPECT_EQ(d.tree.topLevel(0).name(), "MAINICON [Icon_1]");
    EXPECT_EQ(d.tree.topLevel(1).name(), "100!num! [Icon_2]");
    EXPECT_EQ(*d.tree.topLevel(1).resourceName(), model::ResourceName(std::uint32_t{100}));
    EXPECT_EQ(childNames(d.tree.topLevel(1)), (std::vector<std::string>{"header", "picture_4", "picture_5"}));
    EXPECT_EQ(childNames(d.tree.topLevel(1).child(0)), (std::vector<std::string>{"icon_dir_4", "icon_dir_5"}));
    EXPECT_EQ(d.tree.topLevel(1).child(0).child(0).block().size(), 14u);
    EXPECT_EQ(childNames(d.tree.topLevel(0).child(1)),
              (std::vector<std::string>{"bitm_info", "color_bitmap", "mask_bitmap"}));
    EXPECT_EQ(d.imageCount, 5);
    EXPECT_EQ(d.module.iconsLabel, "2");
    EXPECT_EQ(d.module.cursorsLabel, "0");
    EXPECT_EQ(d.pictures[0].sizeText, "MAINICON [Icon]");
    EXPECT_EQ(d.pictures[4].sizeText, "100 [Icon]");
    EXPECT_EQ(d.pictures[4].bitCountText, "32");
    EXPECT_EQ(preview::makeThumbnail(d, 0).width(), preview::thumbnailBox);
    expectInStep(d);
  }
}

TEST(ModuleReader, ListsEveryLanguageAfterTheFirstOnesInTheirOwnImages) {
  PeBuilder builder;
  addIconGroup(builder, std::uint32_t{1}, {16}, 1);  // language 0x409, as the others' first
  builder.add(pe::rtIcon, std::uint32_t{1}, iconImage(24), 0x411);
  builder.add(pe::rtGroupIcon, std::uint32_t{1}, groupResource(1, {{24, 24, 1, 32, 0, 1}, {16, 16, 1, 32, 0, 2}}),
              0x411);
  builder.add(pe::rtIcon, std::uint32_t{2}, iconImage(32));  // the 0x411 group's second image, in 0x409 only
  addIconGroup(builder, std::uint32_t{2}, {48}, 3);
  builder.add(pe::rtBitmap, std::uint32_t{200}, testing::bitmapResource(1, 1, 24, 0, 0, ByteVector(4)), 0x407);
  builder.add(pe::rtBitmap, std::uint32_t{200}, testing::bitmapResource(2, 1, 24, 0, 0, ByteVector(8)), 0x409);
  const ByteVector module = builder.build().bytes;
  auto r = read(module);
  ASSERT_TRUE(r->ok);
  const Document& d = r->document;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < d.tree.topLevelCount(); ++i) names.push_back(d.tree.topLevel(i).name());
  EXPECT_EQ(names, (std::vector<std::string>{"1!num! [Icon_1]", "2!num! [Icon_2]", "200!num! [Bitmap_1]",
                                             "1!num! [Icon_1_1041]", "200!num! [Bitmap_1_1033]"}));
  // Each picture under its resource's node, as wide as the image of the resource's language.
  const std::vector<std::pair<std::size_t, std::uint32_t>> resourceAndWidth{{0, 16}, {1, 48}, {2, 1},
                                                                            {3, 24}, {3, 32}, {4, 2}};
  ASSERT_EQ(d.pictures.size(), resourceAndWidth.size());
  for (std::size_t i = 0; i < resourceAndWidth.size(); ++i) {
    const Node* picture = findPicture(d, static_cast<int>(i));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->parent()->name(), names[resourceAndWidth[i].first]);
    ASSERT_EQ(picture->child(0).name(), "bitm_info");
    EXPECT_EQ(le32(picture->child(0).block(), 4), resourceAndWidth[i].second);
  }
  EXPECT_EQ(d.pictures[3].sizeText, "1_1041 [Icon]");
  EXPECT_EQ(d.pictures[5].sizeText, "200_1033 [Bitmap]");
  auto counts = pe::countResources(module);
  ASSERT_TRUE(counts);
  EXPECT_EQ(d.module.iconsLabel, std::to_string(counts->iconGroups));
  EXPECT_EQ(d.module.iconsLabel, "3");
  EXPECT_EQ(d.module.bitmapsLabel, std::to_string(counts->bitmaps));
  EXPECT_EQ(d.module.bitmapsLabel, "2");
  expectInStep(d);
}

TEST(ModuleReader, CursorsCarryTheirHotSpotAndTheirSizeFromTheBitmapHeader) {
  // The same 32 x 32 cursor image under a group that stores the height doubled and one that stores it plain.
  PeBuilder builder;
  ByteVector image = iconImage(32, 1);
  builder.add(pe::rtCursor, std::uint32_t{1}, testing::cursorResource(5, 7, image));
  builder.add(pe::rtGroupCursor, std::uint32_t{32512}, groupResource(2, {{32, 64, 1, 1, 0, 1}}));
  builder.add(pe::rtGroupCursor, std::uint32_t{32513}, groupResource(2, {{32, 32, 1, 1, 0, 1}}));
  auto r = read(builder.build().bytes);
  const Document& d = r->document;
  ASSERT_EQ(d.tree.topLevelCount(), 2u);
  EXPECT_EQ(d.tree.topLevel(0).name(), "32512!num! [Cursor_1]");
  const Node& first = d.tree.topLevel(0).child(1);
  const Node& second = d.tree.topLevel(1).child(1);
  EXPECT_EQ(childNames(first),
            (std::vector<std::string>{"hot_pot", "bitm_info", "color_table", "color_bitmap", "mask_bitmap"}));
  EXPECT_EQ(first.child(0).block(), (model::Block{5, 0, 7, 0}));
  EXPECT_EQ(le32(second.child(4).block(), 4), le32(first.child(4).block(), 4));
  EXPECT_EQ(preview::makeThumbnail(d, 0).pixels(), preview::makeThumbnail(d, 1).pixels());
  EXPECT_EQ(d.pictures[1].sizeText, "32513 [Cursor]");
  EXPECT_EQ(d.module.cursorsLabel, "2");
  EXPECT_EQ(d.module.iconsLabel, "0");
}

TEST(ModuleReader, LargeIconsStoredAsPngAreKeptWholeAndDecoded) {
  // A 256 x 256 entry stores width and height as 0; it is still an icon entry (no hot spot).
  PeBuilder builder;
  ByteVector png = testing::solidPng(256, 256, 0x336699FF);
  builder.add(pe::rtIcon, std::uint32_t{1}, png);
  builder.add(pe::rtGroupIcon, std::uint32_t{1},
              groupResource(1, {{0, 0, 1, 32, static_cast<std::uint32_t>(png.size()), 1}}));
  auto r = read(builder.build().bytes);
  const Node& picture = r->document.tree.topLevel(0).child(1);
  ASSERT_EQ(childNames(picture), (std::vector<std::string>{"png_data"}));
  EXPECT_EQ(le32(picture.child(0).block(), 0), png.size());
  ASSERT_EQ(r->document.pictures.size(), 1u);
  EXPECT_FALSE(r->document.pictures[0].placeholder);
  EXPECT_EQ(preview::renderStraight(r->document, 0).image.at(0, 0), gfx::rgb(0x33, 0x66, 0x99));
  EXPECT_FALSE(r->reporter.logged("Don't support this dib format."));
}

TEST(ModuleReader, AMissingImageKeepsPicturesAndListsInStep) {
  PeBuilder builder;
  ByteVector image = iconImage(16);
  builder.add(pe::rtIcon, std::uint32_t{1}, image);
  builder.add(pe::rtIcon, std::uint32_t{3}, image);
  builder.add(pe::rtGroupIcon, std::uint32_t{1},
              groupResource(1, {{16, 16, 1, 32, 0, 1}, {16, 16, 1, 8, 0, 2}, {16, 16, 1, 4, 0, 3}}));
  addIconGroup(builder, std::uint32_t{2}, {16}, 20);
  builder.add(pe::rtGroupIcon, std::uint32_t{3}, {0, 0, 2, 0, 1, 0});  // a cursor header in an icon group
  auto r = read(builder.build().bytes);
  const Document& d = r->document;
  EXPECT_TRUE(r->reporter.logged("Icons. Loop. Didn't find such resource."));
  EXPECT_TRUE(r->reporter.logged("Icons. Damage of resource."));
  const Node& first = d.tree.topLevel(0);
  EXPECT_EQ(childNames(first), (std::vector<std::string>{"header", "picture_1", "picture_2", "picture_3"}));
  EXPECT_EQ(first.child(1).childCount(), 3u);
  EXPECT_EQ(first.child(2).childCount(), 0u);
  EXPECT_EQ(first.child(3).childCount(), 0u);
  EXPECT_TRUE(d.pictures[1].placeholder);
  EXPECT_EQ(d.pictures[1].bitCountText, "8");
  EXPECT_EQ(d.pictures[2].bitCountText, "4");
  EXPECT_EQ(childNames(d.tree.topLevel(1).child(0)), (std::vector<std::string>{"icon_dir_4"}));
  EXPECT_EQ(d.tree.topLevel(2).childCount(), 0u);
  expectInStep(d);
}

TEST(ModuleReader, ExpandsEveryGroupBeyondAThousand) {
  PeBuilder builder;
  ByteVector image = iconImage(1);
  builder.add(pe::rtIcon, std::uint32_t{1}, image);
  ByteVector group = groupResource(1, {{1, 1, 1, 32, static_cast<std::uint32_t>(image.size()), 1}});
  for (std::uint32_t id = 1; id <= 1001; ++id) builder.add(pe::rtGroupIcon, id, group);
  auto r = read(builder.build().bytes);
  const Document& d = r->document;
  ASSERT_EQ(d.tree.topLevelCount(), 1001u);
  EXPECT_EQ(d.tree.topLevel(1000).name(), "1001!num! [Icon_1001]");
  EXPECT_EQ(childNames(d.tree.topLevel(999)), (std::vector<std::string>{"header", "picture_1000"}));
  EXPECT_EQ(childNames(d.tree.topLevel(1000)), (std::vector<std::string>{"header", "picture_1001"}));
  EXPECT_EQ(d.module.iconsLabel, "1001");
  expectInStep(d);
}

TEST(ModuleReader, BitmapsOfEveryKind) {
  PeBuilder builder;
  // 8-bit with two stored colours: the rows follow the two entries, not a table of 256.
  ByteVector paletted = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0};  // red, blue
  ByteVector rows = {1, 0, 1, 0, 0, 1, 0, 1};
  paletted.insert(paletted.end(), rows.begin(), rows.end());
  builder.add(pe::rtBitmap, std::uint32_t{1}, testing::bitmapResource(3, 2, 8, 0, 2, paletted));
  ByteVector v5 = testing::bitmapResource(1, 1, 24, 0, 0, ByteVector(124 - 40 + 4, 0));
  v5[0] = 124;
  builder.add(pe::rtBitmap, std::uint32_t{2}, v5);
  ByteVector rle = {0, 0, 0, 0, 0, 0xFF, 0, 0, 2, 1, 0, 1};  // black, green; a run of two greens
  builder.add(pe::rtBitmap, std::uint32_t{3}, testing::bitmapResource(2, 1, 8, 1, 2, rle));
  builder.add(pe::rtBitmap, std::uint32_t{4}, testing::bitmapResource(1, 1, 16, 0, 0, {0x00, 0x7C, 0, 0}));
  builder.add(pe::rtBitmap, std::uint32_t{5}, ByteVector{40, 0, 0, 0, 1});
  builder.add(pe::rtBitmap, std::uint32_t{6}, ByteVector{12, 0});
  auto r = read(builder.build().bytes);
  const Document& d = r->document;
  ASSERT_EQ(d.tree.topLevelCount(), 6u);

  const Node& plain = d.tree.topLevel(0).child(0);
  EXPECT_EQ(plain.name(), "picture_1");
  EXPECT_EQ(childNames(plain), (std::vector<std::string>{"bitm_info", "color_table", "color_bitmap"}));
  EXPECT_EQ(plain.child(1).block().size(), 4u + 1024u);
  const model::Block& colour = plain.child(2).block();
  EXPECT_EQ(le16(colour, 2), 4);
  EXPECT_EQ(le32(colour, 4), 8u);
  EXPECT_EQ(model::Block(colour.begin() + 8, colour.end()), model::Block(rows.begin(), rows.end()));
  const gfx::Image plainDrawn = preview::renderStraight(d, 0).image;
  EXPECT_EQ(plainDrawn.at(0, 0), gfx::rgb(255, 0, 0));  // top row: 0, 1, 0
  EXPECT_EQ(plainDrawn.at(1, 0), gfx::rgb(0, 0, 255));
  EXPECT_EQ(d.pictures[0].sizeText, "1 [Bitmap]");
  EXPECT_EQ(d.module.bitmapPictures.at(0).width(), 3);

  // A 124-byte header is listed whole, its rows after it.
  EXPECT_EQ(childNames(d.tree.topLevel(1).child(0)), (std::vector<std::string>{"bitm_info", "color_bitmap"}));
  EXPECT_EQ(d.tree.topLevel(1).child(0).child(0).block().size(), 124u);

  const Node& compressed = d.tree.topLevel(2).child(0);
  EXPECT_EQ(compressed.name(), "picture_3");
  EXPECT_EQ(compressed.child(1).stateImage(), model::state::valuesHidden);
  EXPECT_FALSE(compressed.child(2).hasBlock());
  EXPECT_EQ(compressed.child(2).stateImage(), model::state::valuesHidden);
  EXPECT_FALSE(d.pictures[2].placeholder);
  EXPECT_EQ(preview::renderStraight(d, 2).image.at(1, 0), gfx::rgb(0, 255, 0));

  EXPECT_EQ(d.tree.topLevel(3).child(0).childCount(), 0u);
  EXPECT_TRUE(r->reporter.logged("Don't support this DIB-format."));
  EXPECT_EQ(d.pictures[3].bitCountText, "16");

  EXPECT_EQ(d.tree.topLevel(4).childCount(), 0u);
  EXPECT_TRUE(r->reporter.logged("The damage of a part of resource."));
  // A core header longer than its resource: a picture without parts, and the reason.
  EXPECT_EQ(d.tree.topLevel(5).child(0).childCount(), 0u);
  EXPECT_TRUE(r->reporter.logged(
      "Bitmaps. 6: not decoded: the bitmap header gives its size as 12 bytes, but the resource holds 2."));
  EXPECT_EQ(d.module.bitmapsLabel, "6");
  expectInStep(d);
}

TEST(ModuleReader, KindsSwitchedOffShowAQuestionMark) {
  PeBuilder builder;
  addIconGroup(builder, std::uint32_t{1}, {16}, 1);
  builder.add(pe::rtBitmap, std::uint32_t{1}, testing::bitmapResource(1, 1, 24, 0, 0, {0, 0, 0, 0}));
  ByteVector bytes = builder.build().bytes;

  auto iconsOnly = read(bytes, {true, false, false});
  EXPECT_EQ(iconsOnly->document.tree.topLevelCount(), 1u);
  EXPECT_EQ(iconsOnly->document.module.iconsLabel, "1");
  EXPECT_EQ(iconsOnly->document.module.cursorsLabel, "?");
  EXPECT_EQ(iconsOnly->document.module.bitmapsLabel, "?");

  auto nothing = read(bytes, {false, false, false});
  EXPECT_TRUE(nothing->ok);
  EXPECT_TRUE(nothing->document.tree.empty());
  EXPECT_EQ(nothing->document.module.cursorsLabel, "0");
}

TEST(ModuleReader, RefusesFilesThatAreNotModulesAndSaysWhy) {
  testing::BuiltPe farHeader = PeBuilder().build();
  farHeader.setLe32(0x3C, 0xFFFFFFF0);  // e_lfanew
  testing::BuiltPe noSignature = PeBuilder().build();
  noSignature.setLe32(0x3C, 0x10);
  const struct {
    ByteVector bytes;
    std::string why;
  } cases[] = {
      {ByteVector(600, 0x4D), "This is not a program module: it does not begin with an \"MZ\" header of 64 bytes."},
      {farHeader.bytes, "The PE header offset 0xFFFFFFF0 (at byte 0x3C) lies beyond the end of the file (" +
                            std::to_string(farHeader.bytes.size()) + " bytes)."},
      {noSignature.bytes,
       "There is no \"PE\" signature at byte 0x10, where the PE header offset (at byte 0x3C) points."},
  };
  for (const auto& c : cases) {
    auto r = read(c.bytes);
    EXPECT_FALSE(r->ok);
    // The file was opened: what is wrong with it is the message.
    EXPECT_TRUE(r->reporter.logged(c.why)) << c.why;
    EXPECT_TRUE(r->reporter.showed(c.why)) << c.why;
    EXPECT_FALSE(r->reporter.showed("Could not open this file."));
  }
}

TEST(ModuleReader, OpensModulesWithoutResourcesEmpty) {
  testing::BuiltPe noDirectory = PeBuilder().build();
  noDirectory.setLe32(0x40 + 24 + 112 + 16, 0);  // resource directory RVA
  testing::BuiltPe lostDirectory = PeBuilder().build();
  lostDirectory.setLe32(0x40 + 24 + 112 + 16, 0x7FFF0000);
  for (const auto* pe : {&noDirectory, &lostDirectory}) {
    auto r = read(pe->bytes);
    EXPECT_TRUE(r->ok);
    EXPECT_TRUE(r->document.tree.empty());
    EXPECT_FALSE(r->reporter.showed("Could not open this file."));
    EXPECT_EQ(r->document.module.iconsLabel, "0");
    EXPECT_EQ(r->document.module.bitmapsLabel, "0");
  }
}

TEST(ModuleReader, DamagedModulesYieldWhatCanBeRead) {
  PeBuilder builder;
  addIconGroup(builder, std::string("APP"), {16, 32}, 1);
  ByteVector cursorImage = iconImage(16, 1);
  builder.add(pe::rtCursor, std::uint32_t{9}, testing::cursorResource(1, 2, cursorImage));
  builder.add(pe::rtGroupCursor, std::uint32_t{1}, groupResource(2, {{16, 32, 1, 1, 0, 9}}));
  builder.add(pe::rtBitmap, std::uint32_t{1}, testing::bitmapResource(2, 2, 4, 0, 0, ByteVector(64 + 8, 0x11)));
  testing::BuiltPe pe = builder.build();

  testing::BuiltPe badGroup = pe;
  badGroup.setLe32(badGroup.dataEntry[2], 0x7FFFFFF0);  // the group's data lies nowhere
  auto r = read(badGroup.bytes);
  EXPECT_TRUE(r->reporter.logged("Icons. Cannot load this resource."));
  EXPECT_EQ(r->document.tree.topLevel(0).childCount(), 0u);
  EXPECT_EQ(r->document.tree.topLevel(1).name(), "1!num! [Cursor_1]");
  expectInStep(r->document);

  for (std::size_t size = 0; size <= pe.bytes.size(); size += 5) {
    ByteVector prefix(pe.bytes.begin(), pe.bytes.begin() + static_cast<std::ptrdiff_t>(size));
    auto cut = read(prefix);
    expectInStep(cut->document);
  }
}

}  // namespace
}  // namespace delvix::formats
