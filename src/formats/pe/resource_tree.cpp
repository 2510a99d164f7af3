#include "formats/pe/resource_tree.h"

#include <algorithm>
#include <set>

#include "formats/le_bytes.h"
#include "formats/pe/module_headers.h"
#include "formats/pe/resource_format.h"

namespace delvix::formats::pe {

namespace {

using namespace resource_format;

std::string levelName(std::size_t depth) {
  static const char* const names[] = {"type", "name", "language"};
  return names[depth];
}

// Walks the three levels of a resource directory (types, names, languages), checking every offset against
// the file, refusing a directory reached twice and data copied beyond a budget.
class TreeReader {
 public:
  TreeReader(const PeImage& image, std::string& whyNot)
      : image_(image), whyNot_(whyNot), dataBudget_(2 * image.fileSize() + 4096) {}

  bool read(ResourceTree& tree) {
    struct Placed {
      std::uint32_t dataRva;
      std::size_t order;
      ResourceEntry entry;
    };
    std::vector<Placed> placed;
    std::vector<ResourceId> path;
    auto onData = [&](std::uint32_t dataRva, ResourceEntry entry) {
      placed.push_back({dataRva, placed.size(), std::move(entry)});
    };
    if (!readDirectory(0, tree, path, onData)) return false;
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.dataRva < b.dataRva; });
    tree.entries.reserve(placed.size());
    for (Placed& p : placed) tree.entries.push_back(std::move(p.entry));
    return true;
  }

 private:
  template <typename OnData>
  bool readDirectory(std::uint32_t offset, ResourceTree& tree, std::vector<ResourceId>& path, OnData& onData) {
    if (!visited_.insert(offset).second)
      return fail("The resource directory at " + where(offset) + " is reached a second time.");
    auto header = at(offset, directoryHeaderSize);
    if (!header) return fail("The resource directory at " + where(offset) + " is not in the file.");
    DirectoryStamp stamp{le32(*header, 0), le32(*header, 4), le16(*header, 8), le16(*header, 10)};
    if (path.empty())
      tree.root = stamp;
    else
      tree.stamps.emplace_back(path, stamp);
    const std::size_t count = std::size_t{le16(*header, 12)} + le16(*header, 14);
    auto entries = at(offset + directoryHeaderSize, count * directoryEntrySize);
    if (!entries)
      return fail("The resource directory at " + where(offset) + " lists " + std::to_string(count) +
                  " entries, which run past the end of the resource section.");
    std::set<ResourceId> seen;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t nameField = le32(*entries, i * directoryEntrySize);
      const std::uint32_t target = le32(*entries, i * directoryEntrySize + 4);
      auto id = identifier(nameField);
      if (!id) return false;
      if (path.size() == 2 && id->isName())
        return fail("The language entry " + std::to_string(i) + " of the directory at " + where(offset) +
                    " holds a name where a language number belongs.");
      if (!seen.insert(*id).second)
        return fail("The resource directory at " + where(offset) + " lists the same " + levelName(path.size()) +
                    " twice.");
      const bool isDirectory = (target & highBit) != 0;
      const std::uint32_t targetOffset = target & ~highBit;
      path.push_back(std::move(*id));
      if (path.size() < 3) {
        if (!isDirectory)
          return fail("The " + levelName(path.size() - 1) + " entry " + std::to_string(i) + " of the directory at " +
                      where(offset) + " leads to data where a directory belongs.");
        if (!readDirectory(targetOffset, tree, path, onData)) return false;
      } else {
        if (isDirectory)
          return fail("The language entry " + std::to_string(i) + " of the directory at " + where(offset) +
                      " leads to a fourth level of directories.");
        if (!readData(targetOffset, path, onData)) return false;
      }
      path.pop_back();
    }
    return true;
  }

  template <typename OnData>
  bool readData(std::uint32_t offset, const std::vector<ResourceId>& path, OnData& onData) {
    auto entry = at(offset, dataEntrySize);
    if (!entry) return fail("The resource data entry at " + where(offset) + " is not in the file.");
    const std::uint32_t rva = le32(*entry, 0);
    const std::uint32_t size = le32(*entry, 4);
    if (size > dataBudget_)
      return fail("The resource data entries ask for more bytes together than the module holds (at the entry at " +
                  where(offset) + ").");
    dataBudget_ -= size;
    auto data = size ? image_.bytesAt(rva, size) : std::optional<Bytes>{Bytes{}};
    if (!data || data->size() < size)
      return fail("The " + std::to_string(size) + " bytes of resource data at RVA " + hexText(rva) +
                  " (data entry at " + where(offset) + ") are not all stored in the file.");
    ResourceEntry resource;
    resource.type = path[0];
    resource.name = path[1];
    resource.language = std::get<std::uint32_t>(path[2].value);
    resource.codePage = le32(*entry, 8);
    resource.reserved = le32(*entry, 12);
    resource.data.assign(data->begin(), data->end());
    onData(rva, std::move(resource));
    return true;
  }

  std::optional<ResourceId> identifier(std::uint32_t field) {
    if (!(field & highBit)) return ResourceId::number(field);
    const std::uint32_t offset = field & ~highBit;
    auto length = at(offset, 2);
    if (!length) {
      fail("The resource name at " + where(offset) + " is not in the file.");
      return std::nullopt;
    }
    const std::size_t units = le16(*length, 0);
    auto text = at(offset + 2, units * 2);
    if (!text) {
      fail("The resource name at " + where(offset) + " (" + std::to_string(units) +
           " characters) runs past the end of the resource section.");
      return std::nullopt;
    }
    std::u16string name(units, u'\0');
    for (std::size_t i = 0; i < units; ++i) name[i] = static_cast<char16_t>(le16(*text, 2 * i));
    return ResourceId::name(std::move(name));
  }

  // Exactly `size` bytes at `offset` from the start of the resource directory, or nullopt.
  std::optional<Bytes> at(std::uint64_t offset, std::size_t size) const {
    const std::uint64_t rva = std::uint64_t{image_.resourceRva()} + offset;
    if (rva > 0xFFFFFFFFu || size > 0xFFFFFFFFu) return std::nullopt;
    auto bytes = image_.bytesAt(static_cast<std::uint32_t>(rva), static_cast<std::uint32_t>(size));
    if (!bytes || bytes->size() < size) return std::nullopt;
    return bytes;
  }

  std::string where(std::uint32_t offset) const {
    return "offset " + hexText(offset) + " (RVA " + hexText(std::uint64_t{image_.resourceRva()} + offset) + ")";
  }

  bool fail(std::string reason) {
    whyNot_ = std::move(reason);
    return false;
  }

  const PeImage& image_;
  std::string& whyNot_;
  std::uint64_t dataBudget_;
  std::set<std::uint32_t> visited_;
};

}  // namespace

