#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/byte_reader.h"

namespace delvix::formats::pe {

inline constexpr std::uint16_t pe32Magic = 0x10B;
inline constexpr std::uint16_t pe32PlusMagic = 0x20B;
inline constexpr std::size_t coffHeaderSize = 20;
inline constexpr std::size_t sectionHeaderSize = 40;

inline constexpr std::uint32_t scnCntCode = 0x00000020;
inline constexpr std::uint32_t scnCntInitializedData = 0x00000040;
inline constexpr std::uint32_t scnMemExecute = 0x20000000;
inline constexpr std::uint32_t scnMemRead = 0x40000000;

inline constexpr std::size_t directoryExport = 0;
inline constexpr std::size_t directoryResource = 2;
inline constexpr std::size_t directoryCertificate = 4;
inline constexpr std::size_t directoryDebug = 6;
inline constexpr std::size_t directoryBoundImport = 11;

// One section header as stored, with where it lies in the file.
struct SectionHeader {
  std::size_t at = 0;  // file offset of the 40-byte header
  std::string name;    // the 8 bytes up to the first NUL
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;  // rounded down the way the loader rounds it
  std::uint32_t characteristics = 0;

  // The bytes the section takes in memory: its virtual size, or its raw size when that is 0 as old linkers leave it.
  std::uint32_t memorySize() const { return virtualSize ? virtualSize : rawSize; }
};

struct DataDirectory {
  std::uint32_t address = 0;  // an RVA, or a file offset for the certificate table
  std::uint32_t size = 0;
};

// The header fields a writer of a module changes, with the file offsets they are stored at. Parsed strictly: a
// field the writer would need and that is not in the file makes the parse fail with the reason.
struct ModuleHeaders {
  std::size_t coffAt = 0;      // the COFF file header, after "PE\0\0"
  std::size_t optionalAt = 0;  // the optional header
  std::size_t optionalSize = 0;
  bool is64Bit = false;
  std::uint32_t pointerToSymbolTable = 0;
  std::uint32_t sizeOfInitializedData = 0;
  std::uint32_t sectionAlignment = 0;
  std::uint32_t fileAlignment = 0;
  std::uint32_t sizeOfImage = 0;
  std::uint32_t sizeOfHeaders = 0;
  std::uint32_t checkSum = 0;
  std::size_t directoriesAt = 0;
  std::vector<DataDirectory> directories;
  std::size_t sectionTableAt = 0;
  std::vector<SectionHeader> sections;

  static std::optional<ModuleHeaders> parse(Bytes file, std::string& whyNot);

  std::size_t checkSumAt() const { return optionalAt + 64; }
  std::size_t sizeOfImageAt() const { return optionalAt + 56; }
  std::size_t sizeOfHeadersAt() const { return optionalAt + 60; }
  std::size_t sizeOfInitializedDataAt() const { return optionalAt + 8; }
  std::size_t numberOfSectionsAt() const { return coffAt + 2; }
  std::size_t pointerToSymbolTableAt() const { return coffAt + 8; }
  std::size_t directoryAt(std::size_t index) const { return directoriesAt + 8 * index; }
  DataDirectory directory(std::size_t index) const {
    return index < directories.size() ? directories[index] : DataDirectory{};
  }
  // The section holding `rva` in memory, or nullptr.
  const SectionHeader* sectionOf(std::uint32_t rva) const;
  // The file offset of `rva` when it is stored in a section's raw data.
  std::optional<std::size_t> offsetOf(std::uint32_t rva) const;
  // Where the last section's raw data ends in the file: what follows is the overlay.
  std::uint64_t endOfSections() const;
};

// The checksum the loader checks for drivers and system modules: 16-bit one's-complement-style sum of the file
// with the checksum field counted as 0, plus the file's length.
std::uint32_t moduleCheckSum(Bytes file, std::size_t checkSumAt);

std::string hexText(std::uint64_t value);

}  // namespace delvix::formats::pe
