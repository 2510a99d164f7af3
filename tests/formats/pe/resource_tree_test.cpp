#include "formats/pe/resource_tree.h"

#include <gtest/gtest.h>

#include "formats/pe/module_rewriter.h"
#include "support/pe_builder.h"

namespace delvix::formats::pe {
namespace {

using testing::BuiltPe;
using testing::PeBuilder;

std::optional<ResourceTree> treeOf(const std::vector<std::uint8_t>& bytes, std::string& whyNot) {
  auto image = PeImage::parse(Bytes(bytes));
  if (!image) return std::nullopt;
  return readResourceTree(*image, whyNot);
}

BuiltPe sample() {
  return PeBuilder{}.add(3, 1u, {1, 2, 3}).add(14, std::string("MAIN"), {4, 5}).add(14, 7u, {6}, 0x407).build();
}

TEST(ResourceTree, ReadsEveryEntryInDataOrder) {
  std::string why;
  auto tree = treeOf(sample().bytes, why);
  ASSERT_TRUE(tree) << why;
  ASSERT_EQ(tree->entries.size(), 3u);
  EXPECT_EQ(tree->entries[0].type, ResourceId::number(3));
  EXPECT_EQ(tree->entries[1].name, ResourceId::name(u"MAIN"));
  EXPECT_EQ(tree->entries[2].language, 0x407u);
  EXPECT_EQ(tree->entries[2].data, std::vector<std::uint8_t>{6});
  EXPECT_EQ(tree->names(ResourceId::number(14)),
            (std::vector<ResourceId>{ResourceId::name(u"MAIN"), ResourceId::number(7)}));
}

TEST(ResourceTree, DamagedDirectoriesAreRefusedSayingWhereAndWhat) {
  struct Case {
    const char* what;
    void (*damage)(BuiltPe&);
    const char* message;
  };
  const Case cases[] = {
      {"loop", [](BuiltPe& pe) { pe.setLe32(pe.nameEntry[0] + 4, 0x80000000u); }, "reached a second time"},
      {"count", [](BuiltPe& pe) { pe.setLe16(pe.resourceStart + 14, 0xFFFF); }, "run past the end"},
      {"data rva", [](BuiltPe& pe) { pe.setLe32(pe.dataEntry[0], 0x7FFFFF00u); }, "are not all stored"},
      {"data size", [](BuiltPe& pe) { pe.setLe32(pe.dataEntry[0] + 4, 0xFFFFFFF0u); }, "more bytes together"},
      {"name", [](BuiltPe& pe) { pe.setLe32(pe.nameEntry[1], 0x80FFFFF0u); }, "resource name at offset 0xFFFFF0"},
      {"data as type", [](BuiltPe& pe) { pe.setLe32(pe.resourceStart + 20, 0x10); }, "leads to data"},
      {"fourth level", [](BuiltPe& pe) { pe.setLe32(pe.languageDirectory[0] + 20, 0x80000000u | 0x18); },
       "fourth level"},
      {"named language", [](BuiltPe& pe) { pe.setLe32(pe.languageDirectory[0] + 16, 0x80000010u); },
       "where a language number belongs"},
  };
  for (const Case& c : cases) {
    BuiltPe pe = sample();
    c.damage(pe);
    std::string why;
    EXPECT_FALSE(treeOf(pe.bytes, why)) << c.what;
    EXPECT_NE(why.find(c.message), std::string::npos) << c.what << ": " << why;
  }
}

TEST(ResourceTree, LayoutSortsNamesFirstThenIdsAndLanguagesAscending) {
  ResourceTree tree;
  auto entry = [](ResourceId type, ResourceId name, std::uint32_t language, std::uint8_t byte) {
    return ResourceEntry{std::move(type), std::move(name), language, 0, 0, {byte}};
  };
  tree.entries = {entry(ResourceId::number(14), ResourceId::number(9), 0x409, 1),
                  entry(ResourceId::number(3), ResourceId::number(2), 0, 2),
                  entry(ResourceId::number(14), ResourceId::name(u"B"), 0, 3),
                  entry(ResourceId::number(14), ResourceId::number(9), 0x407, 4),
                  entry(ResourceId::number(14), ResourceId::name(u"A"), 0, 5),
                  entry(ResourceId::name(u"DATA"), ResourceId::number(1), 0, 6)};
  const std::vector<std::uint8_t> section = layoutResourceSection(tree, 0x5000);
  auto u32 = [&](std::size_t at) {
    return std::uint32_t{section[at]} | (std::uint32_t{section[at + 1]} << 8) | (std::uint32_t{section[at + 2]} << 16) |
           (std::uint32_t{section[at + 3]} << 24);
  };
  auto text = [&](std::uint32_t field) {  // a name entry's string
    const std::size_t at = field & 0x7FFFFFFF;
    std::string name;  // the test's names are ASCII
    for (std::size_t i = 0; i < section[at]; ++i) name += static_cast<char>(section[at + 2 + 2 * i]);
    return name;
  };
  // The ids (a name's string as the ids' text) and targets of the directory at `at`.
  auto listing = [&](std::size_t at) {
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    const std::size_t count = section[at + 12] + section[at + 14];
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t field = u32(at + 16 + 8 * i);
      entries.emplace_back(field & 0x80000000u ? text(field) : "#" + std::to_string(field),
                           u32(at + 20 + 8 * i) & 0x7FFFFFFF);
    }
    return entries;
  };
  auto ids = [&](std::size_t at) {
    std::vector<std::string> result;
    for (const auto& entry : listing(at)) result.push_back(entry.first);
    return result;
  };
  const auto root = listing(0);
  EXPECT_EQ(ids(0), (std::vector<std::string>{"DATA", "#3", "#14"}));
  EXPECT_EQ(ids(root[2].second), (std::vector<std::string>{"A", "B", "#9"}));
  const auto languages = listing(listing(root[2].second)[2].second);
  ASSERT_EQ(languages.size(), 2u);
  // Languages ascending: 0x407 before 0x409; the data keeps the tree's order (1 before 4).
  const std::uint32_t first = languages[0].second, second = languages[1].second;
  EXPECT_EQ(section[u32(first) - 0x5000], 4);
  EXPECT_EQ(section[u32(second) - 0x5000], 1);
  EXPECT_LT(u32(second), u32(first));
  for (std::uint32_t entry : {first, second}) EXPECT_EQ(u32(entry) % 8, 0u) << "data aligned to 8";
}

}  // namespace
}  // namespace delvix::formats::pe
