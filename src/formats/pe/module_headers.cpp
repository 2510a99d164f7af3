#include "formats/pe/module_headers.h"

#include <algorithm>

#include "formats/le_bytes.h"

namespace delvix::formats::pe {

namespace {

constexpr std::size_t maxDirectories = 16;

}  // namespace

std::string hexText(std::uint64_t value) {
  constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), digits[value % 16]);
    value /= 16;
  } while (value != 0);
  return "0x" + text;
}

std::optional<ModuleHeaders> ModuleHeaders::parse(Bytes file, std::string& whyNot) {
  if (file.size() < 0x40 || file[0] != 'M' || file[1] != 'Z') {
    whyNot = "This is not a program module: it does not begin with an \"MZ\" header of 64 bytes.";
    return std::nullopt;
  }
  const std::uint32_t peAt = le32(file, 0x3C);
  if (!rangeFits(peAt, 4 + coffHeaderSize, file.size()) || file[peAt] != 'P' || file[peAt + 1] != 'E' ||
      file[peAt + 2] != 0 || file[peAt + 3] != 0) {
    whyNot = "There is no whole \"PE\" header at byte " + hexText(peAt) + ".";
    return std::nullopt;
  }
  if (peAt < 0x40) {
    whyNot = "The PE header at byte " + hexText(peAt) + " overlaps the 64-byte DOS header.";
    return std::nullopt;
  }
  ModuleHeaders h;
  h.coffAt = peAt + 4;
  const std::uint16_t sectionCount = le16(file, h.coffAt + 2);
  h.pointerToSymbolTable = le32(file, h.coffAt + 8);
  h.optionalSize = le16(file, h.coffAt + 16);
  h.optionalAt = h.coffAt + coffHeaderSize;
  if (!rangeFits(h.optionalAt, h.optionalSize, file.size()) || h.optionalSize < 2) {
    whyNot = "The optional header at byte " + hexText(h.optionalAt) + " is not in the file.";
    return std::nullopt;
  }
  const Bytes optional = file.subspan(h.optionalAt, h.optionalSize);
  const std::uint16_t magic = le16(optional, 0);
  if (magic != pe32Magic && magic != pe32PlusMagic) {
    whyNot = "The optional header at byte " + hexText(h.optionalAt) + " is of the unknown kind " + hexText(magic) + ".";
    return std::nullopt;
  }
  h.is64Bit = magic == pe32PlusMagic;
  const std::size_t countAt = h.is64Bit ? 108 : 92;
  if (optional.size() < countAt + 4) {
    whyNot = "The optional header at byte " + hexText(h.optionalAt) + " is " + std::to_string(optional.size()) +
             " bytes long, too short to hold the fields a change updates.";
    return std::nullopt;
  }
  h.sizeOfInitializedData = le32(optional, 8);
  h.sectionAlignment = le32(optional, 32);
  h.fileAlignment = le32(optional, 36);
  h.sizeOfImage = le32(optional, 56);
  h.sizeOfHeaders = le32(optional, 60);
  h.checkSum = le32(optional, 64);
  h.directoriesAt = h.optionalAt + countAt + 4;
  const std::uint32_t declared = le32(optional, countAt);
  const std::size_t fitting = (optional.size() - countAt - 4) / 8;
  const std::size_t count = std::min<std::size_t>({declared, fitting, maxDirectories});
  for (std::size_t i = 0; i < count; ++i)
    h.directories.push_back({le32(optional, countAt + 4 + 8 * i), le32(optional, countAt + 8 + 8 * i)});

  h.sectionTableAt = h.optionalAt + h.optionalSize;
  if (!rangeFits(h.sectionTableAt, std::size_t{sectionCount} * sectionHeaderSize, file.size())) {
    whyNot = "The section table at byte " + hexText(h.sectionTableAt) + " lists " + std::to_string(sectionCount) +
             " sections, more than the file holds.";
    return std::nullopt;
  }
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::size_t at = h.sectionTableAt + i * sectionHeaderSize;
    SectionHeader section;
    section.at = at;
    for (std::size_t c = 0; c < 8 && file[at + c] != 0; ++c) section.name += static_cast<char>(file[at + c]);
    section.virtualSize = le32(file, at + 8);
    section.virtualAddress = le32(file, at + 12);
    section.rawSize = le32(file, at + 16);
    section.rawOffset = le32(file, at + 20);
    // The loader reads section data from the file alignment boundary below the stated offset.
    if (h.fileAlignment >= 0x200) section.rawOffset &= ~std::uint32_t{0x1FF};
    section.characteristics = le32(file, at + 36);
    h.sections.push_back(section);
  }
  return h;
}

const SectionHeader* ModuleHeaders::sectionOf(std::uint32_t rva) const {
  for (const SectionHeader& section : sections)
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.memorySize()) return &section;
  return nullptr;
}

std::optional<std::size_t> ModuleHeaders::offsetOf(std::uint32_t rva) const {
  const SectionHeader* section = sectionOf(rva);
  if (!section || rva - section->virtualAddress >= section->rawSize) return std::nullopt;
  return std::size_t{section->rawOffset} + (rva - section->virtualAddress);
}

std::uint64_t ModuleHeaders::endOfSections() const {
  // The headers end with the section table, whatever SizeOfHeaders says.
  std::uint64_t end = std::max<std::uint64_t>(sizeOfHeaders, sectionTableAt + 40 * sections.size());
  for (const SectionHeader& section : sections)
    if (section.rawSize) end = std::max<std::uint64_t>(end, std::uint64_t{section.rawOffset} + section.rawSize);
  return end;
}

std::uint32_t moduleCheckSum(Bytes file, std::size_t checkSumAt) {
  // A plain sum of the 16-bit words, folded once at the end, equals the sum with the carry folded back at every
  // step; and being exact until then, it lets the checksum field be taken out again.
  const std::size_t size = file.size();
  const std::uint8_t* bytes = file.data();
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at + 1 < size; at += 2) sum += bytes[at] | (std::uint32_t{bytes[at + 1]} << 8);
  if (size % 2) sum += bytes[size - 1];
  for (std::size_t at = checkSumAt; at < size && at - checkSumAt < 4; ++at)
    sum -= at % 2 ? std::uint64_t{bytes[at]} << 8 : bytes[at];
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + size);
}

}  // namespace delvix::formats::pe
