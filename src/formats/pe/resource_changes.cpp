#include "formats/pe/resource_changes.h"

#include <algorithm>
#include <map>
#include <set>
#include <variant>

#include "formats/content_kind.h"
#include "formats/pe/group_resource.h"
#include "formats/pe/resource_directory.h"
#include "formats/pe/resource_files.h"
#include "formats/pe/utf16.h"

namespace delvix::formats::pe {

namespace {

constexpr std::uint32_t highestPictureId = 0xFFFF;

bool isGroup(ResourceKind kind) { return kind == ResourceKind::iconGroup || kind == ResourceKind::cursorGroup; }

std::uint32_t pictureTypeOf(ResourceKind kind) { return kind == ResourceKind::cursorGroup ? rtCursor : rtIcon; }

bool isNumbered(const ResourceEntry& entry, std::uint32_t type) {
  return entry.type == ResourceId::number(type) && !entry.name.isName();
}

std::uint32_t numberOf(const ResourceId& id) { return std::get<std::uint32_t>(id.value); }

// What a file gives a module: an icon or cursor file's pictures, or the bytes of one resource.
using Content = std::variant<IconFilePictures, std::vector<std::uint8_t>>;

std::string fileKindText(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::iconGroup: return "an icon file";
    case ResourceKind::cursorGroup: return "a cursor file";
    case ResourceKind::animatedCursor:
    case ResourceKind::animatedIcon: return "an animated cursor";
    case ResourceKind::bitmap: return "a bitmap file";
  }
  return {};
}

Content contentFor(ResourceKind kind, Bytes file) {
  std::string unused;
  if (isGroup(kind)) return *readIconFilePictures(file, unused);
  if (kind == ResourceKind::bitmap) return *packedBitmapOfBmpFile(file, unused);
  return std::vector<std::uint8_t>(file.begin(), file.end());
}

// The names of `type` in directory order.
std::vector<ResourceId> namesOf(const ResourceTree& resources, std::uint32_t type) {
  std::set<ResourceId> names;
  for (const ResourceEntry& entry : resources.entries)
    if (entry.type == ResourceId::number(type)) names.insert(entry.name);
  return {names.begin(), names.end()};
}

// The lowest numbers from 1 that no resource of `type` has, other than those at the `freed` indexes.
std::vector<std::uint16_t> freeNumbers(const ResourceTree& resources, std::uint32_t type, std::size_t count,
                                       const std::set<std::size_t>& freed) {
  std::set<std::uint32_t> used;
  for (std::size_t i = 0; i < resources.entries.size(); ++i)
    if (isNumbered(resources.entries[i], type) && !freed.contains(i)) used.insert(numberOf(resources.entries[i].name));
  std::vector<std::uint16_t> numbers;
  for (std::uint32_t n = 1; n <= highestPictureId && numbers.size() < count; ++n)
    if (!used.contains(n)) numbers.push_back(static_cast<std::uint16_t>(n));
  return numbers;
}

// The indexes of the pictures that the groups at `groups` (of `kind`) list and no other group does: of each
// number listed, the pictures in the group's language, or in any language when it has none there.
std::set<std::size_t> picturesOnlyOf(const ResourceTree& resources, ResourceKind kind,
                                     const std::set<std::size_t>& groups) {
  const std::uint32_t groupType = resourceTypeOf(kind);
  const std::uint32_t pictureType = pictureTypeOf(kind);
  std::set<std::uint32_t> keptIds;
  for (std::size_t i = 0; i < resources.entries.size(); ++i)
    if (resources.entries[i].type == ResourceId::number(groupType) && !groups.contains(i))
      for (const std::uint16_t id : pictureIdsOfGroup(resources.entries[i].data)) keptIds.insert(id);
  // The pictures by number, so that a group of many entries costs no walk over the whole tree per entry.
  std::map<std::uint32_t, std::vector<std::size_t>> picturesById;
  for (std::size_t i = 0; i < resources.entries.size(); ++i)
    if (isNumbered(resources.entries[i], pictureType)) picturesById[numberOf(resources.entries[i].name)].push_back(i);
  std::set<std::size_t> pictures;
  for (const std::size_t group : groups) {
    const std::uint32_t language = resources.entries[group].language;
    const std::vector<std::uint16_t> listed = pictureIdsOfGroup(resources.entries[group].data);
    for (const std::uint16_t id : std::set<std::uint16_t>(listed.begin(), listed.end())) {
      const auto found = picturesById.find(id);
      if (keptIds.contains(id) || found == picturesById.end()) continue;
      const bool inLanguage =
          std::ranges::any_of(found->second, [&](std::size_t i) { return resources.entries[i].language == language; });
      for (const std::size_t i : found->second)
        if (!inLanguage || resources.entries[i].language == language) pictures.insert(i);
    }
  }
  return pictures;
}

std::string languageText(std::uint32_t language) { return "language " + std::to_string(language); }

std::string languagesText(const std::vector<std::uint32_t>& languages) {
  std::string text;
  for (const std::uint32_t language : languages) text += (text.empty() ? "" : ", ") + std::to_string(language);
  return text;
}

std::string capitalized(std::string_view words) {
  std::string text(words);
  if (!text.empty()) text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

std::optional<ChangeOutcome> putResource(ResourceTree& resources, ResourceKind kind, Bytes file,
                                         const ResourceTarget& target, bool mayReplace, std::string& whyNot) {
  const auto fileKind = kindToPut(kind, file, whyNot);
  if (!fileKind || *fileKind != kind) {
    if (fileKind) whyNot = "the file is " + fileKindText(*fileKind) + ", not " + fileKindText(kind) + ".";
    return std::nullopt;
  }
  Content content = contentFor(kind, file);
  const std::uint32_t type = resourceTypeOf(kind);
  const ResourceId typeId = ResourceId::number(type);

  ChangeOutcome outcome;
  outcome.kind = kind;
  const std::vector<ResourceId> names = namesOf(resources, type);
  if (target.name) {
    outcome.name = *target.name;
  } else if (mayReplace && !names.empty()) {
    outcome.name = names.front();
  } else {
    const auto free = freeNumbers(resources, type, 1, {});
    if (free.empty()) {
      whyNot = "every number of a " + std::string(kindInWords(kind)) + " is taken.";
      return std::nullopt;
    }
    outcome.name = ResourceId::number(free.front());
  }
  std::vector<std::uint32_t> languages;
  for (const ResourceEntry& entry : resources.entries)
    if (entry.type == typeId && entry.name == outcome.name) languages.push_back(entry.language);
  std::ranges::sort(languages);
  outcome.language = target.language ? *target.language : (languages.empty() ? 0 : languages.front());
  const auto existing = std::ranges::find_if(resources.entries, [&](const ResourceEntry& e) {
    return e.type == typeId && e.name == outcome.name && e.language == outcome.language;
  });
  const std::string resourceText =
      std::string(kindInWords(kind)) + " " + resourceIdText(outcome.name) + " (" + languageText(outcome.language) + ")";
  if (existing != resources.entries.end() && !mayReplace) {
    whyNot = "the module has " + resourceText + " already.";
    return std::nullopt;
  }
  outcome.added = existing == resources.entries.end();
  const std::size_t groupAt = static_cast<std::size_t>(existing - resources.entries.begin());
  if (!target.language && languages.size() > 1) {
    std::vector<std::uint32_t> others(languages.begin() + 1, languages.end());
    outcome.notes.push_back(capitalized(kindInWords(kind)) + " " + resourceIdText(outcome.name) +
                            " has other languages too (" + languagesText(others) + "), which were left as they were.");
  }

  std::vector<std::uint8_t> data;
  std::vector<ResourceEntry> pictures;
  std::set<std::size_t> oldPictures;
  if (auto* group = std::get_if<IconFilePictures>(&content)) {
    if (!outcome.added) oldPictures = picturesOnlyOf(resources, kind, {groupAt});
    const std::uint32_t pictureType = pictureTypeOf(kind);
    const auto ids = freeNumbers(resources, pictureType, group->pictures.size(), oldPictures);
    if (ids.size() < group->pictures.size()) {
      whyNot = "the module has no free numbers left for " + std::to_string(group->pictures.size()) + " pictures.";
      return std::nullopt;
    }
    for (std::size_t n = 0; n < ids.size(); ++n)
      pictures.push_back({ResourceId::number(pictureType), ResourceId::number(ids[n]), outcome.language, 0, 0,
                          pictureResourceData(group->pictures[n], group->cursor)});
    data = groupResourceData(*group, ids);
    outcome.pictures = static_cast<int>(ids.size());
  } else {
    data = std::move(std::get<std::vector<std::uint8_t>>(content));
  }

  // The data keeps its place in the file's order; new pictures take the place of the old ones, or come before
  // their group.
  std::vector<ResourceEntry> entries;
  entries.reserve(resources.entries.size() + pictures.size() + 1);
  bool picturesPlaced = false;
  const auto placePictures = [&] {
    if (picturesPlaced) return;
    std::ranges::move(pictures, std::back_inserter(entries));
    picturesPlaced = true;
  };
  for (std::size_t i = 0; i < resources.entries.size(); ++i) {
    if (oldPictures.contains(i)) {
      placePictures();
      continue;
    }
    if (i == groupAt) {
      placePictures();
      resources.entries[i].data = std::move(data);
    }
    entries.push_back(std::move(resources.entries[i]));
  }
  placePictures();
  if (outcome.added) entries.push_back({typeId, outcome.name, outcome.language, 0, 0, std::move(data)});
  resources.entries = std::move(entries);
  return outcome;
}

// `text` (UTF-8; a byte that is not U+FFFD) as UTF-16, with a to z in upper case.
std::u16string upperCaseUtf16(const std::string& text) {
  std::u16string name;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int length = byte < 0x80 ? 1 : (byte >> 5) == 6 ? 2 : (byte >> 4) == 14 ? 3 : (byte >> 3) == 30 ? 4 : 0;
    char32_t c = length == 1 ? byte : length == 2 ? byte & 0x1F : length == 3 ? byte & 0x0F : byte & 0x07;
    bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      valid = (next >> 6) == 2;
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    i += valid ? static_cast<std::size_t>(length) : 1;
    if (c >= 'a' && c <= 'z') c = c - 'a' + 'A';
    if (c >= 0x10000) {
      name += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      name += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      name += static_cast<char16_t>(c);
    }
  }
  return name;
}

}  // namespace

