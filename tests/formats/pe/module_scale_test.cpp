// Modules of the shapes fuzzing makes: tens of thousands of groups, most of them damaged, and resources
// that many names share. What reading them costs and keeps stays in proportion to the file.
#include <gtest/gtest.h>

#include <algorithm>

#include "formats/module_reader.h"
#include "formats/one_image_writer.h"
#include "formats/pe/resource_directory.h"
#include "model/picture_index.h"
#include "support/pe_builder.h"

namespace delvix::formats {
namespace {

using testing::BuiltPe;
using testing::ByteVector;
using testing::DibImage;
using testing::GroupEntry;
using testing::groupResource;
using testing::PeBuilder;

struct Read {
  model::Document document;
  RecordingReporter reporter;
  bool ok = false;
  explicit Read(const ByteVector& bytes) { ok = readModule(bytes, document, {}, {}, reporter); }

  std::size_t linesWith(std::string_view part) const {
    return static_cast<std::size_t>(std::count_if(reporter.lines.begin(), reporter.lines.end(),
                                                  [&](const auto& l) { return l.find(part) != std::string::npos; }));
  }
  std::uint64_t bytesHeld() const {
    std::uint64_t held = 0;
    document.tree.forEach([&](const model::Node& node, int) { held += node.block().size(); });
    return held;
  }
};

void expectPicturesInStep(const model::Document& document) {
  ASSERT_EQ(document.pictures.size(), static_cast<std::size_t>(document.imageCount));
  for (int index = 0; index < document.imageCount; ++index) {
    const model::Node* picture = findPicture(document, index);
    ASSERT_NE(picture, nullptr) << index;
    ASSERT_EQ(picture->name(), model::pictureName(index + 1));
  }
}

// 18 000 icon groups of two images each: a third find their images, a third lead to a language directory
// outside the file, a third to one that claims 65 535 languages.
TEST(ModuleScale, EighteenThousandMostlyDamagedGroupsAreReadAndEveryPictureFound) {
  constexpr std::uint32_t groups = 18000;
  DibImage icon{.width = 4, .height = 4, .bitCount = 4, .palette = {0xFF0000}};
  const ByteVector image = icon.bytes();
  PeBuilder builder;
  std::vector<std::size_t> groupResources;
  for (std::uint32_t i = 0; i < groups; ++i) {
    const auto id = static_cast<std::uint16_t>(1 + 2 * i % 60000);
    builder.add(pe::rtGroupIcon, i + 1,
                groupResource(1, {{4, 4, 1, 4, 0, id}, {4, 4, 1, 4, 0, static_cast<std::uint16_t>(id + 1)}}));
    groupResources.push_back(builder.resources.size() - 1);
    if (i % 3 == 0) builder.add(pe::rtIcon, std::uint32_t{id}, i % 6 == 0 ? image : ByteVector(10, 1));
  }
  BuiltPe pe = builder.build();
  for (std::uint32_t i = 0; i < groups; ++i) {
    const std::size_t r = groupResources[i];
    if (i % 3 == 1) pe.setLe32(pe.nameEntry[r] + 4, 0x80000000u | (0x01000000u + i));
    if (i % 3 == 2) pe.setLe16(pe.languageDirectory[r] + 14, 0xFFFF);
  }

  Read r(pe.bytes);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.document.tree.topLevelCount(), groups);
  EXPECT_EQ(r.linesWith("is not in the file"), groups / 3);
  expectPicturesInStep(r.document);
  EXPECT_TRUE(writeOneImage(r.document, *findPicture(r.document, 0), IconKind::icon).complete);
}

// A module whose `names` resources of `type` all lead to the first one's data.
BuiltPe sharedResource(std::uint32_t type, const ByteVector& data, std::uint32_t names) {
  PeBuilder builder;
  builder.add(type, std::uint32_t{1}, data);
  for (std::uint32_t id = 2; id <= names; ++id) builder.add(type, id, {});
  builder.add(pe::rtIcon, std::uint32_t{1}, DibImage{.width = 1, .height = 1, .bitCount = 1}.bytes());
  BuiltPe pe = builder.build();
  const auto shared = static_cast<std::uint32_t>(pe.languageDirectory[0] - pe.resourceStart);
  for (std::uint32_t r = 1; r < names; ++r) pe.setLe32(pe.nameEntry[r] + 4, 0x80000000u | shared);
  return pe;
}

TEST(ModuleScale, ResourcesSharedByManyNamesCannotMultiplyWhatTheModuleHolds) {
  // 600 group names lead to one group of 600 entries: no more pictures than the module has bytes for.
  BuiltPe groups =
      sharedResource(pe::rtGroupIcon, groupResource(1, std::vector<GroupEntry>(600, {1, 1, 1, 1, 0, 1})), 600);
  Read icons(groups.bytes);
  EXPECT_LE(static_cast<std::size_t>(icons.document.imageCount), groups.bytes.size() / 14);
  EXPECT_GT(icons.linesWith("images are listed; the module's groups list more images than it holds."), 0u);
  expectPicturesInStep(icons.document);

  // 600 bitmap names lead to one 256 x 256 true-colour bitmap: the rows are copied while the module could hold them.
  BuiltPe bitmap =
      sharedResource(pe::rtBitmap, testing::bitmapResource(256, 256, 32, 0, 0, ByteVector(4 * 256 * 256)), 600);
  Read bitmaps(bitmap.bytes);
  EXPECT_TRUE(bitmaps.reporter.logged("Bitmaps. 600: not read; the module asks for more image data than it holds."));
  EXPECT_LE(bitmaps.bytesHeld(), (std::uint64_t{1} << 24) + 17 * bitmap.bytes.size());
  expectPicturesInStep(bitmaps.document);

  // 600 names are one string of 20 000 characters: the names read are no longer together than the file.
  PeBuilder named;
  named.add(pe::rtGroupCursor, std::string(20000, 'N'), {});
  for (int i = 1; i < 600; ++i) named.add(pe::rtGroupCursor, "C" + std::to_string(i), {});
  BuiltPe sharedName = named.build();
  for (std::size_t r = 1; r < 600; ++r)
    std::copy_n(sharedName.bytes.begin() + static_cast<std::ptrdiff_t>(sharedName.nameEntry[0]), 4,
                sharedName.bytes.begin() + static_cast<std::ptrdiff_t>(sharedName.nameEntry[r]));
  Read cursors(sharedName.bytes);
  EXPECT_TRUE(
      cursors.reporter.logged("The resource names are longer together than the file; the later names are not read."));
  EXPECT_LE(cursors.document.tree.topLevelCount(), sharedName.bytes.size() / 20000);
}

}  // namespace
}  // namespace delvix::formats
