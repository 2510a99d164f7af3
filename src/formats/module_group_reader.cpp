#include "formats/module_group_reader.h"

#include "codecs/png_decode.h"
#include "formats/icon_image_reader.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"

namespace delvix::formats::module {

namespace {

using model::Block;
using model::Node;

constexpr const char* damagedPart = "The damage of a part of resource.";

// The pixels drawing an icon image costs, from its bitmap header (PNG images are bounded by the decoder).
std::uint64_t pixelsOf(Bytes record) {
  if (codecs::hasPngSignature(record) || record.size() < bitmapInfoSize) return 0;
  const std::int64_t width = les32(record, 4);
  const std::int64_t height = les32(record, 8) / 2;
  return width > 0 && height > 0 ? static_cast<std::uint64_t>(width * height) : 0;
}

// Reads image `entry` of a group into `picture`; returns false when its resource is missing (the
// group stops there).
// A group in another language than its name's first takes the images of its own language where they have it.
bool readGroupImage(Context& context, const Block& entry, Node& picture, GroupKind kind, const std::string& prefix,
                    const std::string& suffix) {
  const std::string directoryBitCount = std::to_string(le16(entry, 6));
  const model::ResourceName id = std::uint32_t{le16(entry, 12)};
  const std::uint32_t type = kind == GroupKind::icon ? pe::rtIcon : pe::rtCursor;
  const pe::ResourceLanguage language = languageOf(*picture.parent());
  auto data = context.resources.find(type, id, language);
  if (data.status == pe::LookupStatus::notFound && !language.first) data = context.resources.find(type, id);
  if (!reportLookup(data, prefix + " Loop.", context.reporter)) return false;

  Bytes record = data.bytes;
  const bool cursor = kind == GroupKind::cursor;
  if (cursor && record.size() >= hotSpotSize) record = record.subspan(hotSpotSize);
  if ((cursor && data.bytes.size() < hotSpotSize) ||
      (!codecs::hasPngSignature(record) && record.size() < bitmapInfoSize)) {
    context.reporter.log(damagedPart);
    context.document.pictures.push_back(placeholderEntry(directoryBitCount));
    return true;
  }
  if (!context.canStore(data.bytes.size())) {
    context.reporter.log(overBudget(picture.name()));
    context.document.pictures.push_back(placeholderEntry(directoryBitCount));
    return true;
  }
  if (cursor) picture.addChild("hot_pot", Block(data.bytes.begin(), data.bytes.begin() + hotSpotSize));
  if (!context.spendPixels(pixelsOf(record))) {
    context.reporter.log(picture.name() + ": not decoded; the module asks for more image data than it holds.");
    context.document.pictures.push_back(placeholderEntry(directoryBitCount));
    return true;
  }

  IconImageRequest request;
  request.record = record;
  request.declaredSize = record.size();
  request.allocationLimit = context.fileSize;
  request.show = context.show;
  request.pictureName = picture.name();
  IconImageResult result = readIconImage(request, picture, context.reporter);
  context.stored(picture);
  if (!result.entry.placeholder) result.entry.sizeText = suffix;
  context.document.pictures.push_back(std::move(result.entry));
  return true;
}

}  // namespace

void expandGroup(Context& context, Node& resourceNode, GroupKind kind) {
  const model::ResourceName& name = *resourceNode.resourceName();
  const bool icons = kind == GroupKind::icon;
  const std::string prefix = icons ? "Icons." : "Cursors.";
  const pe::ResourceLanguage language = languageOf(resourceNode);
  auto data = context.resources.find(icons ? pe::rtGroupIcon : pe::rtGroupCursor, name, language);
  if (!reportLookup(data, prefix, context.reporter)) return;

  Bytes group = data.bytes;
  const std::uint16_t expectedType = icons ? 1 : 2;
  if (group.size() < groupHeaderSize || le16(group, 0) != 0 || le16(group, 2) != expectedType) {
    context.reporter.log(prefix + " Damage of resource.");
    return;
  }
  Node& header = resourceNode.addChild("header", Block(group.begin(), group.begin() + groupHeaderSize));
  const std::size_t declared = le16(group, 4);
  const std::size_t stored = (group.size() - groupHeaderSize) / groupEntrySize;
  const std::size_t complete = std::min(declared, stored);
  if (complete < declared)
    context.reporter.log(prefix + " " + displayName(name) + ": the group lists " + std::to_string(declared) +
                         " images; " + std::to_string(complete) + " complete entries are stored.");
  const std::size_t count = context.takePictures(complete);
  if (count < complete)
    context.reporter.log(prefix + " " + displayName(name) + ": " + std::to_string(count) + " of the group's " +
                         std::to_string(complete) +
                         " images are listed; the module's groups list more images than it holds.");

  const int first = context.document.imageCount + 1;
  std::vector<const Block*> entries;
  for (std::size_t i = 0; i < count; ++i) {
    auto begin = group.begin() + static_cast<std::ptrdiff_t>(groupHeaderSize + i * groupEntrySize);
    Node& entry = header.addChild("icon_dir_" + std::to_string(first + static_cast<int>(i)),
                                  Block(begin, begin + groupEntrySize), model::state::listChunk);
    entries.push_back(&entry.block());
  }

  // Every entry gets its picture node and entry, also after a missing image stops the reading, so
  // that picture numbers, directory numbers and the lists stay in step.
  const std::string suffix = displayName(name) + languageSuffix(language) + (icons ? " [Icon]" : " [Cursor]");
  bool reading = true;
  for (std::size_t i = 0; i < count; ++i) {
    Node& picture = resourceNode.addChild(model::pictureName(first + static_cast<int>(i)), {}, model::state::picture);
    ++context.document.imageCount;
    if (reading) reading = readGroupImage(context, *entries[i], picture, kind, prefix, suffix);
    if (!reading) context.document.pictures.push_back(placeholderEntry(std::to_string(le16(*entries[i], 6))));
  }
}

}  // namespace delvix::formats::module
