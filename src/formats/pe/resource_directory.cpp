#include "formats/pe/resource_directory.h"

#include <algorithm>

#include "formats/le_bytes.h"
#include "formats/pe/resource_format.h"
#include "formats/pe/utf16.h"

namespace delvix::formats::pe {

namespace {

using namespace resource_format;

std::string hex(std::uint32_t value) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text = "0x";
  bool started = false;
  for (int shift = 28; shift >= 0; shift -= 4) {
    unsigned digit = (value >> shift) & 0xF;
    if (digit || started || shift == 0) {
      text += digits[digit];
      started = true;
    }
  }
  return text;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upperCase(std::string text) {
  for (char& c : text) c = upper(c);
  return text;
}

}  // namespace

std::optional<ResourceDirectory> ResourceDirectory::open(const PeImage& image) {
  if (image.resourceRva() == 0) return std::nullopt;
  ResourceDirectory directory(image);
  if (!directory.readDirectory(0)) return std::nullopt;
  return directory;
}

void ResourceDirectory::warn(std::string text) {
  if (warned_.insert(text).second) warnings_.push_back(std::move(text));
}

std::optional<std::vector<ResourceDirectory::Entry>> ResourceDirectory::readDirectory(std::uint32_t offset,
                                                                                      std::size_t wanted) {
  const std::uint64_t rva = std::uint64_t{image_->resourceRva()} + offset;
  if (rva > 0xFFFFFFFFu) return std::nullopt;
  auto header = image_->bytesAt(static_cast<std::uint32_t>(rva), directoryHeaderSize);
  if (!header || header->size() < directoryHeaderSize) {
    warn("The resource directory at " + hex(offset) + " is not in the file.");
    return std::nullopt;
  }
  const std::size_t declared = std::size_t{le16(*header, 12)} + le16(*header, 14);
  // Only the entries asked for are read.
  const std::size_t reading = std::min(declared, wanted);
  auto bytes = image_->bytesAt(static_cast<std::uint32_t>(rva),
                               static_cast<std::uint32_t>(directoryHeaderSize + reading * entrySize));
  if (!bytes) return std::nullopt;
  ByteReader reader(*bytes);
  reader.skip(directoryHeaderSize);
  const std::size_t fitting = reader.remaining() / entrySize;
  const std::size_t count = std::min(reading, fitting);
  if (count < reading)
    warn("The resource directory at " + hex(offset) + " lists " + std::to_string(declared) + " entries; " +
         std::to_string(count) + " are in the file.");

  std::vector<Entry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t name = *reader.u32();
    const std::uint32_t target = *reader.u32();
    Entry entry;
    entry.named = (name & highBit) != 0;
    entry.id = name & ~highBit;
    entry.isDirectory = (target & highBit) != 0;
    entry.offset = target & ~highBit;
    entries.push_back(entry);
  }
  return entries;
}

std::optional<std::string> ResourceDirectory::readName(std::uint32_t offset) {
  const std::uint64_t rva = std::uint64_t{image_->resourceRva()} + offset;
  auto lengthBytes = rva <= 0xFFFFFFFFu ? image_->bytesAt(static_cast<std::uint32_t>(rva), 2) : std::nullopt;
  if (!lengthBytes || lengthBytes->size() < 2) {
    warn("The resource name at " + hex(offset) + " is not in the file.");
    return std::nullopt;
  }
  const std::uint16_t length = le16(*lengthBytes, 0);
  auto bytes = image_->bytesAt(static_cast<std::uint32_t>(rva), 2 + std::uint32_t{length} * 2);
  if (!bytes) return std::nullopt;
  ByteReader reader(*bytes);
  reader.skip(2);
  const std::size_t units = std::min<std::size_t>(length, reader.remaining() / 2);
  if (units > nameUnitsLeft_) {
    warn("The resource names are longer together than the file; the later names are not read.");
    nameUnitsLeft_ = 0;
    return std::nullopt;
  }
  nameUnitsLeft_ -= units;
  auto text = reader.bytes(std::size_t{length} * 2);
  if (!text) {
    warn("The resource name at " + hex(offset) + " is cut short.");
    text = reader.bytes(reader.remaining() & ~std::size_t{1});
  }
  return utf16ToUtf8(*text);
}

