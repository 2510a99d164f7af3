#pragma once

#include <cstddef>
#include <cstdint>

namespace delvix::formats {

// The file mappings whose pages may vanish when another program shortens the file. A read of such a page
// raises SIGBUS; for an address inside a registered mapping the process-wide handler puts a page of zeros
// there instead and marks the mapping as damaged, so that the program reads zeros and carries on (a save
// that takes bytes from it refuses). Other SIGBUS keeps its usual effect. The registry is a fixed array
// of atomics, safe to read from the handler.
class MappingRegistry {
 public:
  static constexpr int capacity = 512;

  // The slot of the mapping [begin, begin + length), or -1 when every slot is taken. `owner` is handed
  // back by ownerOf; it is not used by the handler.
  static int add(const void* begin, std::size_t length, const void* owner);
  static void remove(int slot);
  static bool damaged(int slot);
  // The owner given for the registered mapping that holds all of [begin, begin + length), or null.
  static const void* ownerOf(const void* begin, std::size_t length);
};

}  // namespace delvix::formats
