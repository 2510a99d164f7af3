#include <algorithm>
#include <limits>

#include "fieldview/apply.h"
#include "formats/ani_writer.h"
#include "formats/riff/riff_navigator.h"
#include "formats/riff/riff_writer.h"
#include "formats/wav_writer.h"

// The sizes an animated cursor or a wave file keeps beside its tree, worked out from what a save writes.
namespace delvix::fieldview {

namespace {

using formats::riff::fourccFromString;

std::uint32_t clampedToU32(std::uint64_t value) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

// The size field of a top-level list of a written RIFF file; 0 without one.
std::uint32_t listSizeIn(std::span<const std::uint8_t> file, const char* type) {
  formats::riff::Navigator navigator(file);
  formats::riff::Chunk form, list;
  if (navigator.descendRiff(form) != formats::riff::code::ok) return 0;
  if (navigator.descendList(list, form, fourccFromString(type)) != formats::riff::code::ok) return 0;
  return list.declaredSize;
}

// A top-level chunk's size with its 8-byte header in a written RIFF file; 0 without one.
std::uint32_t chunkSizeIn(std::span<const std::uint8_t> file, const char* id) {
  formats::riff::Navigator navigator(file);
  formats::riff::Chunk form, chunk;
  if (navigator.descendRiff(form) != formats::riff::code::ok) return 0;
  if (navigator.descendChunk(chunk, form, fourccFromString(id)) != formats::riff::code::ok) return 0;
  return clampedToU32(std::uint64_t{chunk.declaredSize} + 8);
}

std::string riffSizeText(std::uint64_t size) { return " RIFF size: " + std::to_string(size) + " bytes"; }

std::optional<std::string> refreshAnimatedCursor(model::Document& document) {
  const model::Node* root = document.tree.findFirst("RIFF_ACON");
  if (!root) return std::nullopt;
  model::AniState& ani = document.ani;
  const std::vector<std::uint8_t> file = formats::writeAniFile(document).bytes;
  if (file.size() < 8) return std::nullopt;
  // The writer makes the tables as long as the steps it writes.
  ani.rateChunkSize = chunkSizeIn(file, "rate");
  ani.sequenceChunkSize = chunkSizeIn(file, "seq ");
  ani.riffSize = clampedToU32(file.size() - 8);
  ani.infoListSize = listSizeIn(file, "INFO");
  if (const std::uint32_t frames = listSizeIn(file, "fram")) ani.frameListSize = frames + 12;
  return riffSizeText(ani.riffSize);
}

std::optional<std::string> refreshWave(model::Document& document) {
  const model::Node* root = document.tree.findFirst("RIFF_WAVE");
  if (!root) return std::nullopt;
  model::WaveState& wave = document.wave;
  const std::uint64_t fileSize = formats::waveFileSize(document);
  if (fileSize < 8) return std::nullopt;
  wave.riffSize = fileSize - 8;
  wave.infoListSize = 0;
  // The wave writer writes its INFO list with this very function.
  if (const model::Node* info = root->findChild("List_info")) {
    formats::riff::RiffWriter list;
    formats::riff::writeInfoList(list, *info);
    wave.infoListSize = clampedToU32(list.size() - 8);
  }
  return riffSizeText(wave.riffSize);
}

}  // namespace

std::optional<std::string> refreshStoredSizes(model::Document& document) {
  std::optional<std::string> text;
  if (document.kind == model::FileKind::animatedCursor) text = refreshAnimatedCursor(document);
  if (document.kind == model::FileKind::wave) text = refreshWave(document);
  if (text) document.statusText = *text;
  return text;
}

}  // namespace delvix::fieldview
