// Shows that reading, walking and looking up every picture grow in proportion to the file: an icon
// file of 6 553 and of 65 535 pictures, and a module of 1 800 and of 18 000 mostly damaged icon groups,
// each timed (fastest of several rounds) at both sizes and as ten copies of the small one.
// Linear work gives a ratio near 10 for 10 times the pictures (more where the small tree fits in the
// caches and the large one does not) and near 1 against the ten copies; quadratic work near 100 and 10.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/ico_reader.h"
#include "formats/module_reader.h"
#include "formats/one_image_writer.h"
#include "formats/pe/resource_directory.h"
#include "support/pe_builder.h"

using namespace delvix;
using testing::ByteVector;
using testing::DibImage;

namespace {

constexpr int rounds = 5;

// A directory of `pictures` entries that all point at one small image after it.
ByteVector iconFile(int pictures) {
  const ByteVector image = DibImage{.width = 1, .height = 1, .bitCount = 1}.bytes();
  ByteVector out;
  testing::appendLe16(out, 0);
  testing::appendLe16(out, 1);
  testing::appendLe16(out, static_cast<std::uint16_t>(pictures));
  const auto offset = static_cast<std::uint32_t>(6 + 16 * pictures);
  for (int i = 0; i < pictures; ++i) {
    out.insert(out.end(), {1, 1, 2, 0});
    testing::appendLe16(out, 1);
    testing::appendLe16(out, 1);
    testing::appendLe32(out, static_cast<std::uint32_t>(image.size()));
    testing::appendLe32(out, offset);
  }
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

// `groups` icon groups of two images: a third find their images (half of them damaged), a third lead
// to a language directory outside the file, a third to one that claims 65 535 languages.
ByteVector module(int groups) {
  const ByteVector image = DibImage{.width = 4, .height = 4, .bitCount = 4, .palette = {0xFF0000}}.bytes();
  testing::PeBuilder builder;
  std::vector<std::size_t> groupResources;
  for (int i = 0; i < groups; ++i) {
    const auto id = static_cast<std::uint16_t>(1 + 2 * i % 60000);
    builder.add(formats::pe::rtGroupIcon, static_cast<std::uint32_t>(i + 1),
                testing::groupResource(1, {{4, 4, 1, 4, 0, id}, {4, 4, 1, 4, 0, static_cast<std::uint16_t>(id + 1)}}));
    groupResources.push_back(builder.resources.size() - 1);
    if (i % 3 == 0) builder.add(formats::pe::rtIcon, std::uint32_t{id}, i % 6 == 0 ? image : ByteVector(10, 1));
  }
  testing::BuiltPe pe = builder.build();
  for (int i = 0; i < groups; ++i) {
    const std::size_t r = groupResources[static_cast<std::size_t>(i)];
    if (i % 3 == 1) pe.setLe32(pe.nameEntry[r] + 4, 0x80000000u | (0x01000000u + static_cast<std::uint32_t>(i)));
    if (i % 3 == 2) pe.setLe16(pe.languageDirectory[r] + 14, 0xFFFF);
  }
  return pe.bytes;
}

double fastestMs(const std::function<void()>& work) {
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

struct Figures {
  double read = 0, walk = 0, lookups = 0;
  std::size_t nodes = 0;
  int pictures = 0;
};

using Reader = std::function<void(const ByteVector&, model::Document&)>;
using Documents = std::vector<std::unique_ptr<model::Document>>;

Documents readCopies(const ByteVector& file, const Reader& read, int copies) {
  Documents documents;
  for (int copy = 0; copy < copies; ++copy) {
    documents.push_back(std::make_unique<model::Document>());
    read(file, *documents.back());
  }
  return documents;
}

// Reads `copies` documents of `file` and keeps them, then walks them all and looks up all their pictures.
Figures measure(const ByteVector& file, const Reader& read, int copies) {
  Figures figures;
  figures.read = fastestMs([&] { readCopies(file, read, copies); });
  const Documents documents = readCopies(file, read, copies);
  for (const auto& document : documents) figures.pictures += document->imageCount;
  // Every node in display order, forwards and back.
  figures.walk = fastestMs([&] {
    std::size_t nodes = 0;
    for (const auto& document : documents) {
      const model::Tree& tree = document->tree;
      for (const model::Node* node = tree.first(); node; node = tree.next(*node)) ++nodes;
      for (const model::Node* node = tree.last(); node; node = tree.previous(*node)) ++nodes;
    }
    figures.nodes = nodes / 2;
  });
  // What saving every picture does: find it by number, then its directory entry.
  figures.lookups = fastestMs([&] {
    for (const auto& document : documents)
      for (int index = 0; index < document->imageCount; ++index)
        if (const model::Node* picture = formats::findPicture(*document, index))
          formats::writeOneImage(*document, *picture, formats::IconKind::icon);
  });
  return figures;
}

void print(const char* what, const char* shape, const Figures& f) {
  std::printf("%-11s %-16s %6d pictures %7zu nodes: read %7.1f ms, walk %6.2f ms, look up every picture %6.1f ms\n",
              what, shape, f.pictures, f.nodes, f.read, f.walk, f.lookups);
}

// The large file against the small one, and against ten documents of the small one: those hold as many
// nodes, so the second ratio leaves out what the caches do and is near 1 when every step costs the same.
void compare(const char* what, const ByteVector& small, const ByteVector& large, const Reader& read) {
  const Figures one = measure(small, read, 1);
  const Figures ten = measure(small, read, 10);
  const Figures big = measure(large, read, 1);
  print(what, "one small file", one);
  print(what, "ten small files", ten);
  print(what, "one large file", big);
  std::printf("%-11s large / small:     read %5.1f, walk %5.1f, look up %5.1f  (%.1fx the pictures)\n", what,
              big.read / one.read, big.walk / one.walk, big.lookups / one.lookups,
              static_cast<double>(big.pictures) / one.pictures);
  std::printf("%-11s large / ten small: read %5.2f, walk %5.2f, look up %5.2f  (1 = linear)\n\n", what,
              big.read / ten.read, big.walk / ten.walk, big.lookups / ten.lookups);
}

}  // namespace

int main() {
  formats::RecordingReporter reporter;
  const Reader readIcon = [&](const ByteVector& file, model::Document& document) {
    reporter.lines.clear();
    formats::readIconFile(file, document, {}, reporter);
  };
  const Reader readModule = [&](const ByteVector& file, model::Document& document) {
    reporter.lines.clear();
    formats::readModule(file, document, {}, {}, reporter);
  };
  compare("icon file", iconFile(6553), iconFile(65535), readIcon);
  compare("module", module(1800), module(18000), readModule);
}
