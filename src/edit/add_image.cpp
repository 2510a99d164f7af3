#include "edit/add_image.h"

#include <algorithm>

#include "codecs/png_decode.h"
#include "edit/icon_directory.h"
#include "fieldview/apply.h"
#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/icon_image_reader.h"
#include "formats/icon_image_writer.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"
#include "model/picture_list.h"

namespace delvix::edit {

namespace {

using formats::le16;
using formats::le32;

constexpr const char* notIconFile = "This is not ico(cur)-file.";
constexpr const char* corruptFile = "This file is corrupt.";
constexpr const char* wrongSize = "Cannot add the image with such size.";
constexpr const char* sixteenBits = "Don't support 16-bits format.";
// The smallest file that holds a header, one directory entry and anything of an image.
constexpr std::size_t smallestIconFile = 22;
constexpr std::size_t frameInfoSize = 22;

int dimensionOf(std::uint8_t value) { return value == 0 ? 256 : value; }

const model::Node* sourcePicture(const IconSource& source, std::size_t entry) {
  const model::Node* header = source.document.tree.findFirst("header");
  if (!header || entry >= header->childCount()) return nullptr;
  return source.document.tree.findFirst(model::pictureName(static_cast<int>(entry + 1)));
}

const model::Block* sourceEntry(const IconSource& source, std::size_t entry) {
  const model::Node* header = source.document.tree.findFirst("header");
  if (!header) return nullptr;
  const model::Node* node = model::findNumberedChild(*header, "icon_dir_", static_cast<int>(entry + 1));
  return node && node->block().size() >= formats::iconDirEntrySize ? &node->block() : nullptr;
}

// The image's own size and bit count, from its bitmap header or its PNG header.
struct ImageFacts {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  std::uint32_t compression = 0;
  bool png = false;
};

std::optional<ImageFacts> factsOf(const model::Node& picture) {
  if (const model::Node* info = picture.findChild("bitm_info"); info && info->block().size() >= 20) {
    const model::Block& header = info->block();
    return ImageFacts{static_cast<int>(le32(header, 4)), static_cast<int>(le32(header, 8) / 2), le16(header, 14),
                      le32(header, 16), false};
  }
  if (const model::Node* png = picture.findChild("png_data"))
    if (auto info = codecs::readPngInfo(formats::blockData(png->block(), 4)))
      return ImageFacts{info->width, info->height, info->bitsPerPixel(), 0, true};
  return std::nullopt;
}

// The state images the open file gives its pixel-data nodes, so that a new picture shows like the others.
model::ShowSettings showSettingsOf(const model::Document& document) {
  model::ShowSettings show;
  if (const model::Node* node = document.tree.findFirst("color_table")) show.table = node->stateImage();
  if (const model::Node* node = document.tree.findFirst("color_bitmap")) show.color = node->stateImage();
  if (const model::Node* node = document.tree.findFirst("mask_bitmap")) show.mask = node->stateImage();
  return show;
}

ImageAddition refused(std::string error, std::string logLine) {
  ImageAddition result;
  result.error = std::move(error);
  result.log.push_back(std::move(logLine));
  return result;
}

// Reads the image record into `picture` as the readers of the target file would.
model::PictureEntry readInto(model::Node& picture, std::span<const std::uint8_t> record,
                             const model::ShowSettings& show, bool frame) {
  formats::RecordingReporter quiet;
  formats::IconImageRequest request;
  request.record = record;
  request.declaredSize = record.size();
  request.allocationLimit = record.size();
  request.show = show;
  request.pictureName = picture.name();
  request.animatedCursorFrame = frame;
  return formats::readIconImage(request, picture, quiet).entry;
}

std::size_t picturesAtTop(const model::Tree& tree) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < tree.topLevelCount(); ++i)
    if (model::pictureNumber(tree.topLevel(i).name())) ++count;
  return count;
}

std::size_t afterLastPicture(const model::Tree& tree) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < tree.topLevelCount(); ++i)
    if (model::pictureNumber(tree.topLevel(i).name())) at = i + 1;
  return at == 0 ? tree.topLevelCount() : at;
}

