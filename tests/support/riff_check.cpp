#include "support/riff_check.h"

#include <optional>
#include <vector>

#include "formats/le_bytes.h"

namespace delvix::testing {

namespace {

using formats::le32;

struct AniFacts {
  std::optional<std::uint32_t> frames, steps, flags;
  std::optional<std::vector<std::uint32_t>> rate, sequence;
  std::uint32_t iconChunks = 0;
};

std::vector<std::uint32_t> entries(std::span<const std::uint8_t> data) {
  std::vector<std::uint32_t> values;
  for (std::size_t at = 0; at + 4 <= data.size(); at += 4) values.push_back(le32(data, at));
  return values;
}

// Walks the chunks of [begin, end) and notes their problems; lists are walked into.
void walk(std::span<const std::uint8_t> file, std::size_t begin, std::size_t end, const std::string& where,
          AniFacts& ani, std::string& problems) {
  std::size_t at = begin;
  while (at < end) {
    if (end - at < 8) {
      problems += where + ": " + std::to_string(end - at) + " stray bytes at " + std::to_string(at) + "\n";
      return;
    }
    const std::string id(file.begin() + static_cast<std::ptrdiff_t>(at),
                         file.begin() + static_cast<std::ptrdiff_t>(at + 4));
    const std::uint64_t size = le32(file, at + 4);
    const std::size_t data = at + 8;
    if (size > end - data) {
      problems += where + "/" + id + ": size " + std::to_string(size) + " runs past its parent\n";
      return;
    }
    const auto bytes = file.subspan(data, static_cast<std::size_t>(size));
    if (id == "LIST" && size >= 4) {
      walk(file, data + 4, data + static_cast<std::size_t>(size),
           where + "/LIST-" + std::string(bytes.begin(), bytes.begin() + 4), ani, problems);
    } else if (id == "anih" && size >= 36) {
      ani.frames = le32(bytes, 4);
      ani.steps = le32(bytes, 8);
      ani.flags = le32(bytes, 32);
    } else if (id == "rate") {
      if (size % 4) problems += "rate: " + std::to_string(size) + " bytes is no whole number of entries\n";
      ani.rate = entries(bytes);
    } else if (id == "seq ") {
      if (size % 4) problems += "seq: " + std::to_string(size) + " bytes is no whole number of entries\n";
      ani.sequence = entries(bytes);
    } else if (id == "icon") {
      ++ani.iconChunks;
    }
    at = data + static_cast<std::size_t>(size);
    if (size % 2) {
      if (at >= end) {
        problems += where + "/" + id + ": the pad byte is missing\n";
        return;
      }
      ++at;
    }
  }
}

void checkAnimation(const AniFacts& ani, std::string& problems) {
  if (!ani.frames || !ani.steps || !ani.flags) {
    problems += "no complete anih chunk\n";
    return;
  }
  if (*ani.frames != ani.iconChunks)
    problems +=
        "anih: " + std::to_string(*ani.frames) + " frames, the list holds " + std::to_string(ani.iconChunks) + "\n";
  const bool flagged = (*ani.flags & 2) != 0;
  if (flagged != ani.sequence.has_value()) problems += "flag bit 1 does not say whether seq is there\n";
  const std::size_t wanted = ani.sequence ? *ani.steps : *ani.frames;
  if (ani.sequence && ani.sequence->size() != *ani.steps)
    problems +=
        "seq: " + std::to_string(ani.sequence->size()) + " entries for " + std::to_string(*ani.steps) + " steps\n";
  if (ani.rate && ani.rate->size() != wanted)
    problems += "rate: " + std::to_string(ani.rate->size()) + " entries, " + std::to_string(wanted) + " wanted\n";
  if (ani.sequence)
    for (std::uint32_t frame : *ani.sequence)
      if (frame >= *ani.frames) problems += "seq: frame " + std::to_string(frame) + " does not exist\n";
}

}  // namespace

std::string riffProblems(std::span<const std::uint8_t> file) {
  if (file.size() < 12) return "shorter than a RIFF header\n";
  std::string problems;
  if (le32(file, 4) != file.size() - 8)
    problems += "RIFF size " + std::to_string(le32(file, 4)) + " for a file of " + std::to_string(file.size()) + "\n";
  AniFacts ani;
  walk(file, 12, file.size(), "RIFF", ani, problems);
  if (std::string(file.begin() + 8, file.begin() + 12) == "ACON") checkAnimation(ani, problems);
  return problems;
}

}  // namespace delvix::testing
