#pragma once

#include <cstdint>
#include <vector>

#include "formats/byte_reader.h"
#include "formats/pe/resource_files.h"

// The data of an RT_GROUP_ICON or RT_GROUP_CURSOR resource: a 6-byte header and one 14-byte entry per picture,
// which names the picture's RT_ICON or RT_CURSOR resource by number.
namespace delvix::formats::pe {

inline constexpr std::size_t cursorHotSpotSize = 4;

// The picture numbers a group lists, as far as its data holds entries.
std::vector<std::uint16_t> pictureIdsOfGroup(Bytes group);

// The group resource for `file`'s pictures stored under `ids` (one per picture): an icon's entry says what its
// file's directory entry says (planes and bit count from the picture where the directory leaves them 0); a
// cursor's gives the size with the height doubled, the picture's planes and bit count, and counts the hot spot
// that precedes the picture in its resource.
std::vector<std::uint8_t> groupResourceData(const IconFilePictures& file, const std::vector<std::uint16_t>& ids);

// The RT_ICON or RT_CURSOR data of a picture: the image, after its hot spot for a cursor.
std::vector<std::uint8_t> pictureResourceData(const FilePicture& picture, bool cursor);

}  // namespace delvix::formats::pe
