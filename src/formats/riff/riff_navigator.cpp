#include "formats/riff/riff_navigator.h"

#include <algorithm>

#include "formats/le_bytes.h"

namespace delvix::formats::riff {

namespace {

bool hasTypeCode(FourCC id) { return id == riffId || id == rf64Id || id == rifxId || id == listId; }

std::size_t typeCodeSize(const Chunk& chunk) { return hasTypeCode(chunk.id) ? 4 : 0; }

}  // namespace

std::string printableFourcc(FourCC code) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string raw = fourccText(code);
  while (!raw.empty() && raw.back() == ' ') raw.pop_back();
  std::string text;
  for (char c : raw) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      text += c;
    } else {
      text += "\\x";
      text += hex[byte >> 4];
      text += hex[byte & 0xF];
    }
  }
  return text;
}

std::optional<Chunk> Navigator::headerAt(std::size_t offset, std::size_t end) {
  end = std::min(end, size_);
  if (offset > end || end - offset < chunkHeaderSize) return std::nullopt;
  // The header and the type code a form or list puts after it, read together.
  const Bytes header = source().read(offset, chunkHeaderSize + 4);
  if (header.size() < chunkHeaderSize) return std::nullopt;
  Chunk chunk;
  chunk.id = le32(header, 0);
  chunk.declaredSize = u32In(header, 4, order_);
  chunk.dataOffset = offset + chunkHeaderSize;
  chunk.claimedSize = chunk.declaredSize;
  if (auto kept = keptSizes_.find(chunk.id); kept != keptSizes_.end() && chunk.declaredSize == 0xFFFFFFFF)
    chunk.claimedSize = kept->second;
  chunk.size = std::min<std::uint64_t>(chunk.claimedSize, end - chunk.dataOffset);
  if (hasTypeCode(chunk.id) && chunk.size >= 4 && header.size() >= chunkHeaderSize + 4)
    chunk.type = le32(header, chunkHeaderSize);
  return chunk;
}

bool Navigator::plausibleHeaderAt(std::size_t offset, std::size_t end) {
  end = std::min(end, size_);
  if (offset > end || end - offset < chunkHeaderSize) return false;
  const Bytes id = source().read(offset, 4);
  return id.size() == 4 && std::all_of(id.begin(), id.end(), [](std::uint8_t b) { return b >= 0x20 && b < 0x7F; });
}

std::size_t Navigator::following(const Chunk& chunk, std::size_t end) {
  const std::size_t unpadded = chunk.end();
  if (chunk.clamped() || chunk.size % 2 == 0) return unpadded;
  const std::size_t padded = unpadded + 1;
  // Some writers leave out the pad byte of an odd-sized chunk; take the position where a header stands.
  if (!plausibleHeaderAt(padded, end) && plausibleHeaderAt(unpadded, end)) return unpadded;
  return padded;
}

void Navigator::noteClamp(const Chunk& chunk) {
  if (!notes_ || !chunk.clamped() || (sizesKeptElsewhere_ && chunk.declaredSize == 0xFFFFFFFF)) return;
  if (!noted_.insert(chunk.dataOffset).second) return;
  notes_->log("The chunk '" + printableFourcc(chunk.id) + "' at offset " + std::to_string(chunk.headerOffset()) +
              " declares " + std::to_string(chunk.declaredSize) + " bytes; only " + std::to_string(chunk.size) +
              " are there.");
}

// A form's declared size is often wrong (a streaming writer leaves it 0 or 0xFFFFFFFF); its chunks are looked
// for up to the end of the file.
bool Navigator::fitForm(Chunk& form) {
  const std::size_t available = size_ - form.dataOffset;
  if (form.declaredSize >= available) return false;
  form.size = available;
  if (form.type == 0 && form.size >= 4) {
    const Bytes type = source().read(form.dataOffset, 4);
    if (type.size() == 4) form.type = le32(type, 0);
  }
  return available - form.declaredSize > 1;
}

void Navigator::noteFittedForm(const Chunk& form) {
  if (notes_)
    notes_->log("The RIFF size of " + std::to_string(form.declaredSize) + " bytes ends before the file does (" +
                std::to_string(form.size) +
                " bytes follow the header); chunks are looked for up to the end of the file.");
}

int Navigator::search(Chunk& found, std::size_t end, FourCC id, std::optional<FourCC> type, bool isForm) {
  std::size_t offset = position_;
  while (auto chunk = headerAt(offset, end)) {
    // A form is matched by its type as fitted to the file; a form of another type is walked over by its
    // declared size, where a second form may follow.
    Chunk candidate = *chunk;
    const bool fitted = isForm && candidate.id == id && fitForm(candidate);
    const bool typeMatches = !hasTypeCode(id) || (candidate.size >= 4 && (!type || candidate.type == *type));
    if (candidate.id == id && typeMatches) {
      if (fitted) noteFittedForm(candidate);
      noteClamp(candidate);
      found = candidate;
      position_ = found.dataOffset + typeCodeSize(found);
      return code::ok;
    }
    const std::size_t next = following(*chunk, end);
    if (next <= offset) break;
    offset = next;
  }
  return code::chunkNotFound;
}

int Navigator::descendRiff(Chunk& found, std::optional<FourCC> form) { return descendForm(found, riffId, form); }

int Navigator::descendForm(Chunk& found, FourCC formId, std::optional<FourCC> form) {
  return search(found, size_, formId, form, true);
}

int Navigator::descendList(Chunk& found, const Chunk& parent, FourCC type) {
  return search(found, parent.end(), listId, type, false);
}

int Navigator::descendChunk(Chunk& found, const Chunk& parent, FourCC id) {
  return search(found, parent.end(), id, std::nullopt, false);
}

int Navigator::descendChunk(Chunk& found, FourCC id) { return search(found, size_, id, std::nullopt, false); }

int Navigator::ascend(const Chunk& chunk) {
  if (chunk.end() > size_) return code::cannotSeek;
  position_ = std::min(following(chunk, size_), size_);
  return code::ok;
}

int Navigator::seek(std::size_t position) {
  if (position > size_) return code::cannotSeek;
  position_ = position;
  return code::ok;
}

Bytes Navigator::read(std::size_t count) {
  Bytes view = source().read(position_, count);
  position_ += view.size();
  return view;
}

std::size_t Navigator::read(std::span<std::uint8_t> target) {
  Bytes view = read(target.size());
  std::copy(view.begin(), view.end(), target.begin());
  return view.size();
}

std::vector<Chunk> Navigator::children(const Chunk& parent) {
  std::vector<Chunk> list;
  std::size_t offset = parent.dataOffset + typeCodeSize(parent);
  while (auto chunk = headerAt(offset, parent.end())) {
    noteClamp(*chunk);
    list.push_back(*chunk);
    const std::size_t next = following(*chunk, parent.end());
    if (next <= offset) break;
    offset = next;
  }
  return list;
}

}  // namespace delvix::formats::riff