std::optional<std::uint32_t> ResourceDirectory::follow(const Entry& entry, std::uint32_t parent,
                                                       const std::vector<std::uint32_t>& path) {
  if (!entry.isDirectory) {
    warn("A resource directory entry at " + hex(parent) + " leads to data where a directory belongs.");
    return std::nullopt;
  }
  if (std::find(path.begin(), path.end(), entry.offset) != path.end()) {
    warn("The resource directory at " + hex(entry.offset) + " is reached again in a loop; it is not followed.");
    return std::nullopt;
  }
  return entry.offset;
}

const ResourceDirectory::TypeIndex* ResourceDirectory::typeIndex(std::uint32_t type) {
  auto cached = types_.find(type);
  if (cached != types_.end()) return cached->second ? &*cached->second : nullptr;
  std::optional<TypeIndex>& slot = types_[type];

  auto root = readDirectory(0);
  if (!root) return nullptr;
  auto typeEntry = std::find_if(root->begin(), root->end(), [&](const Entry& e) { return !e.named && e.id == type; });
  if (typeEntry == root->end()) return nullptr;
  auto offset = follow(*typeEntry, 0, {0});
  if (!offset) return nullptr;
  auto entries = readDirectory(*offset);
  if (!entries) return nullptr;

  TypeIndex index;
  index.offset = *offset;
  index.names.reserve(entries->size());
  for (const Entry& entry : *entries) {
    if (!entry.named) {
      index.names.emplace_back(entry.id);
      index.byId.emplace(entry.id, entry);
    } else if (auto name = readName(entry.id)) {
      index.byUpperName.emplace(upperCase(*name), entry);
      index.names.emplace_back(std::move(*name));
    }
  }
  slot = std::move(index);
  return &*slot;
}

std::vector<model::ResourceName> ResourceDirectory::names(std::uint32_t type) {
  const TypeIndex* index = typeIndex(type);
  return index ? index->names : std::vector<model::ResourceName>{};
}

std::optional<std::uint32_t> ResourceDirectory::languageDirectory(std::uint32_t type, const model::ResourceName& name) {
  const TypeIndex* index = typeIndex(type);
  if (!index) return std::nullopt;
  const Entry* nameEntry = nullptr;
  if (const auto* id = std::get_if<std::uint32_t>(&name)) {
    auto it = index->byId.find(*id);
    if (it != index->byId.end()) nameEntry = &it->second;
  } else {
    auto it = index->byUpperName.find(upperCase(std::get<std::string>(name)));
    if (it != index->byUpperName.end()) nameEntry = &it->second;
  }
  if (!nameEntry) return std::nullopt;
  return follow(*nameEntry, index->offset, {0, index->offset});
}

const ResourceDirectory::LanguageIndex* ResourceDirectory::languageIndex(std::uint32_t type,
                                                                         const model::ResourceName& name) {
  auto directory = languageDirectory(type, name);
  if (!directory) return nullptr;
  auto cached = languageIndexes_.find(*directory);
  if (cached != languageIndexes_.end()) return &cached->second;

  // The first language is always listed, as it was before the others were; one more entry is read to tell
  // whether any are left out.
  const std::size_t allowed = std::max<std::size_t>(languageEntriesLeft_, 1);
  auto entries = readDirectory(*directory, allowed + 1);
  if (!entries || entries->empty()) return nullptr;
  if (entries->size() > allowed) {
    warn("The resources list more languages together than the file can hold; the later ones are not read.");
    entries->resize(allowed);
  }
  languageEntriesLeft_ -= std::min(entries->size(), languageEntriesLeft_);

  LanguageIndex index;
  const Entry& first = entries->front();
  index.languages.push_back({first.named ? std::nullopt : std::optional<std::uint32_t>(first.id), true});
  if (!first.named) index.others.emplace(first.id, first);
  // Language entries ascend, each leading to data; the list ends at one that does not, so that a count larger
  // than the directory does not read the bytes after it as languages.
  for (std::size_t i = 1; i < entries->size(); ++i) {
    const Entry& entry = (*entries)[i];
    if (entry.named || entry.isDirectory || (!index.others.empty() && entry.id <= index.others.rbegin()->first)) {
      warn("The language entries of the resource directory at " + hex(*directory) +
           " end at one out of order; the later ones are not read.");
      break;
    }
    index.others.emplace(entry.id, entry);
    index.languages.push_back({entry.id, false});
  }
  index.offset = *directory;
  return &languageIndexes_.emplace(*directory, std::move(index)).first->second;
}

