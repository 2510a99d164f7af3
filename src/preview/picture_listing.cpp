#include "preview/picture_listing.h"

#include <climits>

#include "codecs/png_decode.h"
#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "formats/module_context.h"
#include "formats/xcursor/xcursor_document.h"
#include "model/picture_index.h"
#include "preview/frame_render.h"

namespace delvix::preview {

namespace {

using formats::blockData;

std::uint64_t dataSize(const model::Node* node, std::size_t headSize) {
  return node ? blockData(node->block(), headSize).size() : 0;
}

// The directory entry that describes `picture`: an icon file's or a module group's "icon_dir_" n, or the
// entry inside an animated cursor's frame header.
std::optional<model::Block> directoryEntry(const model::Document& document, const model::Node& picture, int number) {
  if (const model::Node* frameHeader = picture.findChild("image_info")) {
    const model::Block& block = frameHeader->block();
    if (block.size() < 22) return std::nullopt;
    return model::Block(block.begin() + 6, block.begin() + 22);
  }
  const model::Node* header = picture.parent() ? picture.parent()->findChild("header") : nullptr;
  if (!header && !document.tree.empty() && document.tree.topLevel(0).name() == "header")
    header = &document.tree.topLevel(0);
  const model::Node* entry = header ? model::findNumberedChild(*header, "icon_dir_", number) : nullptr;
  if (!entry || entry->block().size() < 16) return std::nullopt;
  return entry->block();
}

std::string groupKind(const std::string& nodeName) {
  if (nodeName.find(" [Icon_") != std::string::npos) return "icon group";
  if (nodeName.find(" [Cursor_") != std::string::npos) return "cursor group";
  if (nodeName.find(" [Bitmap_") != std::string::npos) return "bitmap";
  return {};
}

// A directory's byte for a side: 0 stands for 256.
int sideOfEntry(std::uint8_t side) { return side == 0 ? 256 : side; }

PictureFacts factsOf(const model::Document& document, const model::Node& picture, int index) {
  PictureFacts facts;
  facts.number = index + 1;
  facts.hotSpot = hotSpotOf(document, index);
  if (document.kind == model::FileKind::xcursor) {
    if (const auto image = formats::xcursor::imageOf(picture, false)) {
      facts.width = static_cast<int>(std::min<std::uint32_t>(image->width, INT_MAX));
      facts.height = static_cast<int>(std::min<std::uint32_t>(image->height, INT_MAX));
      facts.bitCount = 32;
      const model::Node* pixels = picture.findChild(formats::xcursor::pixelsNode);
      facts.bytes = picture.block().size() + (pixels ? pixels->block().size() : 0);
      facts.nominalSize = image->nominalSize;
      facts.delay = image->delay;
    }
    return facts;
  }
  if (const model::Node* png = picture.findChild("png_data")) {
    const auto bytes = blockData(png->block(), 4);
    facts.png = true;
    facts.bytes = bytes.size();
    if (const auto info = codecs::readPngInfo(bytes)) {
      facts.width = info->width;
      facts.height = info->height;
      facts.bitCount = info->bitsPerPixel();
      return facts;
    }
  } else if (const model::Node* info = picture.findChild("bitm_info"); info && info->block().size() >= 16) {
    const model::Block& header = info->block();
    // An icon's header counts the mask rows in its height; a module's bitmap has none.
    const bool masked = !(picture.parent() && groupKind(picture.parent()->name()) == "bitmap");
    facts.width = formats::les32(header, 4);
    facts.height = masked ? formats::les32(header, 8) / 2 : formats::les32(header, 8);
    facts.bitCount = formats::le16(header, 14);
    facts.bytes = header.size() + dataSize(picture.findChild("color_table"), 4) +
                  dataSize(picture.findChild("color_bitmap"), 8) + dataSize(picture.findChild("mask_bitmap"), 8) +
                  dataSize(picture.findChild("image_data"), 4);
    return facts;
  }
  // A picture that could not be read: what its directory entry says.
  if (const auto entry = directoryEntry(document, picture, facts.number)) {
    facts.width = sideOfEntry((*entry)[0]);
    facts.height = sideOfEntry((*entry)[1]);
    if (!facts.hotSpot) facts.bitCount = formats::le16(*entry, 6);
    if (!facts.png) facts.bytes = formats::le32(*entry, 8);
  }
  return facts;
}

}  // namespace

std::vector<PictureFacts> listPictures(const model::Document& document) {
  std::vector<PictureFacts> list;
  // Over the pictures read: a count from the file could name billions that are not there.
  for (int index = 0; index < static_cast<int>(document.pictures.size()); ++index)
    if (const model::Node* picture = pictureNode(document, index)) list.push_back(factsOf(document, *picture, index));
  return list;
}

std::vector<ResourceGroupFacts> listResourceGroups(const model::Document& document) {
  std::vector<ResourceGroupFacts> groups;
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i) {
    const model::Node& node = document.tree.topLevel(i);
    std::string kind = groupKind(node.name());
    if (kind.empty() || !node.resourceName()) continue;
    ResourceGroupFacts group{std::move(kind),      formats::module::displayName(*node.resourceName()),
                             *node.resourceName(), formats::module::languageOf(node),
                             std::nullopt,         {}};
    for (const auto& child : node.children())
      if (const auto number = model::pictureNumber(child->name()))
        group.pictures.push_back(factsOf(document, *child, *number - 1));
    groups.push_back(std::move(group));
  }
  return groups;
}

void findLanguages(std::vector<ResourceGroupFacts>& groups, formats::pe::ResourceDirectory& resources) {
  for (ResourceGroupFacts& group : groups) {
    const std::uint32_t type = group.kind == "icon group"     ? formats::pe::rtGroupIcon
                               : group.kind == "cursor group" ? formats::pe::rtGroupCursor
                                                              : formats::pe::rtBitmap;
    const formats::pe::ResourceData data = resources.find(type, group.resource, group.stored);
    if (data.status != formats::pe::LookupStatus::notFound) group.language = data.language;
  }
}

std::string pictureFactsText(const PictureFacts& facts) {
  std::string text = std::to_string(facts.width) + 'x' + std::to_string(facts.height) + ", " +
                     std::to_string(facts.bitCount) + " bits, " + facts.format() + ", " + std::to_string(facts.bytes) +
                     " bytes";
  if (facts.nominalSize) text += ", nominal size " + std::to_string(*facts.nominalSize);
  if (facts.hotSpot) text += ", hot spot " + std::to_string(facts.hotSpot->x) + ',' + std::to_string(facts.hotSpot->y);
  if (facts.delay) text += ", delay " + std::to_string(*facts.delay) + " ms";
  return text;
}

}  // namespace delvix::preview
