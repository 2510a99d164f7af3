#include "edit/icon_directory.h"

#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/le_bytes.h"

namespace delvix::edit {

void refreshIconDirectory(model::Document& document) {
  model::Node* header = document.tree.findFirst("header");
  if (!header || header->block().size() < formats::iconHeaderSize) return;
  const formats::WrittenFile file = formats::writeIconFile(document, formats::headerKind(document));
  const std::span<const std::uint8_t> written = file.bytes;
  if (written.size() < formats::iconHeaderSize) return;
  const std::uint16_t count = formats::le16(written, 4);
  formats::setLe16(header->editBlock(), 4, count);
  std::size_t entry = 0;
  for (const auto& child : header->children()) {
    if (!child->name().starts_with("icon_dir_") || child->block().size() < formats::iconDirEntrySize) continue;
    if (entry >= count) break;
    const std::size_t at = formats::iconHeaderSize + entry * formats::iconDirEntrySize;
    model::Block& entryBlock = child->editBlock();
    formats::setLe32(entryBlock, 8, formats::le32(written, at + 8));
    formats::setLe32(entryBlock, 12, formats::le32(written, at + 12));
    ++entry;
  }
  document.statusText = " Size: " + std::to_string(written.size()) + " bytes";
}

}  // namespace delvix::edit
