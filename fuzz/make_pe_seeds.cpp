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
}
