#include "formats/pe/module_rewriter.h"

#include <algorithm>

#include "formats/le_bytes.h"
#include "formats/pe/module_headers.h"
#include "formats/pe/resource_layout.h"

namespace delvix::formats::pe {

namespace {

constexpr std::size_t debugEntrySize = 28;
// The loader refuses modules with more sections than this.
constexpr std::size_t maxSections = 96;

bool isPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }
std::uint64_t alignUp(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

// Checks what a rewrite relies on: sane alignments, sections that neither overlap nor run past the file.
bool checkSections(const ModuleHeaders& h, Bytes module, std::string& whyNot) {
  if (!isPowerOfTwo(h.fileAlignment) || !isPowerOfTwo(h.sectionAlignment) || h.fileAlignment > h.sectionAlignment ||
      h.fileAlignment > 0x10000) {
    whyNot = "The module's alignments (file " + hexText(h.fileAlignment) + ", sections " + hexText(h.sectionAlignment) +
             ") are not powers of two with the file's no larger than the sections'.";
    return false;
  }
  const std::size_t tableEnd = h.sectionTableAt + sectionHeaderSize * h.sections.size();
  for (const SectionHeader& s : h.sections) {
    if (s.rawSize && s.rawOffset < tableEnd) {
      whyNot = "The data of the section " + quoted(s.name) + " begins at byte " + hexText(s.rawOffset) +
               ", inside the module's headers.";
      return false;
    }
    if (s.rawSize && std::uint64_t{s.rawOffset} + s.rawSize > module.size()) {
      whyNot = "The section " + quoted(s.name) + " ends at byte " + hexText(std::uint64_t{s.rawOffset} + s.rawSize) +
               ", beyond the end of the file (" + std::to_string(module.size()) + " bytes).";
      return false;
    }
  }
  for (std::size_t i = 0; i < h.sections.size(); ++i)
    for (std::size_t j = i + 1; j < h.sections.size(); ++j) {
      const SectionHeader& a = h.sections[i];
      const SectionHeader& b = h.sections[j];
      const bool fileOverlap = a.rawSize && b.rawSize && a.rawOffset < std::uint64_t{b.rawOffset} + b.rawSize &&
                               b.rawOffset < std::uint64_t{a.rawOffset} + a.rawSize;
      const bool memoryOverlap = a.memorySize() && b.memorySize() &&
                                 a.virtualAddress < std::uint64_t{b.virtualAddress} + b.memorySize() &&
                                 b.virtualAddress < std::uint64_t{a.virtualAddress} + a.memorySize();
      if (fileOverlap || memoryOverlap) {
        whyNot = "The sections " + quoted(a.name) + " and " + quoted(b.name) + " overlap in " +
                 (fileOverlap ? "the file" : "memory") + ".";
        return false;
      }
    }
  return true;
}

// Whether the resource section holds nothing but the resources: it starts with them, and no other data
// directory points into it. Only then may it be written over.
bool holdsOnlyResources(const ModuleHeaders& h, const SectionHeader& section) {
  if (h.directory(directoryResource).address != section.virtualAddress) return false;
  for (std::size_t i = 0; i < h.directories.size(); ++i) {
    if (i == directoryResource || i == directoryCertificate || !h.directories[i].size) continue;
    const std::uint32_t rva = h.directories[i].address;
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.memorySize()) return false;
  }
  return true;
}

std::string freeSectionName(const ModuleHeaders& h) {
  auto taken = [&](const std::string& name) {
    return std::any_of(h.sections.begin(), h.sections.end(), [&](const SectionHeader& s) { return s.name == name; });
  };
  std::string name = ".rsrc";
  for (int n = 1; taken(name); ++n) name = ".rsrc" + std::to_string(n);
  return name;
}

// The section header of the resources, the sizes of the image and the resource data directory.
void writeResourceHeaders(std::vector<std::uint8_t>& out, const ModuleHeaders& h, const SectionHeader& written,
                          std::size_t sectionHeaderAt, bool added, std::uint32_t sizeOfImage,
                          std::uint32_t sizeOfHeaders, std::int64_t initializedDataChange, std::uint64_t size) {
  put32(out, sectionHeaderAt + 8, written.virtualSize);
  put32(out, sectionHeaderAt + 12, written.virtualAddress);
  put32(out, sectionHeaderAt + 16, written.rawSize);
  put32(out, sectionHeaderAt + 20, written.rawOffset);
  if (added) {
    for (std::size_t c = 0; c < 8; ++c)
      out[sectionHeaderAt + c] = c < written.name.size() ? static_cast<std::uint8_t>(written.name[c]) : 0;
    put32(out, sectionHeaderAt + 36, written.characteristics);
    put16(out, h.numberOfSectionsAt(), static_cast<std::uint16_t>(h.sections.size() + 1));
  }
  put32(out, h.sizeOfImageAt(), sizeOfImage);
  put32(out, h.sizeOfHeadersAt(), sizeOfHeaders);
  put32(out, h.sizeOfInitializedDataAt(),
        static_cast<std::uint32_t>(std::int64_t{h.sizeOfInitializedData} + initializedDataChange));
  put32(out, h.directoryAt(directoryResource), written.virtualAddress);
  put32(out, h.directoryAt(directoryResource) + 4, static_cast<std::uint32_t>(size));
}

}  // namespace

