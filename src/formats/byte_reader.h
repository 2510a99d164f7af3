#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace delvix::formats {

using Bytes = std::span<const std::uint8_t>;

// A bounds-checked little-endian cursor over a byte span. Every read either succeeds whole or
// returns nullopt and leaves the position where it was.
class ByteReader {
 public:
  explicit ByteReader(Bytes data) : data_(data) {}

  std::size_t size() const { return data_.size(); }
  std::size_t position() const { return position_; }
  std::size_t remaining() const { return data_.size() - position_; }
  bool atEnd() const { return position_ >= data_.size(); }
  Bytes data() const { return data_; }

  bool seek(std::size_t position) {
    if (position > data_.size()) return false;
    position_ = position;
    return true;
  }
  bool skip(std::size_t count) {
    if (count > remaining()) return false;
    position_ += count;
    return true;
  }

  std::optional<std::uint8_t> u8() { return read<std::uint8_t>(); }
  std::optional<std::uint16_t> u16() { return read<std::uint16_t>(); }
  std::optional<std::uint32_t> u32() { return read<std::uint32_t>(); }
  std::optional<std::int32_t> i32() {
    auto v = read<std::uint32_t>();
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
  }

  // Exactly `count` bytes as a view into the data.
  std::optional<Bytes> bytes(std::size_t count) {
    if (count > remaining()) return std::nullopt;
    Bytes view = data_.subspan(position_, count);
    position_ += count;
    return view;
  }

  // Copies up to `target.size()` bytes into `target` and returns how many arrived (a short read is
  // not an error here; the caller decides).
  std::size_t readSome(std::span<std::uint8_t> target) {
    std::size_t count = std::min(target.size(), remaining());
    if (count) std::memcpy(target.data(), data_.data() + position_, count);
    position_ += count;
    return count;
  }

 private:
  template <typename T>
  std::optional<T> read() {
    if (sizeof(T) > remaining()) return std::nullopt;
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
      value |= static_cast<T>(static_cast<T>(data_[position_ + i]) << (8 * i));
    position_ += sizeof(T);
    return value;
  }

  Bytes data_;
  std::size_t position_ = 0;
};

// True when [offset, offset + size) lies inside a span of `total` bytes, without wrap-around.
constexpr bool rangeFits(std::uint64_t offset, std::uint64_t size, std::uint64_t total) {
  return offset <= total && size <= total - offset;
}

}  // namespace delvix::formats
