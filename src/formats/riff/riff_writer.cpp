#include "formats/riff/riff_writer.h"

#include <algorithm>
#include <optional>

#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "model/info_items.h"

namespace delvix::formats::riff {

void RiffWriter::open(FourCC id) {
  code(id);
  const std::size_t sizeField = out_.size();
  out_.resize(out_.size() + 4);
  open_.push_back({sizeField, size()});
}

void RiffWriter::open(FourCC id, FourCC type) {
  open(id);
  code(type);
}

void RiffWriter::close() {
  if (open_.empty()) return;
  const OpenChunk chunk = open_.back();
  open_.pop_back();
  const std::uint64_t dataSize = size() - chunk.dataStart;
  setU32In(out_, chunk.sizeField, static_cast<std::uint32_t>(std::min<std::uint64_t>(dataSize, 0xFFFFFFFF)), order_);
  if (dataSize % 2) out_.push_back(0);
}

void RiffWriter::chunk(FourCC id, std::span<const std::uint8_t> data) {
  open(id);
  bytes(data);
  close();
}

void RiffWriter::chunkInPlace(FourCC id, std::span<const std::uint8_t> data) {
  open(id);
  bytesInPlace(data);
  close();
}

void RiffWriter::bytes(std::span<const std::uint8_t> data) { out_.insert(out_.end(), data.begin(), data.end()); }

void RiffWriter::bytesInPlace(std::span<const std::uint8_t> data) {
  if (data.empty()) return;
  insets_.push_back({out_.size(), data});
  insetBytes_ += data.size();
}

void RiffWriter::u16(std::uint16_t value) {
  out_.resize(out_.size() + 2);
  setU16In(out_, out_.size() - 2, value, order_);
}

void RiffWriter::u32(std::uint32_t value) {
  out_.resize(out_.size() + 4);
  setU32In(out_, out_.size() - 4, value, order_);
}

void RiffWriter::code(FourCC value) {
  for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> RiffWriter::finish() {
  WrittenFile file = finishFile();
  return file.insets.empty() ? std::move(file.bytes) : file.joined();
}

WrittenFile RiffWriter::finishFile() {
  while (!open_.empty()) close();
  WrittenFile file{std::move(out_), true, std::move(insets_)};
  out_.clear();
  insets_.clear();
  insetBytes_ = 0;
  return file;
}

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<FourCC> keptChunkId(std::string_view name) {
  constexpr std::string_view prefix = "chunk_";
  if (!name.starts_with(prefix)) return std::nullopt;
  name.remove_prefix(prefix.size());
  std::string code;
  while (!name.empty() && code.size() < 4) {
    int high = name.size() >= 4 && name.starts_with("\\x") ? hexValue(name[2]) : -1;
    int low = high >= 0 ? hexValue(name[3]) : -1;
    if (low >= 0) {
      code += static_cast<char>(high * 16 + low);
      name.remove_prefix(4);
    } else {
      code += name.front();
      name.remove_prefix(1);
    }
  }
  if (code.empty()) return std::nullopt;
  return fourccFromString(code);
}

void writeKeptChunks(RiffWriter& writer, const model::Node& parent) {
  for (const auto& child : parent.children())
    if (auto id = keptChunkId(child->name())) writer.chunk(*id, blockData(child->block(), 4));
}

void writeInfoList(RiffWriter& writer, const model::Node& listInfo) {
  writer.open(fourccFromString("LIST"), fourccFromString("INFO"));
  for (const model::InfoItem& item : model::infoItems())
    if (const model::Node* node = listInfo.findChild(item.description))
      writer.chunk(fourccFromString(item.id), blockData(node->block(), 4));
  writeKeptChunks(writer, listInfo);
  writer.close();
}

}  // namespace delvix::formats::riff
