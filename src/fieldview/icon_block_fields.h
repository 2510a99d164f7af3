#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "fieldview/field_ranges.h"
#include "fieldview/listing.h"
#include "model/node.h"

// The fields of the blocks of icon and cursor parts, in the order their tables list them. The listing shows
// them and Apply writes the editable ones: both take offsets and widths from here.
namespace delvix::fieldview {

enum class FieldType { u8, u16, u32, s32 };

struct BlockField {
  std::string_view caption;
  std::size_t offset;
  FieldType type;
  Mark mark;
};

std::size_t widthOf(FieldType type);
ValueRange rangeOf(FieldType type);

// A module's cursor group stores the size as two u16 values where an icon entry has four bytes; a cursor
// file has a hot spot where an icon has planes and bit count; a module's entry ends in a resource ID where a
// file's ends in an offset.
enum class DirectoryEntryKind { iconFile, cursorFile, moduleIconGroup, moduleCursorGroup };

// The kind of the directory entry `entry` (an "icon_dir_" node) of a module or of a file.
DirectoryEntryKind directoryEntryKindOf(const model::Node& entry, bool module, bool cursorFile);

std::span<const BlockField> iconHeaderFields();
std::span<const BlockField> directoryEntryFields(DirectoryEntryKind kind);
std::span<const BlockField> bitmapHeaderFields();
// The fields of a "bitm_info" block of `size` bytes: a core header's five, or the 40-byte header's.
std::span<const BlockField> bitmapHeaderFieldsFor(std::size_t size);
std::span<const BlockField> frameHeaderFields();
std::span<const BlockField> hotSpotFields();

}  // namespace delvix::fieldview