std::string_view kindInWords(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::iconGroup: return "icon group";
    case ResourceKind::cursorGroup: return "cursor group";
    case ResourceKind::animatedCursor: return "animated cursor";
    case ResourceKind::animatedIcon: return "animated icon";
    case ResourceKind::bitmap: return "bitmap";
  }
  return {};
}

std::uint32_t resourceTypeOf(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::iconGroup: return rtGroupIcon;
    case ResourceKind::cursorGroup: return rtGroupCursor;
    case ResourceKind::animatedCursor: return rtAniCursor;
    case ResourceKind::animatedIcon: return rtAniIcon;
    case ResourceKind::bitmap: return rtBitmap;
  }
  return 0;
}

std::optional<ResourceKind> kindOfFile(Bytes file, std::string& whyNot) {
  if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') {
    if (!packedBitmapOfBmpFile(file, whyNot)) return std::nullopt;
    return ResourceKind::bitmap;
  }
  const auto content = contentKindOf(file.first(std::min(file.size(), kindTellingBytes)));
  if (content == ContentKind::icon || content == ContentKind::cursor) {
    if (!readIconFilePictures(file, whyNot)) return std::nullopt;
    return content == ContentKind::icon ? ResourceKind::iconGroup : ResourceKind::cursorGroup;
  }
  if (content == ContentKind::animatedCursor) {
    if (!isAnimatedCursorFile(file, whyNot)) return std::nullopt;
    return ResourceKind::animatedCursor;
  }
  whyNot = "it is no icon, cursor, animated cursor or bitmap file.";
  return std::nullopt;
}

