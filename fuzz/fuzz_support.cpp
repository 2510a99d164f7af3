#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "formats/ani_reader.h"
#include "formats/ani_writer.h"
#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/module_reader.h"
#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "model/picture_entry.h"
#include "preview/thumbnail.h"

namespace delvix::fuzz {

namespace {

bool startsWith(Bytes file, std::size_t offset, const char* word) {
  const std::size_t length = std::strlen(word);
  return file.size() >= offset + length && std::memcmp(file.data() + offset, word, length) == 0;
}

struct NodeLine {
  int depth;
  const model::Node* node;
};

std::vector<NodeLine> lines(const model::Tree& tree) {
  std::vector<NodeLine> all;
  tree.forEach([&](const model::Node& node, int depth) { all.push_back({depth, &node}); });
  return all;
}

}  // namespace

model::FileKind kindOf(Bytes file) {
  if (startsWith(file, 0, "RIFF") && startsWith(file, 8, "ACON")) return model::FileKind::animatedCursor;
  if ((startsWith(file, 0, "RIFF") || startsWith(file, 0, "RIFX") || startsWith(file, 0, "RF64")) &&
      startsWith(file, 8, "WAVE"))
    return model::FileKind::wave;
  if (startsWith(file, 0, "MZ")) return model::FileKind::module;
  return model::FileKind::iconFile;
}

bool readAs(model::FileKind kind, Bytes file, model::Document& document, formats::Reporter& reporter) {
  const model::ShowSettings shown{model::state::valuesShown, model::state::valuesShown, model::state::valuesShown};
  switch (kind) {
    case model::FileKind::animatedCursor: return formats::readAnimatedCursor(file, document, shown, reporter);
    case model::FileKind::wave: return formats::readWaveFile(file, document, reporter);
    case model::FileKind::module: return formats::readModule(file, document, shown, {}, reporter);
    default: return formats::readIconFile(file, document, shown, reporter);
  }
}

formats::WrittenFile writeAsSaved(const model::Document& document) {
  switch (document.kind) {
    case model::FileKind::animatedCursor: return formats::writeAniFile(document);
    case model::FileKind::wave: return formats::writeWaveFile(document);
    default: return formats::writeIconFile(document, formats::headerKind(document));
  }
}

std::string treeDifference(const model::Tree& expected, const model::Tree& actual) {
  const auto left = lines(expected);
  const auto right = lines(actual);
  // Past the parts of the picture at `i`, when it is kept undecoded on either side.
  const auto skipParts = [](const std::vector<NodeLine>& all, std::size_t& i) {
    const int depth = all[i].depth;
    while (i + 1 < all.size() && all[i + 1].depth > depth) ++i;
  };
  std::size_t i = 0, j = 0;
  for (; i < left.size() && j < right.size(); ++i, ++j) {
    const model::Node& a = *left[i].node;
    const model::Node& b = *right[j].node;
    if (left[i].depth != right[j].depth || a.name() != b.name())
      return "node " + std::to_string(i) + ": " + a.name() + " became " + b.name();
    if (a.findChild("image_data") || b.findChild("image_data")) {
      skipParts(left, i);
      skipParts(right, j);
    }
  }
  if (i != left.size() || j != right.size())
    return std::to_string(left.size()) + " nodes became " + std::to_string(right.size());
  return {};
}

void keepSaved(Bytes bytes) {
  if (const char* path = std::getenv("DELVIX_FUZZ_SAVED"))
    if (std::FILE* out = std::fopen(path, "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
}

std::string pictureDifference(const model::Document& written, const model::Document& read) {
  if (written.pictures.size() != read.pictures.size())
    return std::to_string(written.pictures.size()) + " pictures read back as " + std::to_string(read.pictures.size());
  for (std::size_t i = 0; i < written.pictures.size(); ++i)
    if (!written.pictures[i].placeholder && !read.pictures[i].placeholder &&
        preview::makeThumbnail(written, static_cast<int>(i)).pixels() !=
            preview::makeThumbnail(read, static_cast<int>(i)).pixels())
      return "picture " + std::to_string(i + 1) + " reads back with other pixels";
  return {};
}

bool sameAnimation(const model::Document& written, const model::Document& read) {
  const model::Node* riff = written.tree.findFirst("RIFF_ACON");
  if (riff && riff->findChild("sequence") && written.ani.sequence != read.ani.sequence) return false;
  // The writer writes one rate a step: entries the table lacks take the display rate, extra ones are left out.
  const auto& rates = written.ani.rates;
  const auto& back = read.ani.rates;
  if (!riff || !riff->findChild("time")) return back.empty();
  if (back.size() != read.ani.sequence.size()) return false;
  for (std::size_t step = 0; step < back.size(); ++step)
    if (back[step] != (step < rates.size() ? rates[step] : written.ani.header.displayRate)) return false;
  return true;
}

std::size_t undecodedPictures(const model::Tree& tree) {
  std::size_t count = 0;
  tree.forEach([&count](const model::Node& node, int) { count += node.name() == "image_data"; });
  return count;
}

std::string stepsAndRates(const model::AniState& ani) {
  return std::to_string(ani.sequence.size()) + " steps and " + std::to_string(ani.rates.size()) + " rates";
}

void printTree(const model::Tree& tree) {
  tree.forEach(
      [](const model::Node& node, int depth) { std::fprintf(stderr, "%*s%s\n", 2 * depth, "", node.name().c_str()); });
}

void fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

}  // namespace delvix::fuzz
