#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace delvix::model {

// A read-only view of bytes that keeps what it views alive. Large parts of a file (the samples of a wave
// file) stay where the file was read to instead of being copied out, and copies of the view share them.
class SharedBytes {
 public:
  SharedBytes() = default;
  SharedBytes(std::shared_ptr<const void> owner, std::span<const std::uint8_t> bytes)
      : owner_(std::move(owner)), bytes_(bytes) {}

  static SharedBytes copyOf(std::span<const std::uint8_t> bytes) {
    auto copy = std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
    return SharedBytes(copy, *copy);
  }

  // A part of these bytes (a span inside them) that keeps the same owner alive.
  SharedBytes part(std::span<const std::uint8_t> inside) const { return SharedBytes(owner_, inside); }

  std::span<const std::uint8_t> bytes() const { return bytes_; }
  operator std::span<const std::uint8_t>() const { return bytes_; }
  const std::uint8_t* data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  auto begin() const { return bytes_.begin(); }
  auto end() const { return bytes_.end(); }

  friend bool operator==(const SharedBytes& a, const SharedBytes& b) {
    if (a.bytes_.data() == b.bytes_.data() && a.bytes_.size() == b.bytes_.size()) return true;
    return std::ranges::equal(a.bytes_, b.bytes_);
  }

 private:
  std::shared_ptr<const void> owner_;
  std::span<const std::uint8_t> bytes_;
};

}  // namespace delvix::model
