#include "codecs/gif/lzw_stream.h"

#include <algorithm>
#include <array>
#include <memory>

namespace delvix::codecs::gif {
namespace {

constexpr int maxCodeWidth = 12;
// Codes stop one short of 4096 before the table is cleared, as common encoders do; some decoders mishandle
// the very last code.
constexpr int tableLimit = 4095;

// Packs codes of varying width into bytes, low bit first.
class CodePacker {
 public:
  void put(int code, int width) {
    pending_ |= static_cast<std::uint32_t>(code) << pendingBits_;
    pendingBits_ += width;
    while (pendingBits_ >= 8) {
      bytes_.push_back(static_cast<std::uint8_t>(pending_));
      pending_ >>= 8;
      pendingBits_ -= 8;
    }
  }
  std::vector<std::uint8_t> finish() {
    if (pendingBits_ > 0) bytes_.push_back(static_cast<std::uint8_t>(pending_));
    pending_ = 0;
    pendingBits_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint32_t pending_ = 0;
  int pendingBits_ = 0;
};

// The string table: (prefix code, next index) -> code, open addressing; clearing bumps a generation stamp
// instead of wiping the slots.
class StringTable {
 public:
  StringTable() { slots_.fill({}); }

  void clear() { ++generation_; }
  int find(int prefix, std::uint8_t next) const {
    const std::uint32_t key = keyOf(prefix, next);
    for (std::size_t at = hash(key);; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.generation != generation_) return -1;
      if (slot.key == key) return slot.code;
    }
  }
  void add(int prefix, std::uint8_t next, int code) {
    const std::uint32_t key = keyOf(prefix, next);
    std::size_t at = hash(key);
    while (slots_[at].generation == generation_) at = (at + 1) & mask;
    slots_[at] = {key, static_cast<std::uint16_t>(code), generation_};
  }

 private:
  struct Slot {
    std::uint32_t key = 0;
    std::uint16_t code = 0;
    std::uint32_t generation = 0;
  };
  static constexpr std::size_t size = 1 << 13;  // twice the most codes, so probes stay short
  static constexpr std::size_t mask = size - 1;

  static std::uint32_t keyOf(int prefix, std::uint8_t next) { return (static_cast<std::uint32_t>(prefix) << 8) | next; }
  static std::size_t hash(std::uint32_t key) { return (key * 2654435761u >> 19) & mask; }

  std::array<Slot, size> slots_;
  std::uint32_t generation_ = 1;
};

}  // namespace

std::vector<std::uint8_t> lzwCodeStream(std::span<const std::uint8_t> indexes, int minCodeSize, bool holdWidth) {
  minCodeSize = std::clamp(minCodeSize, 2, 8);
  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  // A decoder adds a string for every code but the first after a clear, and widens its codes once its next
  // free code reaches 2^width. Held at the starting width, a clear must come before that: at most
  // clearCode - 2 codes between clears.
  const int codesPerClear = clearCode - 2;

  auto table = std::make_unique<StringTable>();
  CodePacker packer;
  int width = minCodeSize + 1;
  int nextCode = clearCode + 2;
  int codesSinceClear = 0;
  auto restart = [&] {
    packer.put(clearCode, width);
    table->clear();
    width = minCodeSize + 1;
    nextCode = clearCode + 2;
    codesSinceClear = 0;
  };

  packer.put(clearCode, width);
  if (indexes.empty()) {
    packer.put(endCode, width);
    return packer.finish();
  }
  int prefix = indexes[0] & (clearCode - 1);
  for (std::size_t i = 1; i < indexes.size(); ++i) {
    const auto next = static_cast<std::uint8_t>(indexes[i] & (clearCode - 1));
    if (const int code = table->find(prefix, next); code >= 0) {
      prefix = code;
      continue;
    }
    packer.put(prefix, width);
    ++codesSinceClear;
    if (holdWidth ? codesSinceClear == codesPerClear : nextCode == tableLimit) {
      restart();
    } else {
      table->add(prefix, next, nextCode++);
      if (nextCode > (1 << width) && width < maxCodeWidth) ++width;
    }
    prefix = next;
  }
  packer.put(prefix, width);
  // The decoder counts this last code too before it reads the end code.
  if (nextCode >= (1 << width) && width < maxCodeWidth) ++width;
  packer.put(endCode, width);
  return packer.finish();
}

}  // namespace delvix::codecs::gif
