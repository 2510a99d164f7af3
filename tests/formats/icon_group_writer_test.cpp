#include "formats/icon_group_writer.h"

#include <gtest/gtest.h>

#include "formats/ico_reader.h"
#include "formats/icon_image_reader.h"
#include "formats/le_bytes.h"
#include "formats/one_image_writer.h"
#include "preview/thumbnail.h"
#include "support/icon_builder.h"

namespace delvix::formats {
namespace {

using testing::DibImage;
using Bytes = std::vector<std::uint8_t>;

// A module group as the module reader lays it out: the resource node with "header" (6 bytes) and its
// 14-byte "icon_dir_" n entries, then one "picture_" n per entry.
struct Group {
  model::Document document;
  model::Node* resource;
  std::vector<Bytes> records;

  Group(std::uint16_t type, std::vector<DibImage> images, std::uint16_t storedHeightFactor, bool pngLast = false) {
    document.kind = model::FileKind::module;
    resource = &document.tree.addTopLevel(type == 2 ? "32512!num! [Cursor_1]" : "MAINICON [Icon_1]");
    model::Block header(6, 0);
    setLe16(header, 2, type);
    std::size_t count = images.size() + (pngLast ? 1 : 0);
    setLe16(header, 4, static_cast<std::uint16_t>(count));
    model::Node& headerNode = resource->addChild("header", header);
    RecordingReporter reporter;
    for (std::size_t i = 0; i < count; ++i) {
      bool png = i == images.size();
      Bytes record = png ? testing::solidPng(256, 256, 0x11223344) : images[i].bytes();
      model::Block entry(14, 0);
      if (type == 2) {
        setLe16(entry, 0, static_cast<std::uint16_t>(images[i].width));
        setLe16(entry, 2, static_cast<std::uint16_t>(images[i].height * storedHeightFactor));
        setLe16(entry, 4, 1);
        setLe16(entry, 6, static_cast<std::uint16_t>(images[i].bitCount));
        setLe32(entry, 8, static_cast<std::uint32_t>(record.size() + 4));
      } else {
        entry[0] = png ? 0 : static_cast<std::uint8_t>(images[i].width);
        entry[1] = png ? 0 : static_cast<std::uint8_t>(images[i].height);
        setLe16(entry, 4, 1);
        setLe16(entry, 6, png ? 32 : static_cast<std::uint16_t>(images[i].bitCount));
        setLe32(entry, 8, static_cast<std::uint32_t>(record.size()));
      }
      setLe16(entry, 12, static_cast<std::uint16_t>(100 + i));
      headerNode.addChild("icon_dir_" + std::to_string(i + 1), entry, model::state::listChunk);
      model::Node& picture = resource->addChild("picture_" + std::to_string(i + 1), {}, model::state::picture);
      if (type == 2) {
        model::Block hotSpot(4, 0);
        setLe16(hotSpot, 0, static_cast<std::uint16_t>(3 + i));
        setLe16(hotSpot, 2, static_cast<std::uint16_t>(5 + i));
        picture.addChild("hot_pot", hotSpot);
      }
      IconImageRequest request{record, record.size(), record.size()};
      document.pictures.push_back(readIconImage(request, picture, reporter).entry);
      records.push_back(record);
    }
    document.imageCount = static_cast<int>(count);
  }
};

std::vector<DibImage> twoImages() {
  return {DibImage{.width = 32, .height = 32, .bitCount = 4}, DibImage{.width = 16, .height = 16, .bitCount = 32}};
}

TEST(IconGroupWriter, OffsetsRunFromTheDirectoryThroughTheImages) {
  Group group(1,
              {DibImage{.width = 32, .height = 32, .bitCount = 4}, DibImage{.width = 16, .height = 16},
               DibImage{.width = 8, .height = 8, .bitCount = 1}},
              1);
  WrittenFile file = writeIconGroup(*group.resource, IconKind::icon);
  ASSERT_TRUE(file.complete);
  EXPECT_EQ(le16(file.bytes, 2), 1u);
  EXPECT_EQ(le16(file.bytes, 4), 3u);
  EXPECT_EQ(le32(file.bytes, 6 + 12), 54u);
  EXPECT_EQ(le32(file.bytes, 22 + 12), 54u + group.records[0].size());
  EXPECT_EQ(le32(file.bytes, 38 + 12), 54u + group.records[0].size() + group.records[1].size());
  EXPECT_EQ(file.bytes.size(), 54u + group.records[0].size() + group.records[1].size() + group.records[2].size());
  EXPECT_EQ(le16(file.bytes, 6 + 6), 4u);  // icon planes and bit count kept
}

TEST(IconGroupWriter, CursorGroupsTakeHotSpotsAndTheirRealSize) {
  for (std::uint16_t factor : {2, 1}) {  // doubled height (Windows tools) and plain height (Wine)
    Group group(2, twoImages(), factor);
    Bytes cursor = writeIconGroup(*group.resource, IconKind::cursor).bytes;
    EXPECT_EQ(le16(cursor, 2), 2u);
    EXPECT_EQ(cursor[6], 32);
    EXPECT_EQ(cursor[7], 32) << "height factor " << factor;
    EXPECT_EQ(cursor[8], 0);
    EXPECT_EQ(le16(cursor, 6 + 4), 3u);
    EXPECT_EQ(le16(cursor, 6 + 6), 5u);
    EXPECT_EQ(le16(cursor, 22 + 4), 4u);
    EXPECT_EQ(le32(cursor, 6 + 8), group.records[0].size());  // without the 4-byte hot spot

    Bytes icon = writeIconGroup(*group.resource, IconKind::icon).bytes;
    EXPECT_EQ(le16(icon, 2), 1u);
    EXPECT_EQ(le16(icon, 6 + 4), 1u);  // the group entry's planes and bit count
    EXPECT_EQ(le16(icon, 6 + 6), 4u);

    model::Document read;
    RecordingReporter reporter;
    ASSERT_TRUE(readIconFile(cursor, read, {}, reporter));
    EXPECT_EQ(read.pictures[0].sizeText, "32x32");
    EXPECT_EQ(preview::makeThumbnail(read, 1).pixels(), preview::makeThumbnail(group.document, 1).pixels());
  }
}

TEST(IconGroupWriter, BigPngIconsAreIconsAndStayVerbatim) {
  Group group(1, twoImages(), 1, true);
  Bytes icon = writeIconGroup(*group.resource, IconKind::icon).bytes;
  EXPECT_EQ(le16(icon, 4), 3u);
  EXPECT_EQ(icon[6 + 32], 0);  // 256 is stored as 0
  EXPECT_EQ(icon[6 + 33], 0);
  const Bytes& png = group.records[2];
  EXPECT_TRUE(std::equal(png.begin(), png.end(), icon.end() - static_cast<std::ptrdiff_t>(png.size())));
}

TEST(IconGroupWriter, SavesTheGroupOfTheSelectedNode) {
  Group group(2, twoImages(), 2);
  const model::Node& selected = group.resource->child(2).child(1);  // picture_2's bitm_info
  EXPECT_EQ(groupOf(group.document.tree, selected), group.resource);
  RecordingReporter reporter;
  EXPECT_FALSE(saveIconGroup(group.document, nullptr, "/nowhere/x.cur", reporter));
  EXPECT_TRUE(reporter.dialogs.empty());
}

TEST(OneImageWriter, ModuleCursorsCarryTheirHotSpotOrTheirPlanes) {
  Group group(2, twoImages(), 2);
  const model::Node& picture = *group.resource->findChild("picture_1");
  Bytes cursor = writeOneImage(group.document, picture, IconKind::cursor).bytes;
  EXPECT_EQ(cursor[6], 32);
  EXPECT_EQ(cursor[7], 32);
  EXPECT_EQ(le16(cursor, 10), 3u);
  EXPECT_EQ(le16(cursor, 12), 5u);
  EXPECT_EQ(le32(cursor, 14), group.records[0].size());
  Bytes icon = writeOneImage(group.document, picture, IconKind::icon).bytes;
  EXPECT_EQ(icon[8], 0);
  EXPECT_EQ(le16(icon, 10), 1u);
  EXPECT_EQ(le16(icon, 12), 4u);

  Group icons(1, twoImages(), 1);
  Bytes iconAsCursor = writeOneImage(icons.document, *icons.resource->findChild("picture_2"), IconKind::cursor).bytes;
  EXPECT_EQ(le16(iconAsCursor, 10), 0u);
  EXPECT_EQ(le16(iconAsCursor, 12), 0u);
}

}  // namespace
}  // namespace delvix::formats
