#include "fieldview/info_text.h"

#include <algorithm>

#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "formats/riff/info_text.h"

namespace delvix::fieldview {

namespace {

// The stored text: the item's bytes up to the first zero.
std::span<const std::uint8_t> storedText(const model::Node& node) {
  std::span<const std::uint8_t> data = formats::blockData(node.block(), 4);
  return data.first(static_cast<std::size_t>(std::find(data.begin(), data.end(), 0) - data.begin()));
}

}  // namespace

std::string infoItemText(const model::Node& node) { return formats::riff::infoText(storedText(node)); }

model::Block infoItemBlock(std::string_view text, const model::Node& old) {
  // The stored text ends at its first zero byte.
  text = text.substr(0, text.find('\0'));
  if (text == infoItemText(old)) return old.block();
  std::optional<std::string> legacy;
  if (!formats::riff::isValidUtf8(storedText(old))) legacy = formats::riff::windows1252Text(text);
  const std::string bytes = legacy ? *legacy : std::string(text);
  const std::size_t stored = (bytes.size() + 2) & ~std::size_t{1};
  model::Block block(4 + stored, 0);
  formats::setLe32(block, 0, static_cast<std::uint32_t>(stored));
  std::copy(bytes.begin(), bytes.end(), block.begin() + 4);
  return block;
}

}  // namespace delvix::fieldview