std::strong_ordering ResourceId::operator<=>(const ResourceId& other) const {
  if (isName() != other.isName()) return isName() ? std::strong_ordering::less : std::strong_ordering::greater;
  if (isName()) {
    const auto& a = std::get<std::u16string>(value);
    const auto& b = std::get<std::u16string>(other.value);
    // By code unit, the shorter first when one begins the other.
    const int c = a.compare(b);
    return c < 0 ? std::strong_ordering::less : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
  }
  return std::get<std::uint32_t>(value) <=> std::get<std::uint32_t>(other.value);
}

std::vector<ResourceEntry*> ResourceTree::find(const ResourceId& type, const ResourceId& name) {
  std::vector<ResourceEntry*> found;
  for (ResourceEntry& entry : entries)
    if (entry.type == type && entry.name == name) found.push_back(&entry);
  return found;
}

std::vector<ResourceId> ResourceTree::names(const ResourceId& type) const {
  std::vector<ResourceId> result;
  for (const ResourceEntry& entry : entries)
    if (entry.type == type) result.push_back(entry.name);
  std::sort(result.begin(), result.end());
  result.erase(std::unique(result.begin(), result.end()), result.end());
  return result;
}

std::optional<ResourceTree> readResourceTree(const PeImage& image, std::string& whyNot) {
  ResourceTree tree;
  if (image.resourceRva() == 0) return tree;
  if (!TreeReader(image, whyNot).read(tree)) return std::nullopt;
  return tree;
}

}  // namespace delvix::formats::pe
