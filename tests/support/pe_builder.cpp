#include "support/pe_builder.h"

#include <algorithm>
#include <map>
#include <utility>

namespace delvix::testing {

namespace {

constexpr std::uint32_t resourceRva = 0x1000;
constexpr std::size_t headersSize = 0x200;

void putLe16(ByteVector& out, std::size_t at, std::uint16_t v) {
  if (out.size() < at + 2) out.resize(at + 2, 0);
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void putLe32(ByteVector& out, std::size_t at, std::uint32_t v) {
  putLe16(out, at, static_cast<std::uint16_t>(v));
  putLe16(out, at + 2, static_cast<std::uint16_t>(v >> 16));
}

std::size_t alignUp(std::size_t value, std::size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// ASCII (and Latin-1 code points written as UTF-8) to UTF-16; enough for test names.
std::vector<std::uint16_t> toUtf16(const std::string& text) {
  std::vector<std::uint16_t> units;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0xC0 && i + 1 < text.size()) {
      units.push_back(static_cast<std::uint16_t>(((c & 0x1F) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F)));
    } else {
      units.push_back(c);
    }
  }
  return units;
}

struct NameGroup {
  model::ResourceName name;
  std::vector<std::size_t> resources;
};

struct TypeGroup {
  std::uint32_t type;
  std::vector<NameGroup> names;
};

std::vector<TypeGroup> groupByTypeAndName(const std::vector<PeResource>& resources) {
  std::vector<TypeGroup> types;
  std::map<std::uint32_t, std::size_t> typeAt;
  std::map<std::pair<std::uint32_t, model::ResourceName>, std::size_t> nameAt;
  for (std::size_t i = 0; i < resources.size(); ++i) {
    const PeResource& r = resources[i];
    auto [type, newType] = typeAt.try_emplace(r.type, types.size());
    if (newType) types.push_back(TypeGroup{r.type, {}});
    std::vector<NameGroup>& names = types[type->second].names;
    auto [name, newName] = nameAt.try_emplace({r.type, r.name}, names.size());
    if (newName) names.push_back(NameGroup{r.name, {}});
    names[name->second].resources.push_back(i);
  }
  // The format stores named entries before numeric ones.
  for (TypeGroup& t : types)
    std::stable_partition(t.names.begin(), t.names.end(),
                          [](const NameGroup& n) { return std::holds_alternative<std::string>(n.name); });
  return types;
}

}  // namespace

void BuiltPe::setLe32(std::size_t offset, std::uint32_t value) { putLe32(bytes, offset, value); }
void BuiltPe::setLe16(std::size_t offset, std::uint16_t value) { putLe16(bytes, offset, value); }

PeBuilder& PeBuilder::add(std::uint32_t type, model::ResourceName name, ByteVector data, std::uint16_t language) {
  resources.push_back({type, std::move(name), language, std::move(data)});
  return *this;
}

BuiltPe PeBuilder::build() const {
  const auto types = groupByTypeAndName(resources);
  BuiltPe pe;
  pe.resourceRva = resourceRva;
  pe.resourceStart = headersSize;
  pe.nameEntry.resize(resources.size());
  pe.languageDirectory.resize(resources.size());
  pe.dataEntry.resize(resources.size());
  pe.data.resize(resources.size());

  // Lay out the section: directories, then string names, then data entries, then data.
  ByteVector section;
  std::size_t next = 16 + 8 * types.size();
  std::vector<std::size_t> typeAt, nameDirAt;
  for (const TypeGroup& t : types) {
    typeAt.push_back(next);
    next += 16 + 8 * t.names.size();
  }
  std::vector<std::vector<std::size_t>> languageAt(types.size());
  for (std::size_t ti = 0; ti < types.size(); ++ti)
    for (const NameGroup& n : types[ti].names) {
      languageAt[ti].push_back(next);
      next += 16 + 8 * n.resources.size();
    }
  std::vector<std::vector<std::size_t>> stringAt(types.size());
  for (std::size_t ti = 0; ti < types.size(); ++ti)
    for (const NameGroup& n : types[ti].names) {
      stringAt[ti].push_back(next);
      if (const auto* s = std::get_if<std::string>(&n.name)) next += 2 + 2 * toUtf16(*s).size();
    }
  next = alignUp(next, 4);
  std::vector<std::size_t> dataEntryAt(resources.size()), dataAt(resources.size());
  for (std::size_t i = 0; i < resources.size(); ++i, next += 16) dataEntryAt[i] = next;
  for (std::size_t i = 0; i < resources.size(); ++i) {
    next = alignUp(next, 8);
    dataAt[i] = next;
    next += resources[i].data.size();
  }
  section.assign(next, 0);

  auto writeDirectory = [&](std::size_t at, std::size_t named, std::size_t ids) {
    putLe16(section, at + 12, static_cast<std::uint16_t>(named));
    putLe16(section, at + 14, static_cast<std::uint16_t>(ids));
  };
  writeDirectory(0, 0, types.size());
  for (std::size_t ti = 0; ti < types.size(); ++ti) {
    putLe32(section, 16 + 8 * ti, types[ti].type);
    putLe32(section, 16 + 8 * ti + 4, 0x80000000u | static_cast<std::uint32_t>(typeAt[ti]));
    pe.typeDirectory[types[ti].type] = headersSize + typeAt[ti];
    const auto& names = types[ti].names;
    std::size_t named = std::count_if(names.begin(), names.end(),
                                      [](const NameGroup& n) { return std::holds_alternative<std::string>(n.name); });
    writeDirectory(typeAt[ti], named, names.size() - named);
    for (std::size_t ni = 0; ni < names.size(); ++ni) {
      const std::size_t entry = typeAt[ti] + 16 + 8 * ni;
      if (const auto* s = std::get_if<std::string>(&names[ni].name)) {
        putLe32(section, entry, 0x80000000u | static_cast<std::uint32_t>(stringAt[ti][ni]));
        auto units = toUtf16(*s);
        putLe16(section, stringAt[ti][ni], static_cast<std::uint16_t>(units.size()));
        for (std::size_t u = 0; u < units.size(); ++u) putLe16(section, stringAt[ti][ni] + 2 + 2 * u, units[u]);
      } else {
        putLe32(section, entry, std::get<std::uint32_t>(names[ni].name));
      }
      putLe32(section, entry + 4, 0x80000000u | static_cast<std::uint32_t>(languageAt[ti][ni]));
      writeDirectory(languageAt[ti][ni], 0, names[ni].resources.size());
      for (std::size_t li = 0; li < names[ni].resources.size(); ++li) {
        const std::size_t r = names[ni].resources[li];
        const std::size_t languageEntry = languageAt[ti][ni] + 16 + 8 * li;
        putLe32(section, languageEntry, resources[r].language);
        putLe32(section, languageEntry + 4, static_cast<std::uint32_t>(dataEntryAt[r]));
        putLe32(section, dataEntryAt[r], resourceRva + static_cast<std::uint32_t>(dataAt[r]));
        putLe32(section, dataEntryAt[r] + 4, static_cast<std::uint32_t>(resources[r].data.size()));
        std::copy(resources[r].data.begin(), resources[r].data.end(),
                  section.begin() + static_cast<std::ptrdiff_t>(dataAt[r]));
        pe.nameEntry[r] = headersSize + entry;
        pe.languageDirectory[r] = headersSize + languageAt[ti][ni];
        pe.dataEntry[r] = headersSize + dataEntryAt[r];
        pe.data[r] = headersSize + dataAt[r];
      }
    }
  }
  const std::size_t rawSize = alignUp(std::max<std::size_t>(section.size(), 1), 0x200);
  section.resize(rawSize, 0);

  ByteVector& out = pe.bytes;
  out.assign(headersSize, 0);
  out[0] = 'M';
  out[1] = 'Z';
  const std::size_t peAt = 0x40;
  putLe32(out, 0x3C, peAt);
  out[peAt] = 'P';
  out[peAt + 1] = 'E';
  const std::size_t coff = peAt + 4;
  const std::uint16_t optionalSize = pe32Plus ? 240 : 224;
  putLe16(out, coff, pe32Plus ? 0x8664 : 0x14C);
  putLe16(out, coff + 2, 1);
  putLe16(out, coff + 16, optionalSize);
  putLe16(out, coff + 18, 0x2102);
  const std::size_t optional = coff + 20;
  putLe16(out, optional, pe32Plus ? 0x20B : 0x10B);
  putLe32(out, optional + 32, 0x1000);  // section alignment
  putLe32(out, optional + 36, 0x200);   // file alignment
  putLe32(out, optional + 56, static_cast<std::uint32_t>(resourceRva + alignUp(rawSize, 0x1000)));
  putLe32(out, optional + 60, headersSize);
  const std::size_t directories = optional + (pe32Plus ? 112 : 96);
  putLe32(out, directories - 4, 16);
  putLe32(out, directories + 16, resourceRva);
  putLe32(out, directories + 20, static_cast<std::uint32_t>(section.size()));
  pe.sectionHeader = optional + optionalSize;
  std::copy_n(".rsrc", 5, out.begin() + static_cast<std::ptrdiff_t>(pe.sectionHeader));
  putLe32(out, pe.sectionHeader + 8, static_cast<std::uint32_t>(section.size()));
  putLe32(out, pe.sectionHeader + 12, resourceRva);
  putLe32(out, pe.sectionHeader + 16, static_cast<std::uint32_t>(rawSize));
  putLe32(out, pe.sectionHeader + 20, headersSize);
  putLe32(out, pe.sectionHeader + 36, 0x40000040u);
  out.insert(out.end(), section.begin(), section.end());
  return pe;
}

ByteVector groupResource(std::uint16_t type, const std::vector<GroupEntry>& entries) {
  ByteVector out;
  appendLe16(out, 0);
  appendLe16(out, type);
  appendLe16(out, static_cast<std::uint16_t>(entries.size()));
  for (const GroupEntry& e : entries) {
    if (type == 1) {
      out.push_back(static_cast<std::uint8_t>(e.width));
      out.push_back(static_cast<std::uint8_t>(e.height));
      out.push_back(0);
      out.push_back(0);
    } else {
      appendLe16(out, e.width);
      appendLe16(out, e.height);
    }
    appendLe16(out, e.planes);
    appendLe16(out, e.bitCount);
    appendLe32(out, e.bytes);
    appendLe16(out, e.id);
  }
  return out;
}

ByteVector cursorResource(std::uint16_t hotX, std::uint16_t hotY, const ByteVector& image) {
  ByteVector out;
  appendLe16(out, hotX);
  appendLe16(out, hotY);
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

ByteVector bitmapResource(int width, int height, int bitCount, std::uint32_t compression, std::uint32_t colorsUsed,
                          const ByteVector& rest) {
  ByteVector out;
  appendLe32(out, 40);
  appendLe32(out, static_cast<std::uint32_t>(width));
  appendLe32(out, static_cast<std::uint32_t>(height));
  appendLe16(out, 1);
  appendLe16(out, static_cast<std::uint16_t>(bitCount));
  appendLe32(out, compression);
  appendLe32(out, 0);
  appendLe32(out, 0);
  appendLe32(out, 0);
  appendLe32(out, colorsUsed);
  appendLe32(out, 0);
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}

ByteVector bitmapResource(const BitmapHeaderSpec& header, const ByteVector& rest) {
  ByteVector out = header.bytes();
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}

}  // namespace delvix::testing
