#include "model/sample_data.h"

#include <algorithm>
#include <cstring>

namespace delvix::model {

SampleData::SampleData(SharedBytes whole) { append(whole); }

std::optional<std::span<const std::uint8_t>> SampleData::contiguous() const {
  if (pieces_.empty()) return std::span<const std::uint8_t>();
  if (pieces_.size() == 1) return pieces_.front().bytes();
  return std::nullopt;
}

std::size_t SampleData::read(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset >= size_) return 0;
  std::size_t copied = 0;
  for (std::size_t i = pieceAt(offset); i < pieces_.size() && copied < out.size(); ++i) {
    const auto from = static_cast<std::size_t>(offset + copied - startOf(i));
    const std::span<const std::uint8_t> bytes = pieces_[i].bytes().subspan(from);
    const std::size_t count = std::min(bytes.size(), out.size() - copied);
    std::memcpy(out.data() + copied, bytes.data(), count);
    copied += count;
  }
  return copied;
}

SampleData SampleData::slice(std::uint64_t offset, std::uint64_t count) const {
  SampleData part;
  if (offset >= size_) return part;
  const std::uint64_t end = offset + std::min(count, size_ - offset);
  for (std::size_t i = pieceAt(offset); i < pieces_.size() && startOf(i) < end; ++i) {
    const std::uint64_t start = startOf(i);
    const auto from = static_cast<std::size_t>(std::max(offset, start) - start);
    const auto to = static_cast<std::size_t>(std::min(ends_[i], end) - start);
    part.append(pieces_[i].part(pieces_[i].bytes().subspan(from, to - from)));
  }
  return part;
}

void SampleData::erase(std::uint64_t offset, std::uint64_t count) {
  if (offset >= size_ || count == 0) return;
  const std::uint64_t end = offset + std::min(count, size_ - offset);
  // Built aside and then swapped in, so that a failure leaves the data as it was.
  SampleData kept = slice(0, offset);
  const SampleData after = slice(end, size_ - end);
  kept.pieces_.reserve(kept.pieces_.size() + after.pieces_.size());
  kept.ends_.reserve(kept.pieces_.capacity());
  for (const SharedBytes& piece : after.pieces_) kept.append(piece);
  *this = std::move(kept);
}

bool operator==(const SampleData& a, const SampleData& b) {
  if (a.size_ != b.size_) return false;
  std::size_t i = 0, j = 0, inA = 0, inB = 0;  // the pieces being compared and the offsets in them
  while (i < a.pieces_.size() && j < b.pieces_.size()) {
    const std::span<const std::uint8_t> x = a.pieces_[i].bytes().subspan(inA), y = b.pieces_[j].bytes().subspan(inB);
    const std::size_t count = std::min(x.size(), y.size());
    // The same bytes (an unchanged copy of the list) are equal without reading them.
    if (x.data() != y.data() && std::memcmp(x.data(), y.data(), count) != 0) return false;
    inA += count;
    inB += count;
    if (inA == a.pieces_[i].size()) {
      ++i;
      inA = 0;
    }
    if (inB == b.pieces_[j].size()) {
      ++j;
      inB = 0;
    }
  }
  return true;
}

void SampleData::append(const SharedBytes& piece) {
  if (piece.empty()) return;
  pieces_.push_back(piece);
  size_ += piece.size();
  ends_.push_back(size_);
}

std::size_t SampleData::pieceAt(std::uint64_t offset) const {
  return static_cast<std::size_t>(std::ranges::upper_bound(ends_, offset) - ends_.begin());
}

}  // namespace delvix::model
