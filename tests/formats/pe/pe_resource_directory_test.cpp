#include <gtest/gtest.h>

#include "formats/pe/pe_image.h"
#include "formats/pe/resource_counts.h"
#include "formats/pe/resource_directory.h"
#include "support/pe_builder.h"

namespace delvix::formats::pe {
namespace {

using testing::BuiltPe;
using testing::ByteVector;
using testing::PeBuilder;

BuiltPe sampleModule(bool pe32Plus) {
  PeBuilder builder;
  builder.pe32Plus = pe32Plus;
  builder.add(rtGroupIcon, std::uint32_t{7}, {1, 2, 3})
      .add(rtGroupIcon, std::string("MAINICON"), {4, 5})
      .add(rtGroupIcon, std::string("Caf\xC3\xA9"), {6})
      .add(rtGroupIcon, std::uint32_t{7}, {9, 9}, 0x407)
      .add(rtBitmap, std::uint32_t{200}, {8});
  return builder.build();
}

TEST(PeResourceDirectory, ListsNamesInStoredOrderAndFindsTheFirstLanguage) {
  for (bool pe32Plus : {true, false}) {
    BuiltPe pe = sampleModule(pe32Plus);
    auto image = PeImage::parse(pe.bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->is64Bit(), pe32Plus);
    auto directory = ResourceDirectory::open(*image);
    ASSERT_TRUE(directory);

    std::vector<model::ResourceName> expected{std::string("MAINICON"), std::string("Caf\xC3\xA9"), std::uint32_t{7}};
    EXPECT_EQ(directory->names(rtGroupIcon), expected);
    EXPECT_TRUE(directory->names(rtGroupCursor).empty());

    ResourceData first = directory->find(rtGroupIcon, std::uint32_t{7});
    ASSERT_EQ(first.status, LookupStatus::found);
    EXPECT_EQ(ByteVector(first.bytes.begin(), first.bytes.end()), (ByteVector{1, 2, 3}));
    ResourceData named = directory->find(rtGroupIcon, std::string("mainicon"));
    ASSERT_EQ(named.status, LookupStatus::found);
    EXPECT_EQ(named.bytes.size(), 2u);
    EXPECT_EQ(directory->find(rtGroupIcon, std::uint32_t{8}).status, LookupStatus::notFound);
    EXPECT_EQ(directory->find(rtIcon, std::uint32_t{7}).status, LookupStatus::notFound);
  }
}

TEST(PeResourceDirectory, CountsGroupsAndBitmaps) {
  auto counts = countResources(sampleModule(true).bytes);
  ASSERT_TRUE(counts);
  EXPECT_EQ(counts->iconGroups, 3u);  // 0x407 after 0x409 is out of order
  EXPECT_EQ(counts->cursorGroups, 0u);
  EXPECT_EQ(counts->bitmaps, 1u);
}

TEST(PeResourceDirectory, RefusesWhatIsNotAModuleWithResources) {
  ByteVector notModule(512, 0);
  EXPECT_FALSE(PeImage::parse(notModule));
  notModule[0] = 'M';
  notModule[1] = 'Z';
  notModule[0x3C] = 0xF0;  // e_lfanew past the end
  notModule[0x3D] = 0xFF;
  EXPECT_FALSE(PeImage::parse(notModule));

  BuiltPe pe = sampleModule(true);
  ByteVector badMagic = pe.bytes;
  badMagic[0x40 + 24] = 0x07;
  EXPECT_FALSE(PeImage::parse(badMagic));

  PeBuilder empty;
  auto image = PeImage::parse(empty.build().bytes);
  ASSERT_TRUE(image);
  BuiltPe noDirectory = empty.build();
  noDirectory.setLe32(0x40 + 24 + 112 + 16, 0);  // resource directory RVA
  auto withoutResources = PeImage::parse(noDirectory.bytes);
  ASSERT_TRUE(withoutResources);
  EXPECT_FALSE(ResourceDirectory::open(*withoutResources));
  auto counts = countResources(noDirectory.bytes);
  ASSERT_TRUE(counts);
  EXPECT_EQ(counts->iconGroups + counts->cursorGroups + counts->bitmaps, 0u);
}

TEST(PeResourceDirectory, StopsAtLoopsAndDeepTrees) {
  BuiltPe pe = sampleModule(true);
  // The numeric name 7 leads back to the type directory of RT_GROUP_ICON.
  const std::uint32_t typeDirectory = static_cast<std::uint32_t>(pe.typeDirectory[rtGroupIcon] - pe.resourceStart);
  pe.setLe32(pe.nameEntry[0] + 4, 0x80000000u | typeDirectory);
  // MAINICON's language entry leads to a directory instead of data.
  pe.setLe32(pe.languageDirectory[1] + 16 + 4, 0x80000000u);
  auto image = PeImage::parse(pe.bytes);
  auto directory = ResourceDirectory::open(*image);
  ASSERT_TRUE(directory);
  EXPECT_EQ(directory->find(rtGroupIcon, std::uint32_t{7}).status, LookupStatus::notFound);
  EXPECT_EQ(directory->find(rtGroupIcon, std::string("MAINICON")).status, LookupStatus::unloadable);
  EXPECT_EQ(directory->find(rtGroupIcon, std::string("Caf\xC3\xA9")).status, LookupStatus::found);
  EXPECT_FALSE(directory->warnings().empty());
}

TEST(PeResourceDirectory, CapsEntryCountsToWhatTheFileHolds) {
  BuiltPe pe = sampleModule(true);
  pe.setLe16(pe.typeDirectory[rtGroupIcon] + 14, 0xFFFF);  // numeric entries of RT_GROUP_ICON
  pe.bytes.resize(pe.typeDirectory[rtGroupIcon] + 16 + 8 * 40);
  auto image = PeImage::parse(pe.bytes);
  auto directory = ResourceDirectory::open(*image);
  ASSERT_TRUE(directory);
  EXPECT_LE(directory->names(rtGroupIcon).size(), 40u + 2u);
  EXPECT_FALSE(directory->warnings().empty());
}

TEST(PeResourceDirectory, ListsAndFindsEveryLanguageUpToOneOutOfOrder) {
  PeBuilder builder;
  builder.add(rtGroupIcon, std::uint32_t{7}, {1}, 0x407).add(rtGroupIcon, std::uint32_t{7}, {2}, 0x409);
  builder.add(rtGroupIcon, std::uint32_t{7}, {3}, 0x411).add(rtGroupIcon, std::uint32_t{7}, {4}, 0x409);
  builder.add(rtGroupIcon, std::uint32_t{7}, {5}, 0x40C);
  BuiltPe pe = builder.build();
  auto image = PeImage::parse(pe.bytes);
  auto directory = ResourceDirectory::open(*image);
  ASSERT_TRUE(directory);
  const std::vector<pe::ResourceLanguage> languages = directory->languages(rtGroupIcon, std::uint32_t{7});
  ASSERT_EQ(languages.size(), 3u);  // the second 0x409 ends the list
  EXPECT_FALSE(directory->warnings().empty());
  const std::vector<std::pair<pe::ResourceLanguage, std::uint8_t>> cases{
      {{0x407, true}, 1}, {{0x409, false}, 2}, {{0x411, false}, 3}, {{std::nullopt, true}, 1}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& [language, byte] = cases[i];
    if (i < languages.size()) {
      EXPECT_EQ(languages[i].id, language.id);
    }
    ResourceData data = directory->find(rtGroupIcon, std::uint32_t{7}, language);
    ASSERT_EQ(data.status, LookupStatus::found);
    EXPECT_EQ(data.bytes[0], byte);
  }
  EXPECT_EQ(directory->find(rtGroupIcon, std::uint32_t{7}, {0x40C, false}).status, LookupStatus::notFound);
}

TEST(PeResourceDirectory, LanguagesSharedByManyNamesListNoMoreThanTheFileHolds) {
  PeBuilder builder;
  for (std::uint32_t name = 1; name <= 100; ++name) builder.add(rtBitmap, name, {1});
  for (std::uint16_t language = 1; language <= 300; ++language)
    builder.add(rtBitmap, std::uint32_t{101}, {1}, language);
  BuiltPe pe = builder.build();
  // Every name leads to the language directory of the last one.
  for (std::size_t name = 0; name < 100; ++name)
    pe.setLe32(pe.nameEntry[name] + 4,
               0x80000000u | static_cast<std::uint32_t>(pe.languageDirectory.back() - pe.resourceStart));
  auto counts = countResources(pe.bytes);
  ASSERT_TRUE(counts);
  EXPECT_GE(counts->bitmaps, 300u);
  EXPECT_LE(counts->bitmaps, pe.bytes.size() / 8 + 101);
}

TEST(PeResourceDirectory, BadRvasAndTruncationGiveWhatCanBeRead) {
  BuiltPe pe = sampleModule(true);
  pe.setLe32(pe.dataEntry[0], 0x00F00000);  // data of group 7 outside every section
  pe.setLe32(pe.dataEntry[1], 0xFFFFFFF0);
  pe.setLe32(pe.dataEntry[1] + 4, 0xFFFFFFFF);
  auto image = PeImage::parse(pe.bytes);
  auto directory = ResourceDirectory::open(*image);
  EXPECT_EQ(directory->find(rtGroupIcon, std::uint32_t{7}).status, LookupStatus::unloadable);
  EXPECT_EQ(directory->find(rtGroupIcon, std::string("MAINICON")).status, LookupStatus::unloadable);

  // Cut inside the first data: the directory and names are still there, the data is cut short.
  BuiltPe cut = sampleModule(true);
  cut.bytes.resize(cut.data[0] + 2);
  auto cutImage = PeImage::parse(cut.bytes);
  auto cutDirectory = ResourceDirectory::open(*cutImage);
  ASSERT_TRUE(cutDirectory);
  EXPECT_EQ(cutDirectory->names(rtGroupIcon).size(), 3u);
  ResourceData shortData = cutDirectory->find(rtGroupIcon, std::uint32_t{7});
  EXPECT_EQ(shortData.status, LookupStatus::found);
  EXPECT_EQ(shortData.bytes.size(), 2u);
  EXPECT_EQ(shortData.declaredSize, 3u);
  EXPECT_EQ(cutDirectory->find(rtBitmap, std::uint32_t{200}).status, LookupStatus::unloadable);

  for (std::size_t size = 0; size < cut.bytes.size(); size += 7) {
    ByteVector prefix(cut.bytes.begin(), cut.bytes.begin() + static_cast<std::ptrdiff_t>(size));
    if (auto anyImage = PeImage::parse(prefix))
      if (auto anyDirectory = ResourceDirectory::open(*anyImage)) anyDirectory->find(rtGroupIcon, std::uint32_t{7});
  }
}

}  // namespace
}  // namespace delvix::formats::pe
