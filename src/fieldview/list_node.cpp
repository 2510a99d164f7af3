#include "fieldview/list_node.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "fieldview/info_text.h"
#include "fieldview/pixel_table.h"
#include "fieldview/table_builder.h"
#include "fieldview/tables.h"
#include "model/info_items.h"
#include "model/picture_index.h"

namespace delvix::fieldview {

namespace {

std::string lowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::ranges::transform(extension, extension.begin(), [](unsigned char c) { return std::tolower(c); });
  return extension;
}

FileTraits traitsOf(const model::Document& document) {
  const std::string extension = lowerExtension(document.path);
  FileTraits file;
  file.module = document.kind == model::FileKind::module;
  file.wave = document.kind == model::FileKind::wave;
  file.cursorFile = extension == ".cur";
  file.removablePictures = extension == ".ico" || extension == ".cur" || extension == ".ani";
  return file;
}

bool isResourceNode(std::string_view name) {
  return name.find("[Bitmap_") != std::string_view::npos || name.find("[Icon_") != std::string_view::npos ||
         name.find("[Cursor_") != std::string_view::npos;
}

void zoomByFactor(Listing& listing, int zoomFactor) {
  listing.buttons.zoomIn = zoomFactor < 10;
  listing.buttons.zoomOut = zoomFactor > 1;
}

void noZoom(Listing& listing) { listing.buttons.zoomIn = listing.buttons.zoomOut = false; }

// A zero-based picture index, kept only when the document has that picture.
std::optional<int> checkedPicture(const model::Document& document, std::optional<int> index) {
  if (!index || *index < 0 || static_cast<std::size_t>(*index) >= document.pictures.size()) return std::nullopt;
  return index;
}

std::optional<int> minusOne(std::optional<int> number) {
  if (!number) return std::nullopt;
  return *number - 1;
}

Listing listInfoList() {
  Listing listing = clearedListing(EditMode::none, false);
  listing.boxes.push_back({EditBox::editInfo, {}, {}, {}});
  listing.buttons.removeChunk = true;
  noZoom(listing);
  return listing;
}

// An INFO item shows its text in `EditInfo`, ready to be applied; the table keeps its columns and loses its rows.
Listing listInfoItem(const model::Node& node) {
  Listing listing;
  listing.keepsColumns = true;
  listing.editMode = EditMode::headerOrInfoItem;
  const std::string text = infoItemText(node);
  listing.boxes.push_back({EditBox::editInfo, text, {}, text});
  listing.buttons.apply = true;
  listing.buttons.removeChunk = true;
  return listing;
}

// The table stays on screen, but nothing in it can be applied any more.
Listing unchanged() {
  Listing listing;
  listing.outcome = Outcome::unchanged;
  listing.buttons.apply = listing.buttons.add = listing.buttons.remove = false;
  listing.editMode = EditMode::none;
  return listing;
}

// The nodes a wave file lists in its own way; nullopt for the others.
std::optional<Listing> listWaveNode(const model::Document& document, const model::Node& node,
                                    const FieldSettings& settings) {
  const std::string& name = node.name();
  if (name == "fmt") return listWaveFormat(document.wave);
  if (name == "fact") return listFact(document.wave, settings);
  if (name == "data") return listWaveData(document.wave);
  if (name == "List_info") return listInfoList();
  if (name == "RIFF_WAVE") {
    Listing listing = clearedListing(EditMode::none);
    listing.buttons.removeChunk = false;
    return listing;
  }
  return std::nullopt;
}

// A part of one picture: the zoom buttons follow the zoom factor, the picture becomes the current one and
// the player's step goes back to none.
Listing pictureChild(Listing listing, const model::Document& document, const model::Node& node, int zoomFactor) {
  listing.buttons.removeChunk = false;
  zoomByFactor(listing, zoomFactor);
  listing.pictureToSelect = checkedPicture(document, model::pictureIndexOf(node));
  listing.resetsPlayerStep = true;
  return listing;
}

std::optional<Listing> listKeptNode(const model::Document& document, const model::Node& node) {
  const std::string& name = node.name();
  std::optional<Listing> listing;
  if (name == "png_data") listing = listPngData(node);
  if (name == "image_data" || name == "trailing_data") listing = listKeptBytes(node);
  if (name == "more_images") listing = listMoreImages(node);
  if (name.starts_with("chunk_")) listing = listKeptChunk(node);
  if (!listing) return std::nullopt;
  // A chunk kept whole can be left out of the file; the other kept parts belong to a picture or the file's end.
  listing->buttons.removeChunk = name.starts_with("chunk_");
  listing->pictureToSelect = checkedPicture(document, model::pictureIndexOf(node));
  return listing;
}

std::optional<Listing> listStructureNode(const model::Document& document, const model::Node& node,
                                         const FieldSettings& settings, int zoomFactor, const FileTraits& file) {
  const std::string& name = node.name();
  auto fixed = [](Listing listing, bool removeChunk) {
    listing.buttons.removeChunk = removeChunk;
    noZoom(listing);
    return listing;
  };
  if (name == "RIFF_ACON") return fixed(clearedListing(EditMode::none), false);
  if (name == "List_info") return listInfoList();
  if (name == "header") return fixed(listIconHeader(node), false);
  if (name.starts_with("icon_dir")) {
    Listing listing = listDirectoryEntry(node, file);
    listing.buttons.removeChunk = false;
    zoomByFactor(listing, zoomFactor);
    listing.pictureToSelect = checkedPicture(document, minusOne(model::numberAfter("icon_dir_", name)));
    return listing;
  }
  if (name == "ani_header") return fixed(listAniHeader(document.ani), false);
  if (name == "time") return fixed(listRates(document.ani), true);
  if (name == "sequence") return fixed(listSequence(document.ani), true);
  if (name == "List_images") return fixed(clearedListing(EditMode::frameList), false);
  if (name == "image_info") return pictureChild(listFrameHeader(node), document, node, zoomFactor);
  if (name == "hot_pot") return pictureChild(listHotSpot(node), document, node, zoomFactor);
  if (name == "bitm_info") return pictureChild(listBitmapHeader(node), document, node, zoomFactor);
  if (name == "color_table") return pictureChild(listColourTable(node, settings), document, node, zoomFactor);
  if (name == "color_bitmap") return listPixelPage(document, node, 0, settings, zoomFactor);
  if (name == "mask_bitmap") return pictureChild(listMask(node), document, node, zoomFactor);
  if (name.starts_with("picture")) {
    Listing listing = clearedListing(EditMode::none);
    listing.buttons.removeChunk = document.imageCount > 1 && file.removablePictures;
    zoomByFactor(listing, zoomFactor);
    listing.pictureToSelect = checkedPicture(document, minusOne(model::pictureNumber(name)));
    return listing;
  }
  if (model::isInfoDescription(name)) {
    const bool riff = file.wave || document.kind == model::FileKind::animatedCursor;
    if (riff) return listInfoItem(node);
    return std::nullopt;
  }
  return listKeptNode(document, node);
}

bool isInside(const model::Node& node, const model::Node& ancestor) {
  for (const model::Node* at = &node; at; at = at->parent())
    if (at == &ancestor) return true;
  return false;
}

// A module's resource node selects its first picture; one without children changes nothing.
Listing listResourceNode(const model::Document& document, const model::Node& node, int zoomFactor) {
  if (node.childCount() == 0) return unchanged();
  Listing listing = clearedListing(EditMode::none);
  zoomByFactor(listing, zoomFactor);
  for (const model::Node* at = &node; at && isInside(*at, node); at = document.tree.next(*at)) {
    if (at->name().find(model::picturePrefix) == std::string::npos) continue;
    listing.pictureToSelect = checkedPicture(document, minusOne(model::pictureNumber(at->name())));
    break;
  }
  return listing;
}

// The outermost resource node that holds `node` (or is it).
const model::Node* resourceOf(const model::Node& node) {
  const model::Node* resource = nullptr;
  for (const model::Node* at = &node; at; at = at->parent())
    if (isResourceNode(at->name())) resource = at;
  return resource;
}

// "Save All" writes a module's icon and cursor groups: it is off for the nodes of a bitmap resource.
void setSaveAll(const model::Node& node, Listing& listing) {
  if (const model::Node* resource = resourceOf(node))
    listing.buttons.saveAll = resource->name().find("[Bitmap_") == std::string::npos;
}

}  // namespace

Listing listNode(const model::Document& document, const model::Node& node, const FieldSettings& settings,
                 int zoomFactor) {
  const FileTraits file = traitsOf(document);
  std::optional<Listing> listing;
  if (file.module && isResourceNode(node.name())) {
    listing = listResourceNode(document, node, zoomFactor);
    if (listing->outcome == Outcome::unchanged) return *listing;
  }
  if (!listing && file.wave) listing = listWaveNode(document, node, settings);
  if (!listing && document.kind == model::FileKind::xcursor) listing = listXcursorNode(document, node);
  if (!listing) listing = listStructureNode(document, node, settings, zoomFactor, file);
  if (!listing) listing = clearedListing(EditMode::none);
  if (file.module) setSaveAll(node, *listing);
  return *listing;
}

}  // namespace delvix::fieldview
