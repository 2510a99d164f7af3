// Writes the pe_fuzzer seeds with the test suite's module builder:
//   g++ -std=c++20 -I src -I tests fuzz/make_pe_seeds.cpp tests/support/pe_builder.cpp tests/support/icon_builder.cpp \
//       build/src/libdelvix_core.a -lpng -lz -o make_pe_seeds && ./make_pe_seeds fuzz/corpus/pe
#include <fstream>

#include "formats/pe/resource_directory.h"
#include "support/pe_builder.h"
using namespace delvix;
using namespace delvix::testing;
static void save(const char* path, const ByteVector& b) {
  std::ofstream(path, std::ios::binary).write((const char*)b.data(), (std::streamsize)b.size());
}
int main(int, char** argv) {
  std::string dir = argv[1];
  DibImage icon;
  icon.width = icon.height = 4;
  icon.bitCount = 4;
  icon.palette = {0xFF0000, 0x00FF00};
  ByteVector image = icon.bytes();
  PeBuilder b;
  b.add(formats::pe::rtIcon, std::uint32_t{1}, image);
  b.add(formats::pe::rtGroupIcon, std::string("APP"), groupResource(1, {{4, 4, 1, 4, (std::uint32_t)image.size(), 1}}));
  b.add(formats::pe::rtCursor, std::uint32_t{2}, cursorResource(1, 1, image));
  b.add(formats::pe::rtGroupCursor, std::uint32_t{1}, groupResource(2, {{4, 8, 1, 4, 0, 2}}));
  b.add(formats::pe::rtBitmap, std::uint32_t{1},
        bitmapResource(4, 2, 8, 1, 2, {0, 0, 0, 0, 0, 0, 255, 0, 4, 1, 0, 0, 2, 1, 0, 1}));
  b.add(formats::pe::rtBitmap, std::uint32_t{2}, bitmapResource(2, 2, 24, 0, 0, ByteVector(16, 0x80)));
  BuiltPe pe64 = b.build();
  save((dir + "/icon-cursor-bitmaps-pe32plus.dll").c_str(), pe64.bytes);
  b.pe32Plus = false;
  save((dir + "/icon-cursor-bitmaps-pe32.dll").c_str(), b.build().bytes);

  // 12 icon groups of two images: a sixth find a good image, a sixth a damaged one, a third have their
  // language directory outside the file and a third claim 65 535 languages.
  PeBuilder many;
  std::vector<std::size_t> groups;
  for (std::uint16_t i = 0; i < 12; ++i) {
    const auto id = static_cast<std::uint16_t>(1 + 2 * i);
    many.add(formats::pe::rtGroupIcon, std::uint32_t{i + 1u},
             groupResource(1, {{4, 4, 1, 4, 0, id}, {4, 4, 1, 4, 0, static_cast<std::uint16_t>(id + 1)}}));
    groups.push_back(many.resources.size() - 1);
    if (i % 3 == 0) many.add(formats::pe::rtIcon, std::uint32_t{id}, i % 6 == 0 ? image : ByteVector(10, 1));
  }
  BuiltPe damaged = many.build();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    if (i % 3 == 1) damaged.setLe32(damaged.nameEntry[groups[i]] + 4, 0x81000000u + static_cast<std::uint32_t>(i));
    if (i % 3 == 2) damaged.setLe16(damaged.languageDirectory[groups[i]] + 14, 0xFFFF);
  }
  save((dir + "/damaged-groups.dll").c_str(), damaged.bytes);

  // 24 icon group names that all lead to one group of 24 entries: more than the module can hold.
  PeBuilder shared;
  shared.add(formats::pe::rtIcon, std::uint32_t{1}, image);
  shared.add(formats::pe::rtGroupIcon, std::uint32_t{1},
             groupResource(1, std::vector<GroupEntry>(24, {4, 4, 1, 4, static_cast<std::uint32_t>(image.size()), 1})));
  for (std::uint32_t id = 2; id <= 24; ++id) shared.add(formats::pe::rtGroupIcon, id, {});
  BuiltPe sharing = shared.build();
  const auto group = static_cast<std::uint32_t>(sharing.languageDirectory[1] - sharing.resourceStart);
  for (std::size_t r = 2; r <= 24; ++r) sharing.setLe32(sharing.nameEntry[r] + 4, 0x80000000u | group);
  save((dir + "/shared-group.dll").c_str(), sharing.bytes);
}
