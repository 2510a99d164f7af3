#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "formats/byte_reader.h"
#include "formats/pe/pe_image.h"

namespace delvix::formats::pe {

// An entry's identifier at one level of a resource directory: a name (UTF-16 code units as stored, so that
// whatever a name holds is written back unchanged) or a number.
struct ResourceId {
  std::variant<std::u16string, std::uint32_t> value;

  static ResourceId number(std::uint32_t id) { return {id}; }
  static ResourceId name(std::u16string text) { return {std::move(text)}; }
  bool isName() const { return std::holds_alternative<std::u16string>(value); }
  // The order a directory's entries are stored in: names first (by code unit), then numbers ascending.
  std::strong_ordering operator<=>(const ResourceId& other) const;
  bool operator==(const ResourceId& other) const = default;
};

// The header fields of one directory, kept so that a directory that is written again says what it said.
struct DirectoryStamp {
  std::uint32_t characteristics = 0;
  std::uint32_t timeDateStamp = 0;
  std::uint16_t majorVersion = 0;
  std::uint16_t minorVersion = 0;
};

// One resource: where it sits in the tree (type, name, language) and its data.
struct ResourceEntry {
  ResourceId type;
  ResourceId name;
  std::uint32_t language = 0;
  std::uint32_t codePage = 0;
  std::uint32_t reserved = 0;
  std::vector<std::uint8_t> data;
};

// Every resource of a module, in the order their data is stored in the file, with the stamps of the
// directories that hold them. What a writer lays out from it is the whole resource section.
struct ResourceTree {
  DirectoryStamp root;
  // The stamps of the type and name directories, by the path that leads to them ({type} or {type, name}).
  std::vector<std::pair<std::vector<ResourceId>, DirectoryStamp>> stamps;
  std::vector<ResourceEntry> entries;

  // The entries of `type` and `name`, any language.
  std::vector<ResourceEntry*> find(const ResourceId& type, const ResourceId& name);
  // The names of `type` in the order a directory stores them.
  std::vector<ResourceId> names(const ResourceId& type) const;
};

// Reads the whole resource directory of `image` (parsed from bytes in memory) for rewriting. Nullopt, with the
// reason and where, when a module's resources cannot be rewritten without losing something: an entry outside the
// section, a directory reached twice, data not stored in the file. A module with no resource directory gives an
// empty tree.
std::optional<ResourceTree> readResourceTree(const PeImage& image, std::string& whyNot);

}  // namespace delvix::formats::pe
