#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>

#include "formats/byte_reader.h"
#include "formats/byte_source.h"
#include "formats/reporter.h"
#include "formats/riff/byte_order.h"
#include "formats/riff/fourcc.h"

namespace delvix::formats::riff {

// Result codes in the style of the platform's RIFF input; 0 is success.
namespace code {
inline constexpr int ok = 0;
inline constexpr int cannotRead = 261;
inline constexpr int cannotSeek = 263;
inline constexpr int chunkNotFound = 265;
}  // namespace code

inline constexpr std::size_t chunkHeaderSize = 8;

struct Chunk {
  FourCC id = 0;
  // The form type of a "RIFF" chunk or the list type of a "LIST"; 0 for other chunks.
  FourCC type = 0;
  // The size as the file gives it (in the file's byte order).
  std::uint32_t declaredSize = 0;
  // The size cut to what its parent and the file hold (for a RIFF form: the extent that is searched); in an
  // "RF64" form, the real size from "ds64" when the declared one is 0xFFFFFFFF.
  std::size_t size = 0;
  // File offset of the chunk's data (for RIFF and LIST: of the type code).
  std::size_t dataOffset = 0;
  // The size the chunk claims: the declared one, or the real one that "ds64" gives.
  std::uint64_t claimedSize = 0;

  std::size_t headerOffset() const { return dataOffset - chunkHeaderSize; }
  std::size_t end() const { return dataOffset + size; }
  bool clamped() const { return size < claimedSize; }
};

// Finds chunks in a RIFF file, held in memory or read where needed from a ByteSource: only chunk headers
// and what is asked for are read. Chunks are walked by id and size (with the pad byte of odd sizes); a search
// runs from the current position to the end of the parent. Declared sizes that run past the parent or the
// file are cut to what is there, and the cut is noted through the reporter.
class Navigator {
 public:
  explicit Navigator(Bytes file, Reporter* notes = nullptr) : memory_(file), size_(file.size()), notes_(notes) {}
  // `source` must outlive the navigator.
  explicit Navigator(ByteSource& source, Reporter* notes = nullptr)
      : memory_({}), source_(&source), size_(static_cast<std::size_t>(source.size())), notes_(notes) {}

  // The whole file when the navigator reads from memory; empty when it reads from another source.
  Bytes file() const { return source_ ? Bytes{} : memory_.bytes(); }
  std::size_t fileSize() const { return size_; }
  std::size_t position() const { return position_; }

  // A "RIFF" chunk of form type `form` (any form type when nullopt), from the current position on.
  // Afterwards the position is the first chunk of the form.
  int descendRiff(Chunk& found, std::optional<FourCC> form = std::nullopt);
  // The same for a form of another id ("RF64").
  int descendForm(Chunk& found, FourCC formId, std::optional<FourCC> form = std::nullopt);
  // From now on a declared size of 0xFFFFFFFF is not noted as a cut: an "RF64" form keeps the real
  // sizes in its "ds64" chunk.
  void noteSizesKeptElsewhere() { sizesKeptElsewhere_ = true; }
  // The real size of the chunks with this id that declare 0xFFFFFFFF (the "data" size of "ds64"); they are
  // walked over with it, cut to what their parent holds.
  void setSizeKeptElsewhere(FourCC id, std::uint64_t size) { keptSizes_[id] = size; }
  // The order in which chunk sizes are read from now on; little-endian unless told otherwise (a "RIFX" form).
  void setByteOrder(ByteOrder order) { order_ = order; }
  ByteOrder byteOrder() const { return order_; }
  // A "LIST" of the given type inside `parent`; afterwards the position is the list's first sub-chunk.
  int descendList(Chunk& found, const Chunk& parent, FourCC type);
  // A chunk with the given id inside `parent` (or in the whole file); the position is then its data.
  int descendChunk(Chunk& found, const Chunk& parent, FourCC id);
  int descendChunk(Chunk& found, FourCC id);
  // Moves to the chunk that follows `chunk`.
  int ascend(const Chunk& chunk);

  int seek(std::size_t position);
  // Up to `count` bytes from the current position, cut at the end of the file.
  Bytes read(std::size_t count);
  // Copies what arrives into `target`; returns the count.
  std::size_t read(std::span<std::uint8_t> target);
  // Up to `count` bytes at `offset`, cut at the end of the file; the position does not change.
  Bytes bytesAt(std::size_t offset, std::size_t count) { return source().read(offset, count); }

  // Every chunk of `parent` in file order, as the searches see them.
  std::vector<Chunk> children(const Chunk& parent);

 private:
  int search(Chunk& found, std::size_t end, FourCC id, std::optional<FourCC> type, bool isForm);
  std::optional<Chunk> headerAt(std::size_t offset, std::size_t end);
  // Where the chunk after `chunk` begins, allowing for a missing pad byte.
  std::size_t following(const Chunk& chunk, std::size_t end);
  bool plausibleHeaderAt(std::size_t offset, std::size_t end);
  void noteClamp(const Chunk& chunk);
  // Widens a form whose declared size ends before the file to the file's end; true when that is worth a note.
  bool fitForm(Chunk& form);
  void noteFittedForm(const Chunk& form);

  ByteSource& source() {
    if (source_) return *source_;
    return memory_;
  }

  MemorySource memory_;
  ByteSource* source_ = nullptr;
  std::size_t size_;
  Reporter* notes_;
  std::size_t position_ = 0;
  std::set<std::size_t> noted_;
  bool sizesKeptElsewhere_ = false;
  std::map<FourCC, std::uint64_t> keptSizes_;
  ByteOrder order_ = ByteOrder::little;
};

}  // namespace delvix::formats::riff
