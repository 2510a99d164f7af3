// Replacing, adding and removing a module's resources in its resource tree.
#include "formats/pe/resource_changes.h"

#include <gtest/gtest.h>

#include "formats/le_bytes.h"
#include "formats/pe/group_resource.h"
#include "formats/pe/resource_directory.h"
#include "support/icon_builder.h"
#include "support/riff_builder.h"

namespace delvix::formats::pe {
namespace {

using testing::ByteVector;
using testing::DibImage;
using testing::IconFile;

ResourceId id(std::uint32_t n) { return ResourceId::number(n); }

ResourceEntry entry(std::uint32_t type, ResourceId name, std::uint32_t language, ByteVector data) {
  return {id(type), std::move(name), language, 0, 0, std::move(data)};
}

ByteVector groupOf(std::uint16_t type, std::initializer_list<std::uint16_t> ids) {
  IconFilePictures file{type == 2, {}};
  static const ByteVector image = DibImage{.width = 8, .height = 8}.bytes();
  for (std::size_t n = 0; n < ids.size(); ++n) file.pictures.push_back({8, 8, 0, 0, 1, 32, image});
  return groupResourceData(file, ids);
}

// Group 1 (pictures 1, 2), group "MAIN" (picture 2, shared), group 1 again in 1041 (picture 3), a bitmap.
ResourceTree sampleTree() {
  ResourceTree tree;
  tree.entries = {entry(rtIcon, id(1), 1033, {1}),
                  entry(rtIcon, id(2), 1033, {2}),
                  entry(rtIcon, id(3), 1041, {3}),
                  entry(rtGroupIcon, id(1), 1033, groupOf(1, {1, 2})),
                  entry(rtGroupIcon, ResourceId::name(u"MAIN"), 1033, groupOf(1, {2})),
                  entry(rtGroupIcon, id(1), 1041, groupOf(1, {3})),
                  entry(rtBitmap, id(5), 1033, {9, 9})};
  return tree;
}

// What the tree holds, one "type/name/language" a resource, in data order.
std::vector<std::string> listing(const ResourceTree& tree) {
  std::vector<std::string> lines;
  for (const ResourceEntry& e : tree.entries)
    lines.push_back(resourceIdText(e.type) + "/" + resourceIdText(e.name) + "/" + std::to_string(e.language));
  return lines;
}

const ResourceEntry& only(ResourceTree& tree, std::uint32_t type, const ResourceId& name, std::uint32_t language) {
  const auto found = std::ranges::find_if(tree.entries, [&](const ResourceEntry& e) {
    return e.type == id(type) && e.name == name && e.language == language;
  });
  if (found == tree.entries.end()) throw std::runtime_error("no such resource");
  return *found;
}

ByteVector twoPictureFile(std::uint16_t type) {
  IconFile file;
  file.type = type;
  file.entries.push_back({DibImage{.width = 16, .height = 16, .bitCount = 32}.bytes()});
  file.entries.push_back({testing::solidPng(32, 32, 0xFF0000FF), 32, 32, 0, 7, 9});
  return file.bytes();
}

TEST(ResourceChanges, ReplacesAGroupWithFreshPicturesAndDropsOnlyItsOwn) {
  ResourceTree tree = sampleTree();
  const ByteVector ico = twoPictureFile(1);
  std::string whyNot;
  // No name: the first in directory order, "MAIN"; its picture 2 is group 1's too and stays.
  const auto outcome = setResource(tree, ResourceKind::iconGroup, ico, {}, whyNot);
  ASSERT_TRUE(outcome) << whyNot;
  EXPECT_EQ(outcome->name, ResourceId::name(u"MAIN"));
  EXPECT_EQ(outcome->language, 1033u);
  EXPECT_FALSE(outcome->added);
  EXPECT_EQ(outcome->pictures, 2);
  EXPECT_EQ(listing(tree), (std::vector<std::string>{"3/1/1033", "3/2/1033", "3/3/1041", "14/1/1033", "3/4/1033",
                                                     "3/5/1033", "14/MAIN/1033", "14/1/1041", "2/5/1033"}));
  const ResourceEntry& group = only(tree, rtGroupIcon, ResourceId::name(u"MAIN"), 1033);
  EXPECT_EQ(pictureIdsOfGroup(group.data), (std::vector<std::uint16_t>{4, 5}));
  // Each picture is the file's image; its entry says what the file's directory says, with the true size.
  std::string reason;
  const auto pictures = readIconFilePictures(ico, reason);
  for (std::size_t n = 0; n < 2; ++n) {
    const Bytes image = pictures->pictures[n].image;
    EXPECT_EQ(only(tree, rtIcon, id(4 + n), 1033).data, ByteVector(image.begin(), image.end()));
    EXPECT_EQ(le32(group.data, 6 + 14 * n + 8), image.size());
  }
  EXPECT_EQ(le16(group.data, 6 + 14 + 4), 7);  // planes and bit count as the directory gives them
  EXPECT_EQ(le16(group.data, 6 + 14 + 6), 9);

  // Group 1 in 1033 then takes picture 1's number back, and 2 when MAIN no longer shares it.
  ASSERT_TRUE(setResource(tree, ResourceKind::iconGroup, ico, {id(1), 1033}, whyNot)) << whyNot;
  EXPECT_EQ(pictureIdsOfGroup(only(tree, rtGroupIcon, id(1), 1033).data), (std::vector<std::uint16_t>{1, 2}));
  EXPECT_EQ(tree.entries.size(), 9u);
}

TEST(ResourceChanges, ACursorGroupCarriesItsHotSpotsInItsPictures) {
  ResourceTree tree;
  const ByteVector cur = twoPictureFile(2);
  std::string whyNot;
  const auto outcome = setResource(tree, ResourceKind::cursorGroup, cur, {}, whyNot);
  ASSERT_TRUE(outcome) << whyNot;
  EXPECT_TRUE(outcome->added);
  EXPECT_EQ(outcome->name, id(1));
  EXPECT_EQ(outcome->language, 0u);
  EXPECT_EQ(listing(tree), (std::vector<std::string>{"1/1/0", "1/2/0", "12/1/0"}));
  const ResourceEntry& picture = only(tree, rtCursor, id(2), 0);
  EXPECT_EQ(le16(picture.data, 0), 7);  // hot spot x, y
  EXPECT_EQ(le16(picture.data, 2), 9);
  const ResourceEntry& group = only(tree, rtGroupCursor, id(1), 0);
  EXPECT_EQ(le16(group.data, 2), 2);
  const std::size_t second = 6 + 14;
  EXPECT_EQ(le16(group.data, second), 32);
  EXPECT_EQ(le16(group.data, second + 2), 64);  // the height doubled, as for a bitmap with its mask
  EXPECT_EQ(le16(group.data, second + 4), 1);
  EXPECT_EQ(le16(group.data, second + 6), 32);
  EXPECT_EQ(le32(group.data, second + 8), picture.data.size());  // the hot spot counted
}

TEST(ResourceChanges, AddsUnderTheLowestFreeNumberAndRefusesWhatIsThere) {
  ResourceTree tree = sampleTree();
  const ByteVector ani = testing::riff("ACON", {testing::aniHeader({})});
  std::string whyNot;
  const auto added = addResource(tree, ResourceKind::animatedIcon, ani, {}, whyNot);
  ASSERT_TRUE(added) << whyNot;
  EXPECT_EQ(only(tree, rtAniIcon, id(1), 0).data, ani);

  const auto before = listing(tree);
  EXPECT_FALSE(addResource(tree, ResourceKind::iconGroup, twoPictureFile(1), {id(1), 1041}, whyNot));
  EXPECT_EQ(whyNot, "the module has icon group 1 (language 1041) already.");
  EXPECT_EQ(listing(tree), before);

  // A set names the other languages it left alone.
  const auto set = setResource(tree, ResourceKind::iconGroup, twoPictureFile(1), {id(1), {}}, whyNot);
  ASSERT_TRUE(set);
  EXPECT_EQ(set->language, 1033u);
  EXPECT_EQ(set->notes,
            (std::vector<std::string>{"Icon group 1 has other languages too (1041), which were left as they were."}));
}

TEST(ResourceChanges, RemovesEveryLanguageWithThePicturesNoOtherGroupUses) {
  ResourceTree tree = sampleTree();
  std::string whyNot;
  const auto outcome = removeResource(tree, ResourceKind::iconGroup, {id(1), {}}, whyNot);
  ASSERT_TRUE(outcome) << whyNot;
  EXPECT_EQ(outcome->languages, (std::vector<std::uint32_t>{1033, 1041}));
  EXPECT_EQ(outcome->pictures, 2);
  EXPECT_EQ(listing(tree), (std::vector<std::string>{"3/2/1033", "14/MAIN/1033", "2/5/1033"}));

  EXPECT_FALSE(removeResource(tree, ResourceKind::bitmap, {id(6), 1033}, whyNot));
  EXPECT_EQ(whyNot, "the module has no bitmap 6 in language 1033. It has 5.");
  EXPECT_TRUE(removeResource(tree, ResourceKind::bitmap, {id(5), {}}, whyNot));
  EXPECT_EQ(listing(tree).size(), 2u);
}

TEST(ResourceChanges, ABitmapLosesItsFileHeaderAndTheGapBeforeItsPixels) {
  ByteVector bmp{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const ByteVector header = testing::BitmapHeaderSpec{.width = 1, .height = 1, .bitCount = 24}.bytes();
  bmp.insert(bmp.end(), header.begin(), header.end());
  bmp.insert(bmp.end(), {0xEE, 0xEE, 1, 2, 3, 0});  // a gap, then one padded row
  setLe32(bmp, 10, static_cast<std::uint32_t>(14 + header.size() + 2));
  ResourceTree tree;
  std::string whyNot;
  ASSERT_TRUE(setResource(tree, ResourceKind::bitmap, bmp, {}, whyNot)) << whyNot;
  ByteVector packed = header;
  packed.insert(packed.end(), {1, 2, 3, 0});
  EXPECT_EQ(only(tree, rtBitmap, id(1), 0).data, packed);
}

TEST(ResourceChanges, RefusesDamagedFilesAndSaysWhy) {
  ByteVector shortIcon = twoPictureFile(1);
  shortIcon.resize(6 + 16 + 8);
  ByteVector notAnImage = twoPictureFile(1);
  notAnImage[6 + 32] = 0x55;  // the first picture's header size
  ByteVector bmp{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0};
  const ByteVector noHeader = testing::riff("ACON", {testing::chunk("LIST", {})});
  const struct {
    ResourceKind kind;
    ByteVector file;
    std::string why;
  } cases[] = {
      {ResourceKind::iconGroup, shortIcon, "the file ends within its directory of 2 entries."},
      {ResourceKind::iconGroup, notAnImage,
       "the picture of directory entry 1 of 2 is neither a PNG image nor a bitmap."},
      {ResourceKind::iconGroup, twoPictureFile(2), "the file is a cursor file, not an icon file."},
      {ResourceKind::bitmap, bmp, "the bitmap's header is damaged or cut short (2 bytes after the file header)."},
      {ResourceKind::animatedCursor, noHeader, "the animated cursor has no complete \"anih\" header."},
      {ResourceKind::bitmap, {'M', 'Z'}, "it is no icon, cursor, animated cursor or bitmap file."},
  };
  for (const auto& c : cases) {
    ResourceTree tree = sampleTree();
    std::string whyNot;
    EXPECT_FALSE(setResource(tree, c.kind, c.file, {}, whyNot));
    EXPECT_EQ(whyNot, c.why);
    EXPECT_EQ(listing(tree), listing(sampleTree()));
  }
}

TEST(ResourceChanges, ReadsNamesAsResourceCompilersStoreThem) {
  const struct {
    std::string text;
    ResourceId id;
  } cases[] = {
      {"1", id(1)},
      {"#42", id(42)},
      {"65535", id(65535)},
      {"65536", ResourceId::name(u"65536")},
      {"mainIcon", ResourceId::name(u"MAINICON")},
      {"caf\xC3\xA9", ResourceId::name(u"CAF\u00E9")},
      {"\xFF", ResourceId::name(u"\uFFFD")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resourceIdFromText(c.text), c.id) << c.text;
    if (c.text != "\xFF") {
      EXPECT_EQ(resourceIdFromText(resourceIdText(c.id)), c.id);
    }
  }
}

}  // namespace
}  // namespace delvix::formats::pe
