#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/shared_bytes.h"

namespace delvix::model {

// The sample data of a wave file as an ordered list of pieces, each a view that keeps its bytes alive.
// Removing a range rearranges the pieces and copies no byte, and a copy of the value copies only the list,
// so an old state kept for undoing costs a few pointers, not the samples. Data as it was read is one piece;
// contiguous() gives its bytes straight.
class SampleData {
 public:
  SampleData() = default;
  // The bytes as one piece.
  SampleData(SharedBytes whole);  // NOLINT(google-explicit-constructor): a view is sample data of one piece

  std::uint64_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::span<const SharedBytes> pieces() const { return pieces_; }
  // The bytes in one span when they are in at most one piece.
  std::optional<std::span<const std::uint8_t>> contiguous() const;

  // Copies the bytes from `offset` on into the front of `out`; how many (fewer only at the end).
  std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out) const;
  // `count` bytes from `offset` on (cut to what there is), sharing these pieces.
  SampleData slice(std::uint64_t offset, std::uint64_t count) const;
  // Removes `count` bytes from `offset` on (cut to what there is): the pieces on either side are kept, the
  // one the range starts in and the one it ends in shortened; no byte is copied.
  void erase(std::uint64_t offset, std::uint64_t count);

  // The same bytes, however they are pieced.
  friend bool operator==(const SampleData& a, const SampleData& b);

 private:
  void append(const SharedBytes& piece);
  // The piece that holds byte `offset` (offset < size()).
  std::size_t pieceAt(std::uint64_t offset) const;
  std::uint64_t startOf(std::size_t piece) const { return piece == 0 ? 0 : ends_[piece - 1]; }

  std::vector<SharedBytes> pieces_;  // none empty
  std::vector<std::uint64_t> ends_;  // the offset right after each piece
  std::uint64_t size_ = 0;
};

}  // namespace delvix::model