std::vector<ResourceLanguage> ResourceDirectory::languages(std::uint32_t type, const model::ResourceName& name) {
  const LanguageIndex* index = languageIndex(type, name);
  if (!index) return {};
  // Names that share one language directory list its languages each; together no more than the file holds.
  const std::size_t allowed = std::max<std::size_t>(languagesToListLeft_, 1);
  if (index->languages.size() > allowed)
    warn("The resources list more languages together than the file can hold; the later ones are not read.");
  const std::size_t listed = std::min(index->languages.size(), allowed);
  languagesToListLeft_ -= std::min(listed, languagesToListLeft_);
  return {index->languages.begin(), index->languages.begin() + static_cast<std::ptrdiff_t>(listed)};
}

ResourceData ResourceDirectory::find(std::uint32_t type, const model::ResourceName& name) {
  return find(type, name, ResourceLanguage{});
}

ResourceData ResourceDirectory::find(std::uint32_t type, const model::ResourceName& name,
                                     const ResourceLanguage& language) {
  if (language.first || !language.id) {
    // The first language alone is read, however many the resource has.
    auto directory = languageDirectory(type, name);
    if (!directory) return {};
    auto entries = readDirectory(*directory, 1);
    if (!entries || entries->empty()) return {};
    return dataOf(entries->front(), *directory);
  }
  const LanguageIndex* index = languageIndex(type, name);
  if (!index) return {};
  auto entry = index->others.find(*language.id);
  if (entry == index->others.end()) return {};
  return dataOf(entry->second, index->offset);
}

ResourceData ResourceDirectory::dataOf(const Entry& languageEntry, std::uint32_t directory) {
  ResourceData data;
  data.language = languageEntry.id;
  if (languageEntry.isDirectory) {
    warn("The resource directory at " + hex(directory) + " goes deeper than three levels.");
    data.status = LookupStatus::unloadable;
    return data;
  }
  const std::uint64_t entryRva = std::uint64_t{image_->resourceRva()} + languageEntry.offset;
  auto entry =
      entryRva <= 0xFFFFFFFFu ? image_->bytesAt(static_cast<std::uint32_t>(entryRva), dataEntrySize) : std::nullopt;
  if (!entry || entry->size() < dataEntrySize) {
    data.status = LookupStatus::unloadable;
    return data;
  }
  ByteReader reader(*entry);
  const std::uint32_t dataRva = *reader.u32();
  data.declaredSize = *reader.u32();
  auto bytes = image_->bytesAt(dataRva, data.declaredSize);
  if (!bytes) {
    data.status = LookupStatus::unloadable;
    return data;
  }
  if (bytes->empty() && data.declaredSize > 0) {
    data.status = LookupStatus::unlockable;
    return data;
  }
  if (bytes->size() < data.declaredSize)
    warn("A resource of " + std::to_string(data.declaredSize) + " bytes at RVA " + hex(dataRva) + " is cut short to " +
         std::to_string(bytes->size()) + " bytes.");
  data.status = LookupStatus::found;
  data.bytes = *bytes;
  return data;
}

}  // namespace delvix::formats::pe
