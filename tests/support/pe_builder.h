#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/node.h"
#include "support/icon_builder.h"

// Builds small resource-only program modules byte by byte for tests: DOS header, PE signature, COFF and
// optional header (PE32 or PE32+), one ".rsrc" section holding the resource directory tree.
namespace delvix::testing {

struct PeResource {
  std::uint32_t type = 0;
  model::ResourceName name;
  std::uint16_t language = 0x409;
  ByteVector data;
};

// Where the builder put things, so tests can damage them. Offsets are file offsets.
struct BuiltPe {
  ByteVector bytes;
  std::size_t sectionHeader = 0;
  std::size_t resourceStart = 0;
  std::uint32_t resourceRva = 0;
  std::map<std::uint32_t, std::size_t> typeDirectory;
  // Per resource, in the order they were added.
  std::vector<std::size_t> nameEntry, languageDirectory, dataEntry, data;

  void setLe32(std::size_t offset, std::uint32_t value);
  void setLe16(std::size_t offset, std::uint16_t value);
};

struct PeBuilder {
  bool pe32Plus = true;
  std::vector<PeResource> resources;

  PeBuilder& add(std::uint32_t type, model::ResourceName name, ByteVector data, std::uint16_t language = 0x409);
  BuiltPe build() const;
};

// One entry of an RT_GROUP_ICON or RT_GROUP_CURSOR resource.
struct GroupEntry {
  std::uint16_t width = 16;   // icon: stored as one byte (256 as 0)
  std::uint16_t height = 16;  // as stored: cursors conventionally store twice the image height
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 32;
  std::uint32_t bytes = 0;
  std::uint16_t id = 1;
};

// type 1 = icon group, 2 = cursor group.
ByteVector groupResource(std::uint16_t type, const std::vector<GroupEntry>& entries);
// An RT_CURSOR resource: the hot spot, then the image.
ByteVector cursorResource(std::uint16_t hotX, std::uint16_t hotY, const ByteVector& image);
// A 40-byte bitmap header of a bitmap resource (full height, no mask), then `rest` (palette and rows).
ByteVector bitmapResource(int width, int height, int bitCount, std::uint32_t compression, std::uint32_t colorsUsed,
                          const ByteVector& rest);
// A bitmap resource with a header of any kind, then `rest`.
ByteVector bitmapResource(const BitmapHeaderSpec& header, const ByteVector& rest);

}  // namespace delvix::testing