std::optional<ResourceKind> kindToPut(std::optional<ResourceKind> wanted, Bytes file, std::string& whyNot) {
  const auto found = kindOfFile(file, whyNot);
  if (!found || !wanted || *found == *wanted) return found;
  if (*found == ResourceKind::animatedCursor && *wanted != ResourceKind::iconGroup && *wanted != ResourceKind::bitmap)
    return *wanted == ResourceKind::animatedIcon ? ResourceKind::animatedIcon : ResourceKind::animatedCursor;
  whyNot = "the file is " + fileKindText(*found) + ", not " + fileKindText(*wanted) + ".";
  return std::nullopt;
}

std::optional<ChangeOutcome> setResource(ResourceTree& resources, ResourceKind kind, Bytes file,
                                         const ResourceTarget& target, std::string& whyNot) {
  return putResource(resources, kind, file, target, true, whyNot);
}

std::optional<ChangeOutcome> addResource(ResourceTree& resources, ResourceKind kind, Bytes file,
                                         const ResourceTarget& target, std::string& whyNot) {
  return putResource(resources, kind, file, target, false, whyNot);
}

std::optional<ChangeOutcome> removeResource(ResourceTree& resources, ResourceKind kind, const ResourceTarget& target,
                                            std::string& whyNot) {
  const ResourceId typeId = ResourceId::number(resourceTypeOf(kind));
  if (!target.name) {
    whyNot = "the " + std::string(kindInWords(kind)) + " to remove needs a name or number.";
    return std::nullopt;
  }
  std::set<std::size_t> removed;
  for (std::size_t i = 0; i < resources.entries.size(); ++i) {
    const ResourceEntry& entry = resources.entries[i];
    if (entry.type == typeId && entry.name == *target.name && (!target.language || entry.language == *target.language))
      removed.insert(i);
  }
  if (removed.empty()) {
    whyNot = "the module has no " + std::string(kindInWords(kind)) + " " + resourceIdText(*target.name) +
             (target.language ? " in " + languageText(*target.language) : std::string()) + ".";
    std::string present;
    for (const ResourceId& name : namesOf(resources, resourceTypeOf(kind)))
      present += (present.empty() ? "" : ", ") + resourceIdText(name);
    whyNot += present.empty() ? " It has none." : " It has " + present + ".";
    return std::nullopt;
  }
  ChangeOutcome outcome;
  outcome.kind = kind;
  outcome.name = *target.name;
  for (const std::size_t i : removed) outcome.languages.push_back(resources.entries[i].language);
  std::ranges::sort(outcome.languages);
  outcome.language = outcome.languages.front();
  if (isGroup(kind)) {
    const std::set<std::size_t> pictures = picturesOnlyOf(resources, kind, removed);
    outcome.pictures = static_cast<int>(pictures.size());
    removed.insert(pictures.begin(), pictures.end());
  }
  std::vector<ResourceEntry> entries;
  entries.reserve(resources.entries.size() - removed.size());
  for (std::size_t i = 0; i < resources.entries.size(); ++i)
    if (!removed.contains(i)) entries.push_back(std::move(resources.entries[i]));
  resources.entries = std::move(entries);
  return outcome;
}

ResourceId resourceIdFromText(const std::string& text) {
  const std::string_view digits = text.starts_with('#') ? std::string_view(text).substr(1) : std::string_view(text);
  if (!digits.empty() && digits.size() <= 5 &&
      std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; })) {
    const std::uint32_t number = static_cast<std::uint32_t>(std::stoul(std::string(digits)));
    if (number <= highestPictureId) return ResourceId::number(number);
  }
  return ResourceId::name(upperCaseUtf16(text));
}

std::string resourceIdText(const ResourceId& id) {
  if (!id.isName()) return std::to_string(numberOf(id));
  const std::u16string& name = std::get<std::u16string>(id.value);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(2 * name.size());
  for (const char16_t unit : name) {
    bytes.push_back(static_cast<std::uint8_t>(unit));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return utf16ToUtf8(bytes);
}

}  // namespace delvix::formats::pe
