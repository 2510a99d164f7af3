#include "formats/pe/pe_image.h"

#include <algorithm>

#include "formats/pe/module_headers.h"

namespace delvix::formats::pe {

namespace {

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

std::optional<PeImage> PeImage::parse(Bytes file, std::string& whyNot) {
  auto image = parseHeaders(std::make_shared<MemorySource>(file), whyNot);
  if (image) image->memory_ = file;
  return image;
}

std::optional<PeImage> PeImage::parse(Bytes file) {
  std::string whyNot;
  return parse(file, whyNot);
}

std::optional<PeImage> PeImage::parse(std::shared_ptr<ByteSource> source) {
  std::string whyNot;
  return parse(std::move(source), whyNot);
}

std::optional<PeImage> PeImage::parse(std::shared_ptr<ByteSource> source, std::string& whyNot) {
  return parseHeaders(std::move(source), whyNot);
}

std::optional<PeImage> PeImage::parseHeaders(std::shared_ptr<ByteSource> source, std::string& whyNot) {
  const std::uint64_t fileSize = source->size();
  const Bytes dos = source->read(0, 0x40);
  if (dos.size() < 0x40 || dos[0] != 'M' || dos[1] != 'Z') {
    whyNot = "This is not a program module: it does not begin with an \"MZ\" header of 64 bytes.";
    return std::nullopt;
  }
  const std::uint32_t peOffset = le32At(dos, 0x3C);
  const std::string fileText = "the file (" + std::to_string(fileSize) + " bytes)";
  if (peOffset >= fileSize) {
    whyNot = "The PE header offset " + hexText(peOffset) + " (at byte 0x3C) lies beyond the end of " + fileText + ".";
    return std::nullopt;
  }
  constexpr std::size_t headSize = 4 + coffHeaderSize + 2;
  const Bytes head = source->read(peOffset, headSize);
  auto isSignature = [&] {
    return head.size() >= 4 && head[0] == 'P' && head[1] == 'E' && head[2] == 0 && head[3] == 0;
  };
  if (!isSignature()) {
    whyNot = "There is no \"PE\" signature at byte " + hexText(peOffset) +
             ", where the PE header offset (at byte 0x3C) points.";
    return std::nullopt;
  }
  if (head.size() < headSize) {
    whyNot = "The PE header at byte " + hexText(peOffset) + " is cut short: " + fileText + " holds " +
             std::to_string(head.size()) + " of its " + std::to_string(headSize) + " bytes.";
    return std::nullopt;
  }

  PeImage image;
  image.source_ = std::move(source);
  const std::uint16_t sectionCount = le16At(head, 4 + 2);
  const std::uint16_t optionalSize = le16At(head, 4 + 16);
  const std::uint16_t magic = le16At(head, 4 + coffHeaderSize);
  if (magic != pe32Magic && magic != pe32PlusMagic) {
    whyNot = "The optional header at byte " + hexText(std::uint64_t{peOffset} + 4 + coffHeaderSize) +
             " is of the unknown kind " + hexText(magic) + ".";
    return std::nullopt;
  }
  image.is64Bit_ = magic == pe32PlusMagic;
  const std::uint64_t optional = std::uint64_t{peOffset} + 4 + coffHeaderSize;
  const Bytes optionalHeader = image.source_->read(optional, optionalSize);
  if (optionalHeader.size() < optionalSize)
    image.warnings_.push_back("The optional header at byte " + hexText(optional) + " is cut short: " + fileText +
                              " holds " + std::to_string(optionalHeader.size()) + " of its " +
                              std::to_string(optionalSize) + " bytes; the fields it lacks read as 0.");

  // Fields the optional header may lack when it is cut short read as 0.
  auto optionalField = [&](std::size_t at) -> std::uint32_t {
    return at + 4 <= optionalHeader.size() ? le32At(optionalHeader, at) : 0;
  };
  const std::uint32_t fileAlignment = optionalField(36);
  image.sizeOfHeaders_ = optionalField(60);
  const std::size_t directoryCountAt = image.is64Bit_ ? 108 : 92;
  const std::size_t directoriesAt = directoryCountAt + 4;
  const std::uint32_t directoryCount = optionalField(directoryCountAt);
  if (directoryCount > directoryResource) {
    image.resourceRva_ = optionalField(directoriesAt + 8 * directoryResource);
    image.resourceSize_ = optionalField(directoriesAt + 8 * directoryResource + 4);
  }
  if (directoryCount > directoryCertificate)
    image.certificateSize_ = optionalField(directoriesAt + 8 * directoryCertificate + 4);

  const std::uint64_t tableAt = optional + optionalSize;
  const std::uint64_t available = tableAt < fileSize ? (fileSize - tableAt) / sectionHeaderSize : 0;
  std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>({sectionCount, available, maxSections}));
  const Bytes table = image.source_->read(tableAt, count * sectionHeaderSize);
  count = std::min(count, table.size() / sectionHeaderSize);
  if (count < sectionCount)
    image.warnings_.push_back("The module lists " + std::to_string(sectionCount) + " sections; " +
                              std::to_string(count) + " are read.");
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = i * sectionHeaderSize;
    Section section;
    section.virtualSize = le32At(table, at + 8);
    section.virtualAddress = le32At(table, at + 12);
    section.rawSize = le32At(table, at + 16);
    section.rawOffset = le32At(table, at + 20);
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
    if (offset >= source_->size()) return std::nullopt;
    return static_cast<std::size_t>(offset);
  }
  if (rva < sizeOfHeaders_ && rva < source_->size()) return rva;
  return std::nullopt;
}

std::optional<Bytes> PeImage::bytesAt(std::uint32_t rva, std::uint32_t size) const {
  auto offset = offsetOf(rva);
  if (!offset) return std::nullopt;
  std::uint64_t limit = source_->size() - *offset;
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
  return source_->read(*offset, static_cast<std::size_t>(std::min<std::uint64_t>(limit, size)));
}

}  // namespace delvix::formats::pe
