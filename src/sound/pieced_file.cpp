#include "sound/pieced_file.h"

#include <algorithm>
#include <functional>

namespace delvix::sound {

namespace {

using Span = std::span<const std::uint8_t>;

const std::uint8_t* startOf(Span bytes) { return bytes.data(); }

// Whether `part` lies inside one of `wholes`, which are sorted by where they start. Were they to overlap, a
// part might be missed: it would only be copied.
bool liesIn(Span part, std::span<const Span> wholes) {
  if (part.empty()) return true;
  const std::less_equal<const std::uint8_t*> notAfter;
  const auto after = std::ranges::upper_bound(wholes, part.data(), std::less<const std::uint8_t*>(), startOf);
  if (after == wholes.begin()) return false;
  const Span whole = *(after - 1);  // the last one that starts at or before the part
  return notAfter(part.data() + part.size(), whole.data() + whole.size());
}

}  // namespace

PiecedFile::PiecedFile(formats::WrittenFile file, model::SampleData kept)
    : file_(std::move(file)), kept_(std::move(kept)) {
  std::ranges::stable_sort(file_.insets, {}, &formats::Inset::offset);
  std::vector<Span> keptPieces(kept_.pieces().begin(), kept_.pieces().end());
  std::ranges::sort(keptPieces, std::less<const std::uint8_t*>(), startOf);
  const Span own = file_.bytes;
  std::size_t done = 0;
  copies_.reserve(file_.insets.size());
  for (const formats::Inset& inset : file_.insets) {
    const std::size_t offset = std::clamp(inset.offset, done, own.size());
    add(own.subspan(done, offset - done));
    if (liesIn(inset.data, keptPieces)) {
      add(inset.data);
    } else {
      copies_.emplace_back(inset.data.begin(), inset.data.end());
      add(copies_.back());
    }
    done = offset;
  }
  add(own.subspan(done));
}

void PiecedFile::add(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  pieces_.push_back({size_, bytes});
  size_ += bytes.size();
}

std::size_t PiecedFile::read(std::uint64_t position, std::span<std::uint8_t> out) const {
  if (position >= size_) return 0;
  // The last piece that starts at or before `position`.
  auto piece = std::ranges::upper_bound(pieces_, position, {}, &Piece::start) - 1;
  std::size_t copied = 0;
  for (; piece != pieces_.end() && copied < out.size(); ++piece) {
    const std::uint64_t from = position + copied - piece->start;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(piece->bytes.size() - from, out.size() - copied));
    std::copy_n(piece->bytes.begin() + static_cast<std::ptrdiff_t>(from), count,
                out.begin() + static_cast<std::ptrdiff_t>(copied));
    copied += count;
  }
  return copied;
}

}  // namespace delvix::sound
