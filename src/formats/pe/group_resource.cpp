#include "formats/pe/group_resource.h"

#include "formats/le_bytes.h"

namespace delvix::formats::pe {

namespace {

constexpr std::size_t groupHeaderSize = 6;
constexpr std::size_t groupEntrySize = 14;

}  // namespace

std::vector<std::uint16_t> pictureIdsOfGroup(Bytes group) {
  std::vector<std::uint16_t> ids;
  if (group.size() < groupHeaderSize) return ids;
  const std::size_t count = std::min<std::size_t>(le16(group, 4), (group.size() - groupHeaderSize) / groupEntrySize);
  for (std::size_t n = 0; n < count; ++n) ids.push_back(le16(group, groupHeaderSize + n * groupEntrySize + 12));
  return ids;
}

std::vector<std::uint8_t> groupResourceData(const IconFilePictures& file, const std::vector<std::uint16_t>& ids) {
  std::vector<std::uint8_t> data(groupHeaderSize + groupEntrySize * file.pictures.size());
  setLe16(data, 2, file.cursor ? 2 : 1);
  setLe16(data, 4, static_cast<std::uint16_t>(file.pictures.size()));
  for (std::size_t n = 0; n < file.pictures.size(); ++n) {
    const FilePicture& picture = file.pictures[n];
    const std::span<std::uint8_t> entry = std::span(data).subspan(groupHeaderSize + n * groupEntrySize, groupEntrySize);
    const auto [planes, bitCount] = planesAndBitCount(picture.image);
    const auto imageSize = static_cast<std::uint32_t>(picture.image.size());
    if (file.cursor) {
      setLe16(entry, 0, picture.width == 0 ? 256 : picture.width);
      setLe16(entry, 2, static_cast<std::uint16_t>(2 * (picture.height == 0 ? 256 : picture.height)));
      setLe16(entry, 4, planes);
      setLe16(entry, 6, bitCount);
      setLe32(entry, 8, imageSize + cursorHotSpotSize);
    } else {
      setLe8(entry, 0, picture.width);
      setLe8(entry, 1, picture.height);
      setLe8(entry, 2, picture.colourCount);
      setLe8(entry, 3, picture.reserved);
      setLe16(entry, 4, picture.planes != 0 ? picture.planes : planes);
      setLe16(entry, 6, picture.bitCount != 0 ? picture.bitCount : bitCount);
      setLe32(entry, 8, imageSize);
    }
    setLe16(entry, 12, ids[n]);
  }
  return data;
}

std::vector<std::uint8_t> pictureResourceData(const FilePicture& picture, bool cursor) {
  std::vector<std::uint8_t> data;
  data.reserve(picture.image.size() + (cursor ? cursorHotSpotSize : 0));
  if (cursor) {
    data.resize(cursorHotSpotSize);
    setLe16(data, 0, picture.planes);
    setLe16(data, 2, picture.bitCount);
  }
  data.insert(data.end(), picture.image.begin(), picture.image.end());
  return data;
}

}  // namespace delvix::formats::pe
