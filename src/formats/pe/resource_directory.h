#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "formats/byte_reader.h"
#include "formats/pe/pe_image.h"
#include "model/node.h"

namespace delvix::formats::pe {

// Resource type ids.
inline constexpr std::uint32_t rtCursor = 1;
inline constexpr std::uint32_t rtBitmap = 2;
inline constexpr std::uint32_t rtIcon = 3;
inline constexpr std::uint32_t rtGroupCursor = 12;
inline constexpr std::uint32_t rtGroupIcon = 14;

enum class LookupStatus {
  found,
  notFound,    // no such type, name or language entry
  unloadable,  // the data entry is unreadable or its data is not stored in the file
  unlockable,  // the data starts in the file but none of its bytes are there
};

// The language of a resource: its id as stored (none for a named entry), and whether it is the first of its
// name's languages, which stands for the resource wherever a name alone is looked up.
struct ResourceLanguage {
  std::optional<std::uint32_t> id;
  bool first = true;
};

struct ResourceData {
  LookupStatus status = LookupStatus::notFound;
  Bytes bytes;                     // cut to what the file holds
  std::uint32_t declaredSize = 0;  // what the data entry says
  std::uint32_t language = 0;      // the language entry's id (1033 for English, United States)
};

// The resource directory tree (type, name, language) of a module, read from the file's bytes.
// Every offset is checked; a directory reached twice on one path, or listing more entries than
// the file can hold, is not followed further. Each type's names are read once; a lookup costs
// O(log n), and the names read together take no more characters than the file has bytes, however
// many entries share one string.
class ResourceDirectory {
 public:
  // Nullopt when the module has no resource directory, or its root cannot be read.
  static std::optional<ResourceDirectory> open(const PeImage& image);

  // The names of one type, in stored order (named entries first, then numeric ones, as stored).
  std::vector<model::ResourceName> names(std::uint32_t type);
  // The languages of a resource, in stored order: the first entry's (none when it is named), then the others up
  // to the first out of ascending order. Together the resources' languages take no more entries than the file
  // can hold.
  std::vector<ResourceLanguage> languages(std::uint32_t type, const model::ResourceName& name);
  // The data of the first language of a resource.
  ResourceData find(std::uint32_t type, const model::ResourceName& name);
  // The data of the resource in `language`; the first language when `language` is the first or has no id.
  ResourceData find(std::uint32_t type, const model::ResourceName& name, const ResourceLanguage& language);

  // Problems met so far, for the message log (each told once).
  const std::vector<std::string>& warnings() const { return warnings_; }

 private:
  static constexpr std::size_t entrySize = 8;

  struct Entry {
    bool named = false;
    std::uint32_t id = 0;  // numeric id, or the offset of the string name
    bool isDirectory = false;
    std::uint32_t offset = 0;  // of the subdirectory or the data entry, from the directory's start
  };

  // The name level of one type, indexed once so that finding many resources stays fast.
  struct TypeIndex {
    std::vector<model::ResourceName> names;
    std::map<std::uint32_t, Entry> byId;
    std::map<std::string, Entry> byUpperName;  // the first entry of each name
    std::uint32_t offset = 0;
  };

  explicit ResourceDirectory(const PeImage& image)
      : image_(&image),
        nameUnitsLeft_(static_cast<std::size_t>(image.fileSize())),
        languageEntriesLeft_(static_cast<std::size_t>(image.fileSize() / entrySize)),
        languagesToListLeft_(languageEntriesLeft_) {}

  const TypeIndex* typeIndex(std::uint32_t type);
  // The language level of one resource, indexed once.
  struct LanguageIndex {
    std::vector<ResourceLanguage> languages;
    std::map<std::uint32_t, Entry> others;  // the first entry of each numeric language
    std::uint32_t offset = 0;
  };
  const LanguageIndex* languageIndex(std::uint32_t type, const model::ResourceName& name);
  // The offset of the language directory of a resource, when it has one.
  std::optional<std::uint32_t> languageDirectory(std::uint32_t type, const model::ResourceName& name);
  ResourceData dataOf(const Entry& languageEntry, std::uint32_t directory);

  // Reads the entries of the directory at `offset`, up to `wanted` of them.
  std::optional<std::vector<Entry>> readDirectory(std::uint32_t offset, std::size_t wanted = SIZE_MAX);
  std::optional<std::string> readName(std::uint32_t offset);
  // The subdirectory that `entry` (found in `parent`) leads to, unless it is one of the directories on `path`.
  std::optional<std::uint32_t> follow(const Entry& entry, std::uint32_t parent, const std::vector<std::uint32_t>& path);
  void warn(std::string text);

  const PeImage* image_;
  std::map<std::uint32_t, std::optional<TypeIndex>> types_;
  std::map<std::uint32_t, LanguageIndex> languageIndexes_;  // by the directory's offset
  std::size_t nameUnitsLeft_;
  // Language entries that may still be read, and listed: directories reached from many names, or at many
  // offsets, cannot list more.
  std::size_t languageEntriesLeft_;
  std::size_t languagesToListLeft_;
  std::vector<std::string> warnings_;
  std::set<std::string> warned_;
};

}  // namespace delvix::formats::pe