bool isSigned(const PeImage& module) { return module.certificateSize() != 0; }

std::optional<RewrittenModule> rewriteResources(Bytes module, const ResourceTree& resources,
                                                const RewriteOptions& options, std::string& whyNot) {
  auto parsed = ModuleHeaders::parse(module, whyNot);
  if (!parsed) return std::nullopt;
  const ModuleHeaders& h = *parsed;
  if (h.directories.size() <= directoryResource) {
    whyNot = "The module's optional header has no entry for a resource directory.";
    return std::nullopt;
  }
  if (!checkSections(h, module, whyNot)) return std::nullopt;

  RewrittenModule result;
  const std::uint64_t oldEnd = h.endOfSections();
  if (oldEnd > module.size()) {
    whyNot = "The module's headers (" + std::to_string(h.sizeOfHeaders) + " bytes) run past the end of the file.";
    return std::nullopt;
  }
  // The bytes after the last section, kept after the new end; without the signature when it goes.
  std::uint64_t certificateAt = module.size();
  std::uint64_t certificateSize = 0;
  const DataDirectory certificate = h.directory(directoryCertificate);
  if (certificate.size) {
    if (!options.stripSignature) {
      whyNot =
          "The module is signed (Authenticode); a change would break the signature, so it is left as it is unless "
          "the signature is removed.";
      return std::nullopt;
    }
    if (certificate.address < oldEnd || !rangeFits(certificate.address, certificate.size, module.size())) {
      whyNot = "The module's signature (" + std::to_string(certificate.size) + " bytes at byte " +
               hexText(certificate.address) + ") does not lie after the last section, where a signature is removed.";
      return std::nullopt;
    }
    certificateAt = certificate.address;
    certificateSize = certificate.size;
    result.notes.push_back("The module's signature was removed.");
  }

  const DataDirectory oldResources = h.directory(directoryResource);
  const SectionHeader* old = oldResources.address ? h.sectionOf(oldResources.address) : nullptr;
  if (old && (old->characteristics & (scnCntCode | scnMemExecute))) {
    whyNot = "The resources lie in the section " + quoted(old->name) +
             ", which also holds code; writing them there could change the program.";
    return std::nullopt;
  }

  const ResourceSectionPlan plan = planResourceSection(resources);
  const std::uint64_t size = plan.size;
  std::uint32_t lastVirtualEnd = 0;  // where the image's last section ends in memory
  for (const SectionHeader& s : h.sections)
    lastVirtualEnd =
        std::max<std::uint32_t>(lastVirtualEnd, static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                                    std::uint64_t{s.virtualAddress} + s.memorySize(), 0xFFFFFFFFu)));

  enum class Placement { unchanged, inPlace, grown, newSection } placement = Placement::newSection;
  if (resources.entries.empty() && !oldResources.address) {
    placement = Placement::unchanged;  // nothing to write, and nowhere it was
  } else if (old && holdsOnlyResources(h, *old)) {
    const bool lastInMemory = std::uint64_t{old->virtualAddress} + old->memorySize() >= lastVirtualEnd;
    const bool lastInFile = std::uint64_t{old->rawOffset} + old->rawSize >= oldEnd;
    std::uint64_t memoryRoom =
        alignUp(std::uint64_t{old->virtualAddress} + old->memorySize(), h.sectionAlignment) - old->virtualAddress;
    for (const SectionHeader& s : h.sections)
      if (s.virtualAddress > old->virtualAddress)
        memoryRoom = std::min<std::uint64_t>(memoryRoom, s.virtualAddress - old->virtualAddress);
    if (size <= old->rawSize && (size <= memoryRoom || lastInMemory))
      placement = Placement::inPlace;
    else if (lastInMemory && lastInFile)
      placement = Placement::grown;
  }

  std::vector<std::uint8_t> out;
  out.reserve(
      static_cast<std::size_t>(oldEnd + alignUp(size, h.fileAlignment) + h.fileAlignment + (module.size() - oldEnd)));
  std::uint32_t sectionRva = 0;
  std::uint32_t sizeOfImage = h.sizeOfImage;
  std::uint32_t sizeOfHeaders = h.sizeOfHeaders;
  std::int64_t initializedDataChange = 0;
  std::size_t sectionHeaderAt = 0;
  SectionHeader written;
  if (placement == Placement::unchanged) {
    out.assign(module.begin(), module.begin() + static_cast<std::ptrdiff_t>(oldEnd));
  } else if (placement == Placement::inPlace || placement == Placement::grown) {
    written = *old;
    sectionHeaderAt = old->at;
    sectionRva = old->virtualAddress;
    // Shrunk in place, the section gives back its file space: the bytes after it move up (zeros left there would
    // be most of some files, and tools read a file that is mostly zeros as cut short).
    const std::uint64_t rawSize = placement == Placement::inPlace
                                      ? std::min<std::uint64_t>(old->rawSize, alignUp(size, h.fileAlignment))
                                      : alignUp(size, h.fileAlignment);
    if (std::uint64_t{old->rawOffset} + rawSize > 0xFFFFFFFFu ||
        std::uint64_t{old->virtualAddress} + size > 0xFFFFFFFFu) {
      whyNot = "The resources (" + std::to_string(size) + " bytes) do not fit in a module.";
      return std::nullopt;
    }
    written.rawSize = static_cast<std::uint32_t>(rawSize);
    written.virtualSize = static_cast<std::uint32_t>(size);
    if (old->characteristics & scnCntInitializedData)
      initializedDataChange = std::int64_t{written.rawSize} - old->rawSize;
    if (std::uint64_t{old->virtualAddress} + old->memorySize() >= lastVirtualEnd)
      sizeOfImage = static_cast<std::uint32_t>(alignUp(std::uint64_t{old->virtualAddress} + size, h.sectionAlignment));
    out.assign(module.begin(), module.begin() + static_cast<std::ptrdiff_t>(old->rawOffset));
    out.resize(std::size_t{old->rawOffset} + written.rawSize, 0);
    writeResourceSection(plan, resources, sectionRva, std::span(out).subspan(old->rawOffset, plan.size));
    if (placement == Placement::inPlace) {
      const std::uint64_t after = std::uint64_t{old->rawOffset} + old->rawSize;
      out.insert(out.end(), module.begin() + static_cast<std::ptrdiff_t>(after),
                 module.begin() + static_cast<std::ptrdiff_t>(oldEnd));
    }
  } else {
    if (h.sections.size() >= maxSections) {
      whyNot = "The module has " + std::to_string(h.sections.size()) + " sections, the most a module may have.";
      return std::nullopt;
    }
    const std::size_t tableEnd = h.sectionTableAt + sectionHeaderSize * h.sections.size();
    std::uint64_t firstData = module.size();
    std::uint64_t firstAddress = 0xFFFFFFFFu;
    for (const SectionHeader& s : h.sections) {
      if (s.rawSize) firstData = std::min<std::uint64_t>(firstData, s.rawOffset);
      firstAddress = std::min<std::uint64_t>(firstAddress, s.virtualAddress);
    }
    const std::uint64_t newHeadersSize =
        std::max<std::uint64_t>(h.sizeOfHeaders, alignUp(tableEnd + sectionHeaderSize, h.fileAlignment));
    const bool gapIsFree = tableEnd + sectionHeaderSize <= module.size() &&
                           std::all_of(module.begin() + static_cast<std::ptrdiff_t>(tableEnd),
                                       module.begin() + static_cast<std::ptrdiff_t>(tableEnd + sectionHeaderSize),
                                       [](std::uint8_t b) { return b == 0; });
    if (tableEnd + sectionHeaderSize > firstData || newHeadersSize > firstData || newHeadersSize > firstAddress ||
        !gapIsFree) {
      whyNot =
          "The resources need a new section, but there is no room for another section header after the "
          "section table (it ends at byte " +
          hexText(tableEnd) + "; the first section's data begins at byte " + hexText(firstData) +
          (gapIsFree ? "" : ", and the bytes between are in use") + ").";
      return std::nullopt;
    }
    sizeOfHeaders = static_cast<std::uint32_t>(newHeadersSize);
    const std::uint64_t virtualAddress =
        alignUp(std::max<std::uint64_t>({lastVirtualEnd, h.sizeOfImage, newHeadersSize}), h.sectionAlignment);
    const std::uint64_t rawOffset = alignUp(std::max(oldEnd, newHeadersSize), h.fileAlignment);
    const std::uint64_t rawSize = alignUp(size, h.fileAlignment);
    if (virtualAddress + alignUp(size, h.sectionAlignment) > 0xFFFFFFFFu || rawOffset + rawSize > 0xFFFFFFFFu) {
      whyNot = "The resources (" + std::to_string(size) + " bytes) do not fit in the module.";
      return std::nullopt;
    }
    written.name = freeSectionName(h);
    written.virtualAddress = static_cast<std::uint32_t>(virtualAddress);
    written.virtualSize = static_cast<std::uint32_t>(size);
    written.rawOffset = static_cast<std::uint32_t>(rawOffset);
    written.rawSize = static_cast<std::uint32_t>(rawSize);
    written.characteristics = scnCntInitializedData | scnMemRead;
    sectionHeaderAt = tableEnd;
    sectionRva = written.virtualAddress;
    sizeOfImage = static_cast<std::uint32_t>(alignUp(virtualAddress + size, h.sectionAlignment));
    initializedDataChange = std::int64_t{written.rawSize};
    out.assign(module.begin(), module.begin() + static_cast<std::ptrdiff_t>(oldEnd));
    out.resize(static_cast<std::size_t>(rawOffset + rawSize), 0);
    writeResourceSection(plan, resources, sectionRva,
                         std::span(out).subspan(static_cast<std::size_t>(rawOffset), plan.size));
    result.notes.push_back("The resources were moved into a new section \"" + written.name +
                           "\" at the end of the module.");
  }
  // Where a file offset of the module lies in `out` (the data after a section shrunk in place moved up).
  const std::uint64_t shrunkFrom = placement == Placement::inPlace ? std::uint64_t{old->rawOffset} + old->rawSize : 0;
  const std::uint64_t shrunkBy = placement == Placement::inPlace ? old->rawSize - written.rawSize : 0;
  auto nowAt = [&](std::uint64_t offset) {
    return shrunkBy && offset >= shrunkFrom && offset < oldEnd ? offset - shrunkBy : offset;
  };
  const std::uint64_t newEnd = out.size();
  auto moved = [&](std::uint64_t offset) {  // where a file offset into the overlay lies now
    return offset + newEnd - oldEnd - (offset >= certificateAt + certificateSize ? certificateSize : 0);
  };
  out.insert(out.end(), module.begin() + static_cast<std::ptrdiff_t>(oldEnd),
             module.begin() +
                 static_cast<std::ptrdiff_t>(std::max(oldEnd, std::min<std::uint64_t>(certificateAt, module.size()))));
  if (certificateAt < module.size())
    out.insert(out.end(), module.begin() + static_cast<std::ptrdiff_t>(certificateAt + certificateSize), module.end());

  if (placement != Placement::unchanged)
    writeResourceHeaders(out, h, written, sectionHeaderAt, placement == Placement::newSection, sizeOfImage,
                         sizeOfHeaders, initializedDataChange, size);
  if (shrunkBy)
    for (const SectionHeader& s : h.sections)
      if (s.rawSize && s.rawOffset >= shrunkFrom)
        put32(out, s.at + 20, static_cast<std::uint32_t>(le32(module, s.at + 20) - shrunkBy));
  if (certificateSize) {
    put32(out, h.directoryAt(directoryCertificate), 0);
    put32(out, h.directoryAt(directoryCertificate) + 4, 0);
  }
  // File offsets into the overlay move with it: the COFF symbol table, debug data stored outside the sections.
  if (h.pointerToSymbolTable >= oldEnd && h.pointerToSymbolTable < module.size())
    put32(out, h.pointerToSymbolTableAt(), static_cast<std::uint32_t>(moved(h.pointerToSymbolTable)));
  else if (nowAt(h.pointerToSymbolTable) != h.pointerToSymbolTable)
    put32(out, h.pointerToSymbolTableAt(), static_cast<std::uint32_t>(nowAt(h.pointerToSymbolTable)));
  const DataDirectory debug = h.directory(directoryDebug);
  if (auto debugAt = debug.size ? h.offsetOf(debug.address) : std::nullopt) {
    // Entries in bytes the resources were written over are gone; the others move with the bytes they lie in.
    auto overwritten = [&](std::uint64_t at) {
      return old && placement != Placement::newSection && at + debugEntrySize > old->rawOffset &&
             at < std::uint64_t{old->rawOffset} + old->rawSize;
    };
    for (std::size_t k = 0; k < debug.size / debugEntrySize; ++k) {
      const std::size_t entryAt = *debugAt + k * debugEntrySize;
      if (!rangeFits(entryAt, debugEntrySize, oldEnd)) break;
      const std::uint32_t pointer = le32(module, entryAt + 24);
      if (overwritten(entryAt)) continue;
      if (pointer >= oldEnd && pointer < module.size())
        put32(out, nowAt(entryAt) + 24, static_cast<std::uint32_t>(moved(pointer)));
      else if (nowAt(pointer) != pointer)
        put32(out, nowAt(entryAt) + 24, static_cast<std::uint32_t>(nowAt(pointer)));
    }
  }
  if (h.checkSum != 0) put32(out, h.checkSumAt(), moduleCheckSum(out, h.checkSumAt()));
  result.bytes = std::move(out);
  return result;
}

}  // namespace delvix::formats::pe