ImageAddition addToIconFile(model::Document& document, const IconSource& source, std::size_t entry,
                            const std::vector<std::uint8_t>& record) {
  model::Node* header = document.tree.findFirst("header");
  if (!header) return {};
  const int number = static_cast<int>(picturesAtTop(document.tree)) + 1;
  model::Node& picture = document.tree.insertTopLevel(afterLastPicture(document.tree), model::pictureName(number), {},
                                                      model::state::picture);
  model::PictureEntry shown = readInto(picture, record, showSettingsOf(document), false);

  const model::Block& sourceBlock = *sourceEntry(source, entry);
  model::Block directoryEntry(sourceBlock.begin(), sourceBlock.begin() + formats::iconDirEntrySize);
  const auto from = source.cursor ? formats::IconKind::cursor : formats::IconKind::icon;
  formats::convertDirectoryEntry(directoryEntry, from, formats::headerKind(document), picture);
  std::size_t at = 0;
  for (const auto& child : header->children())
    if (child->name().starts_with("icon_dir_")) at = child->indexInParent() + 1;
  header->insertChild(at, "icon_dir_" + std::to_string(number), std::move(directoryEntry), model::state::listChunk);

  const auto index = static_cast<std::size_t>(number - 1);
  model::insertPicture(document, std::min(index, document.pictures.size()), std::move(shown));
  document.imageCount = number;
  refreshIconDirectory(document);

  ImageAddition result;
  result.added = true;
  result.pictureIndex = number - 1;
  result.picture = &picture;
  result.statusText = document.statusText;
  return result;
}

// The first frame's "image_info": the icon header and directory entry that the frames share.
const model::Block* firstFrameInfo(const model::Node& frames) {
  if (frames.childCount() == 0) return nullptr;
  const model::Node* info = frames.child(0).findChild("image_info");
  return info && info->block().size() >= frameInfoSize ? &info->block() : nullptr;
}

// One more entry where the table holds one per frame or per step: for the new frame or step at `position`.
void insertEntry(std::vector<std::uint32_t>& table, std::size_t position, std::uint32_t value) {
  if (table.size() < position) table.resize(position, value);
  table.insert(table.begin() + static_cast<std::ptrdiff_t>(position), value);
}

ImageAddition addToAnimation(model::Document& document, const IconSource& source, std::size_t entry,
                             const std::vector<std::uint8_t>& record, const ImageFacts& facts) {
  model::Node* frames = document.tree.findFirst("List_images");
  const model::Block* first = frames ? firstFrameInfo(*frames) : nullptr;
  if (!first) return refused(corruptFile, corruptFile);
  const model::Block& directoryEntry = *sourceEntry(source, entry);
  const int width = dimensionOf((*first)[6]);
  const int height = dimensionOf((*first)[7]);
  // The reader takes a frame's size from its entry, the drawing from the image: both must fit.
  if (dimensionOf(directoryEntry[0]) != width || dimensionOf(directoryEntry[1]) != height || facts.width != width ||
      facts.height != height)
    return refused(wrongSize, std::string("Add: ") + wrongSize);

  model::Block info(frameInfoSize, 0);
  std::copy_n(first->begin(), 4, info.begin());
  formats::setLe16(info, 4, 1);
  std::copy_n(directoryEntry.begin(), formats::iconDirEntrySize, info.begin() + 6);
  const bool cursorFrames = le16(*first, 2) == 2;
  if (cursorFrames && !source.cursor) {
    // An icon has no hot spot: the frame takes the first frame's.
    std::copy_n(first->begin() + 10, 4, info.begin() + 10);
  } else if (!cursorFrames && source.cursor) {
    formats::setLe16(info, 10, 1);
    formats::setLe16(info, 12, static_cast<std::uint16_t>(facts.bitCount));
  }
  formats::setLe32(info, 14, static_cast<std::uint32_t>(record.size()));
  formats::setLe32(info, 18, frameInfoSize);

  std::size_t index = 0;
  for (const auto& child : frames->children())
    if (model::pictureNumber(child->name())) ++index;
  model::Node& picture = frames->addChild(model::pictureName(static_cast<int>(index + 1)), {}, model::state::picture);
  picture.addChild("image_info", std::move(info), model::state::none);
  model::PictureEntry shown = readInto(picture, record, showSettingsOf(document), true);

  model::AniState& ani = document.ani;
  ani.frameSizes.resize(index);
  ani.frameSizes.push_back(static_cast<std::uint32_t>(frameInfoSize + record.size()));
  ani.framesRead = index + 1;
  ani.header.frames = static_cast<std::uint32_t>(index + 1);
  const std::size_t step = ani.sequence.size();
  if (ani.hasRate) insertEntry(ani.rates, ani.ratesPerStep() ? step : index, ani.header.displayRate);
  ani.sequence.push_back(static_cast<std::uint32_t>(index));
  ani.header.steps = ani.stepCount = static_cast<std::uint32_t>(ani.sequence.size());
  while (document.pictures.size() > index) model::erasePicture(document, document.pictures.size() - 1);
  model::insertPicture(document, document.pictures.size(), std::move(shown));
  document.imageCount = static_cast<int>(index + 1);

  ImageAddition result;
  result.added = true;
  result.pictureIndex = static_cast<int>(index);
  result.picture = &picture;
  result.delaysChanged = true;
  result.statusText = fieldview::refreshStoredSizes(document);
  return result;
}

}  // namespace

