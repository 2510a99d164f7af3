#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "formats/file_save.h"
#include "model/sample_data.h"

namespace delvix::sound {

// A written file read back in place: the writer's own bytes with the insets between them, read across
// the pieces without joining them. Insets that lie in a piece of `kept` are read from there (and `kept` keeps
// them alive); any other inset is copied, since nothing keeps its bytes alive once the document changes.
class PiecedFile {
 public:
  PiecedFile(formats::WrittenFile file, model::SampleData kept);
  PiecedFile(const PiecedFile&) = delete;
  PiecedFile& operator=(const PiecedFile&) = delete;

  std::uint64_t size() const { return size_; }
  // Copies the bytes from `position` on into the front of `out`; how many (fewer only at the end).
  std::size_t read(std::uint64_t position, std::span<std::uint8_t> out) const;

 private:
  struct Piece {
    std::uint64_t start = 0;
    std::span<const std::uint8_t> bytes;
  };
  void add(std::span<const std::uint8_t> bytes);

  formats::WrittenFile file_;
  model::SampleData kept_;
  std::vector<std::vector<std::uint8_t>> copies_;
  std::vector<Piece> pieces_;
  std::uint64_t size_ = 0;
};

}  // namespace delvix::sound
