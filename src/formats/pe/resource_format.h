#pragma once

#include <cstddef>
#include <cstdint>

// The fixed sizes of a resource section's parts, shared by its readers and its writer.
namespace delvix::formats::pe::resource_format {

inline constexpr std::size_t directoryHeaderSize = 16;
inline constexpr std::size_t directoryEntrySize = 8;
inline constexpr std::size_t dataEntrySize = 16;
// Set in an entry's name field when it names a string, and in its offset when it leads to a directory.
inline constexpr std::uint32_t highBit = 0x80000000u;

}  // namespace delvix::formats::pe::resource_format
