#include "formats/module_reader.h"

#include "formats/file_content.h"
#include "formats/module_bitmap_reader.h"
#include "formats/module_group_reader.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/resource_directory.h"

namespace delvix::formats {

namespace {

using model::Node;

// Every module may decode this many pixels, and more in proportion to its size.
constexpr std::uint64_t basePixelBudget = std::uint64_t{1} << 24;
constexpr std::uint64_t pixelsPerFileByte = 64;
// Its pictures' nodes may hold this many bytes, and more in proportion to its size: a module stores
// each image once, so only resources shared by many names come near it.
constexpr std::uint64_t baseStoreBudget = std::uint64_t{1} << 24;
constexpr std::uint64_t storedBytesPerFileByte = 16;

enum class Kind { icons, cursors, bitmaps };

struct KindInfo {
  std::uint32_t type;
  const char* label;  // in the resource node's name
  int model::ModuleState::*next;
  std::string model::ModuleState::*status;
};

KindInfo infoOf(Kind kind) {
  switch (kind) {
    case Kind::icons: return {pe::rtGroupIcon, "Icon", &model::ModuleState::nextIcon, &model::ModuleState::iconsLabel};
    case Kind::cursors:
      return {pe::rtGroupCursor, "Cursor", &model::ModuleState::nextCursor, &model::ModuleState::cursorsLabel};
    case Kind::bitmaps: break;
  }
  return {pe::rtBitmap, "Bitmap", &model::ModuleState::nextBitmap, &model::ModuleState::bitmapsLabel};
}

void readKind(module::Context& context, Kind kind) {
  const KindInfo info = infoOf(kind);
  model::ModuleState& state = context.document.module;
  std::vector<Node*> added;
  for (model::ResourceName& name : context.resources.names(info.type)) {
    int& k = state.*info.next;
    std::string text = module::nodeName(name) + " [" + info.label + "_" + std::to_string(k) + "]";
    added.push_back(&context.document.tree.addTopLevel(std::move(text), std::move(name)));
    state.*info.status = std::to_string(k);
    ++k;
  }
  // Every resource node is expanded, however many there are.
  for (Node* node : added) {
    switch (kind) {
      case Kind::icons: module::expandGroup(context, *node, module::GroupKind::icon); break;
      case Kind::cursors: module::expandGroup(context, *node, module::GroupKind::cursor); break;
      case Kind::bitmaps: module::expandBitmap(context, *node); break;
    }
  }
}

}  // namespace

bool readModule(Bytes file, model::Document& document, const model::ShowSettings& show,
                const model::ResourceKinds& kinds, Reporter& reporter) {
  document.kind = model::FileKind::module;
  document.module = {};
  if (!kinds.any()) return true;

  std::string whyNot;
  auto image = pe::PeImage::parse(file, whyNot);
  if (!image) {
    // The file was opened: what its headers lack is the message.
    reporter.error(whyNot);
    return false;
  }
  for (const std::string& warning : image->warnings()) reporter.log(warning);

  // A module without resources loads as data like any other; there is just nothing to list.
  if (auto resources = pe::ResourceDirectory::open(*image)) {
    // Every picture takes at least a group entry's bytes of the file.
    module::Context context{*resources,
                            document,
                            show,
                            reporter,
                            file.size(),
                            basePixelBudget + pixelsPerFileByte * file.size(),
                            file.size() / module::groupEntrySize,
                            baseStoreBudget + storedBytesPerFileByte * file.size()};
    if (kinds.icons) readKind(context, Kind::icons);
    if (kinds.cursors) readKind(context, Kind::cursors);
    if (kinds.bitmaps) readKind(context, Kind::bitmaps);
    for (const std::string& warning : resources->warnings()) reporter.log(warning);
  } else {
    reporter.log(image->resourceRva() == 0 ? "This module has no resource directory."
                                           : "The resource directory of this module is not in the file.");
  }

  model::ModuleState& state = document.module;
  if (!kinds.icons) state.iconsLabel = "?";
  if (!kinds.cursors) state.cursorsLabel = "?";
  if (!kinds.bitmaps) state.bitmapsLabel = "?";
  return true;
}

bool readModule(const std::filesystem::path& path, model::Document& document, const model::ShowSettings& show,
                const model::ResourceKinds& kinds, Reporter& reporter) {
  std::string whyNot;
  auto bytes = FileContent::read(path, &whyNot);
  if (!bytes) {
    document.kind = model::FileKind::module;
    reporter.error("Could not open this file: " + whyNot);
    return false;
  }
  return readModule(*bytes, document, show, kinds, reporter);
}

}  // namespace delvix::formats