std::unique_ptr<IconSource> readIconSource(std::span<const std::uint8_t> file, formats::Reporter& reporter) {
  if (file.size() < smallestIconFile) {
    reporter.dialog({"Too little size to be ico(cur)-file.", formats::Buttons::yes, formats::BoxKind::error, {}});
    reporter.log(notIconFile);
    return nullptr;
  }
  auto owned = std::make_unique<IconSource>();
  IconSource& source = *owned;
  // What the reader notes about the source's damage is for its own file, not for the open one: it is passed
  // on only as the reasons of a refusal.
  formats::RecordingReporter notes;
  formats::readIconFile(file, source.document, {}, notes);
  if (!notes.dialogs.empty())
    for (const std::string& line : notes.lines) reporter.log(line);
  for (const formats::DialogRequest& request : notes.dialogs) {
    if (!notes.logged(request.text)) reporter.log(request.text);
    reporter.dialog(request);
  }
  const model::Node* header = source.document.tree.findFirst("header");
  if (!header) return nullptr;
  source.cursor = le16(header->block(), 2) == 2;
  source.file.assign(file.begin(), file.end());
  std::size_t number = 0;
  for (const auto& child : header->children()) {
    const model::Block& entry = child->block();
    if (entry.size() < formats::iconDirEntrySize) continue;
    source.lines.push_back(std::to_string(++number) + ":   " + std::to_string(dimensionOf(entry[0])) + " x " +
                           std::to_string(dimensionOf(entry[1])));
  }
  source.label = "This file contains " + std::to_string(number) + " icons.";
  return owned;
}

std::string sourceEntryProblem(const IconSource& source, std::size_t entry) {
  const model::Block* directoryEntry = sourceEntry(source, entry);
  const model::Node* picture = sourcePicture(source, entry);
  if (!directoryEntry || !picture) return corruptFile;
  const auto record = formats::iconImageRecord(*picture);
  const std::uint64_t offset = le32(*directoryEntry, 12);
  const std::uint64_t size = source.file.size();
  const bool png = picture->findChild("png_data") != nullptr;
  // The record as the reader took it, and for PNG data all that the entry gives, must lie inside the file.
  const std::uint64_t needed = std::max<std::uint64_t>(record ? record->size() : 0, png ? le32(*directoryEntry, 8) : 0);
  if (!record || record->empty() || offset >= size || needed > size - offset) return corruptFile;
  return {};
}

ImageAddition addImage(model::Document& document, const IconSource& source, std::size_t entry) {
  const bool ani = document.kind == model::FileKind::animatedCursor;
  if (!ani && document.kind != model::FileKind::iconFile) return {};
  if (std::string problem = sourceEntryProblem(source, entry); !problem.empty()) return refused(problem, problem);
  const model::Node& picture = *sourcePicture(source, entry);
  const auto facts = factsOf(picture);
  if (!facts) return refused(corruptFile, corruptFile);
  if (!facts->png && facts->bitCount > 8 && facts->bitCount <= 16) return refused({}, sixteenBits);
  if (ani && facts->compression != 0)
    return refused("Cannot add a compressed image to an animated cursor.",
                   "Add: Cannot add a compressed image to an animated cursor.");
  const std::vector<std::uint8_t> record = *formats::iconImageRecord(picture);
  return ani ? addToAnimation(document, source, entry, record, *facts) : addToIconFile(document, source, entry, record);
}

}  // namespace delvix::edit
