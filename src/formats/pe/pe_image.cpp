#include "formats/pe/pe_image.h"

#include <algorithm>

namespace delvix::formats::pe {

namespace {

constexpr std::uint16_t pe32Magic = 0x10B;
constexpr std::uint16_t pe32PlusMagic = 0x20B;
constexpr std::size_t coffHeaderSize = 20;
constexpr std::size_t sectionHeaderSize = 40;
constexpr std::size_t resourceDirectoryIndex = 2;
// The loader refuses modules with more sections than this.
constexpr std::size_t maxSections = 96;

std::uint16_t le16At(Bytes b, std::size_t offset) {
  return static_cast<std::uint16_t>(b[offset] | (b[offset + 1] << 8));
}
std::uint32_t le32At(Bytes b, std::size_t offset) {
  return std::uint32_t{b[offset]} | (std::uint32_t{b[offset + 1]} << 8) | (std::uint32_t{b[offset + 2]} << 16) |
         (std::uint32_t{b[offset + 3]} << 24);
}

}  // namespace

std::optional<PeImage> PeImage::parse(Bytes file) {
  if (file.size() < 0x40 || file[0] != 'M' || file[1] != 'Z') return std::nullopt;
  const std::uint32_t peOffset = le32At(file, 0x3C);
  if (!rangeFits(peOffset, 4 + coffHeaderSize + 2, file.size())) return std::nullopt;
  if (file[peOffset] != 'P' || file[peOffset + 1] != 'E' || file[peOffset + 2] != 0 || file[peOffset + 3] != 0)
    return std::nullopt;

  PeImage image;
  image.file_ = file;
  const std::size_t coff = std::size_t{peOffset} + 4;
  const std::uint16_t sectionCount = le16At(file, coff + 2);
  const std::uint16_t optionalSize = le16At(file, coff + 16);
  const std::size_t optional = coff + coffHeaderSize;
  const std::uint16_t magic = le16At(file, optional);
  if (magic != pe32Magic && magic != pe32PlusMagic) return std::nullopt;
  image.is64Bit_ = magic == pe32PlusMagic;

  // Fields the optional header may lack when it is cut short read as 0.
  const std::size_t optionalEnd = std::min<std::size_t>(optional + optionalSize, file.size());
  auto optionalField = [&](std::size_t at) -> std::uint32_t {
    return optional + at + 4 <= optionalEnd ? le32At(file, optional + at) : 0;
  };
  const std::uint32_t fileAlignment = optionalField(36);
  image.sizeOfHeaders_ = optionalField(60);
  const std::size_t directoryCountAt = image.is64Bit_ ? 108 : 92;
  const std::size_t directoriesAt = directoryCountAt + 4;
  const std::uint32_t directoryCount = optionalField(directoryCountAt);
  if (directoryCount > resourceDirectoryIndex) {
    image.resourceRva_ = optionalField(directoriesAt + 8 * resourceDirectoryIndex);
    image.resourceSize_ = optionalField(directoriesAt + 8 * resourceDirectoryIndex + 4);
  }

  const std::size_t tableAt = optional + optionalSize;
  std::size_t available = tableAt < file.size() ? (file.size() - tableAt) / sectionHeaderSize : 0;
  std::size_t count = std::min<std::size_t>({sectionCount, available, maxSections});
  if (count < sectionCount)
    image.warnings_.push_back("The module lists " + std::to_string(sectionCount) + " sections; " +
                              std::to_string(count) + " are read.");
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = tableAt + i * sectionHeaderSize;
    Section section;
    section.virtualSize = le32At(file, at + 8);
    section.virtualAddress = le32At(file, at + 12);
    section.rawSize = le32At(file, at + 16);
    section.rawOffset = le32At(file, at + 20);
    // The loader reads section data from the file alignment boundary below the stated offset.
    if (fileAlignment >= 0x200) section.rawOffset &= ~std::uint32_t{0x1FF};
    image.sections_.push_back(section);
  }
  return image;
}

std::optional<std::size_t> PeImage::offsetOf(std::uint32_t rva) const {
  for (const Section& section : sections_) {
    const std::uint32_t extent = std::max(section.virtualSize, section.rawSize);
    if (rva < section.virtualAddress || rva - section.virtualAddress >= extent) continue;
    const std::uint32_t delta = rva - section.virtualAddress;
    if (delta >= section.rawSize) return std::nullopt;  // in memory only (zero-filled), not in the file
    const std::uint64_t offset = std::uint64_t{section.rawOffset} + delta;
    if (offset >= file_.size()) return std::nullopt;
    return static_cast<std::size_t>(offset);
  }
  if (rva < sizeOfHeaders_ && rva < file_.size()) return rva;
  return std::nullopt;
}

std::optional<Bytes> PeImage::bytesAt(std::uint32_t rva, std::uint32_t size) const {
  auto offset = offsetOf(rva);
  if (!offset) return std::nullopt;
  std::uint64_t limit = file_.size() - *offset;
  bool inSection = false;
  for (const Section& section : sections_) {
    const std::uint32_t extent = std::max(section.virtualSize, section.rawSize);
    if (rva >= section.virtualAddress && rva - section.virtualAddress < extent) {
      limit = std::min<std::uint64_t>(limit, section.rawSize - (rva - section.virtualAddress));
      inSection = true;
      break;
    }
  }
  if (!inSection) limit = std::min<std::uint64_t>(limit, sizeOfHeaders_ - rva);
  return file_.subspan(*offset, static_cast<std::size_t>(std::min<std::uint64_t>(limit, size)));
}

}  // namespace delvix::formats::pe
