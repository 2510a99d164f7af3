#include "fieldview/icon_block_fields.h"

#include <array>

#include "formats/le_bytes.h"
#include "gfx/bitmap_header.h"

namespace delvix::fieldview {

namespace {

constexpr Mark ro = Mark::readOnly;
constexpr Mark rw = Mark::editable;
using enum FieldType;

constexpr std::array iconHeader{
    BlockField{"Reserve", 0, u16, ro},
    BlockField{"Type", 2, u16, ro},
    BlockField{"Count", 4, u16, ro},
};

constexpr std::array iconFileEntry{
    BlockField{"Width", 0, u8, ro},       BlockField{"Height", 1, u8, ro},        BlockField{"ColorCount", 2, u8, ro},
    BlockField{"Reserve", 3, u8, rw},     BlockField{"Planes", 4, u16, rw},       BlockField{"BitCount", 6, u16, rw},
    BlockField{"BytesInRes", 8, u32, ro}, BlockField{"ImageOffset", 12, u32, ro},
};

constexpr std::array cursorFileEntry{
    BlockField{"Width", 0, u8, ro},       BlockField{"Height", 1, u8, ro},        BlockField{"ColorCount", 2, u8, ro},
    BlockField{"Reserve", 3, u8, rw},     BlockField{"HotPot X", 4, u16, rw},     BlockField{"HotPot Y", 6, u16, rw},
    BlockField{"BytesInRes", 8, u32, ro}, BlockField{"ImageOffset", 12, u32, ro},
};

// A module's icon group entry ends in the icon's resource ID where a file's entry has its offset.
constexpr auto moduleIconGroupEntry = [] {
  auto fields = iconFileEntry;
  fields.back() = BlockField{"ID", 12, u16, ro};
  return fields;
}();

constexpr std::array moduleCursorGroupEntry{
    BlockField{"Width", 0, u16, ro},    BlockField{"Height", 2, u16, ro},     BlockField{"Planes", 4, u16, rw},
    BlockField{"BitCount", 6, u16, rw}, BlockField{"BytesInRes", 8, u32, ro}, BlockField{"ID", 12, u16, ro},
};

constexpr std::array bitmapHeader{
    BlockField{"Size", 0, u32, ro},           BlockField{"Width", 4, s32, ro},
    BlockField{"Height", 8, s32, ro},         BlockField{"Planes", 12, u16, ro},
    BlockField{"BitCount", 14, u16, ro},      BlockField{"Compression", 16, u32, ro},
    BlockField{"SizeImage", 20, u32, ro},     BlockField{"XPelsPerMeter", 24, s32, rw},
    BlockField{"YPelsPerMeter", 28, s32, rw}, BlockField{"ClrUsed", 32, u32, rw},
    BlockField{"ClrImportant", 36, u32, rw},
};

constexpr std::array coreBitmapHeader{
    BlockField{"Size", 0, u32, ro},   BlockField{"Width", 4, u16, ro},     BlockField{"Height", 6, u16, ro},
    BlockField{"Planes", 8, u16, ro}, BlockField{"BitCount", 10, u16, ro},
};

constexpr std::array frameHeader{
    BlockField{"Reserve1", 0, u16, ro},    BlockField{"Type", 2, u16, ro},         BlockField{"Count", 4, u16, ro},
    BlockField{"Width", 6, u8, ro},        BlockField{"Height", 7, u8, ro},        BlockField{"ColorCount", 8, u8, ro},
    BlockField{"Reserve2", 9, u8, rw},     BlockField{"HotPot X", 10, u16, rw},    BlockField{"HotPot Y", 12, u16, rw},
    BlockField{"BytesInRes", 14, u32, ro}, BlockField{"ImageOffset", 18, u32, ro},
};

constexpr std::array hotSpot{
    BlockField{"X", 0, u16, rw},
    BlockField{"Y", 2, u16, rw},
};

}  // namespace

std::size_t widthOf(FieldType type) {
  switch (type) {
    case u8: return 1;
    case u16: return 2;
    case u32:
    case s32: break;
  }
  return 4;
}

ValueRange rangeOf(FieldType type) {
  switch (type) {
    case u8: return ranges::u8;
    case u16: return ranges::u16;
    case u32: return ranges::u32;
    case s32: break;
  }
  return ranges::s32;
}

DirectoryEntryKind directoryEntryKindOf(const model::Node& entry, bool module, bool cursorFile) {
  if (!module) return cursorFile ? DirectoryEntryKind::cursorFile : DirectoryEntryKind::iconFile;
  const model::Node* header = entry.parent();
  const bool cursorGroup = header && header->block().size() >= 4 && formats::le16(header->block(), 2) == 2;
  return cursorGroup ? DirectoryEntryKind::moduleCursorGroup : DirectoryEntryKind::moduleIconGroup;
}

std::span<const BlockField> iconHeaderFields() { return iconHeader; }

std::span<const BlockField> directoryEntryFields(DirectoryEntryKind kind) {
  switch (kind) {
    case DirectoryEntryKind::iconFile: return iconFileEntry;
    case DirectoryEntryKind::cursorFile: return cursorFileEntry;
    case DirectoryEntryKind::moduleIconGroup: return moduleIconGroupEntry;
    case DirectoryEntryKind::moduleCursorGroup: break;
  }
  return moduleCursorGroupEntry;
}

std::span<const BlockField> bitmapHeaderFields() { return bitmapHeader; }
std::span<const BlockField> bitmapHeaderFieldsFor(std::size_t size) {
  return size == gfx::coreHeaderSize ? std::span<const BlockField>(coreBitmapHeader) : bitmapHeader;
}
std::span<const BlockField> frameHeaderFields() { return frameHeader; }
std::span<const BlockField> hotSpotFields() { return hotSpot; }

}  // namespace delvix::fieldview
