#include "formats/module_reader.h"

#include <array>
#include <memory>

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

void expand(module::Context& context, Node& node, Kind kind) {
  switch (kind) {
    case Kind::icons: module::expandGroup(context, node, module::GroupKind::icon); break;
    case Kind::cursors: module::expandGroup(context, node, module::GroupKind::cursor); break;
    case Kind::bitmaps: module::expandBitmap(context, node); break;
  }
}

// A resource in a language other than its name's first, listed after every first language.
struct OtherLanguage {
  Kind kind;
  model::ResourceName name;
  pe::ResourceLanguage language;
  int number;  // the k of its first language's node
};

// The other languages met while the first ones are read.
struct OtherLanguages {
  std::vector<OtherLanguage> list;
  // Each repeats its resource's name: together no longer than the file, however many languages share one.
  std::size_t nameBytesLeft = 0;
  bool cut = false;
};

// Adds and expands the node "NAME [Kind_k]" of each resource name of `kind` in its first language; its other
// languages go to `others`. Returns the number of nodes added.

std::size_t readKind(module::Context& context, Kind kind, OtherLanguages& others) {
  const KindInfo info = infoOf(kind);
  model::ModuleState& state = context.document.module;
  std::vector<Node*> added;
  for (model::ResourceName& name : context.resources.names(info.type)) {
    const int k = (state.*info.next)++;
    std::vector<pe::ResourceLanguage> languages = context.resources.languages(info.type, name);
    for (std::size_t i = 1; i < languages.size() && !others.cut; ++i) {
      const std::size_t length = module::displayName(name).size() + 1;
      if (length > others.nameBytesLeft) {
        context.reporter.log(
            "The resources' languages repeat their names more often than the file could hold; the "
            "later languages are not listed.");
        others.cut = true;
        break;
      }
      others.nameBytesLeft -= length;
      others.list.push_back({kind, name, languages[i], k});
    }
    std::string text = module::nodeName(name) + " [" + info.label + "_" + std::to_string(k) + "]";
    added.push_back(&context.document.tree.addTopLevel(std::move(text), std::move(name)));
  }
  // Every resource node is expanded, however many there are.
  for (Node* node : added) expand(context, *node, kind);
  return added.size();
}

// Adds and expands "NAME [Kind_k_LANG]" for every other language, after all the first ones so that what they
// hold keeps its number. Counts the nodes of each kind into `listed`.
void readOtherLanguages(module::Context& context, const std::vector<OtherLanguage>& others,
                        std::array<std::size_t, 3>& listed) {
  std::vector<Node*> added;
  for (const OtherLanguage& other : others) {
    const KindInfo info = infoOf(other.kind);
    std::string text = module::nodeName(other.name) + " [" + info.label + "_" + std::to_string(other.number) + "_" +
                       std::to_string(*other.language.id) + "]";
    added.push_back(&context.document.tree.addTopLevel(std::move(text), other.name));
    ++listed[static_cast<std::size_t>(other.kind)];
  }
  for (std::size_t i = 0; i < added.size(); ++i) expand(context, *added[i], others[i].kind);
}

bool model::ResourceKinds::*kindSetting(Kind kind) {
  switch (kind) {
    case Kind::icons: return &model::ResourceKinds::icons;
    case Kind::cursors: return &model::ResourceKinds::cursors;
    case Kind::bitmaps: break;
  }
  return &model::ResourceKinds::bitmaps;
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
    // The status labels count every language of every resource, as the image browser does.
    OtherLanguages others;
    others.nameBytesLeft = file.size();
    std::array<std::size_t, 3> listed{};
    for (Kind kind : {Kind::icons, Kind::cursors, Kind::bitmaps})
      if (kinds.*kindSetting(kind)) listed[static_cast<std::size_t>(kind)] = readKind(context, kind, others);
    readOtherLanguages(context, others.list, listed);
    for (Kind kind : {Kind::icons, Kind::cursors, Kind::bitmaps})
      document.module.*infoOf(kind).status = std::to_string(listed[static_cast<std::size_t>(kind)]);
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
  // The bytes stay with the document: a change of its resources starts from them.
  auto content = std::make_shared<const FileContent>(std::move(*bytes));
  const bool read = readModule(content->bytes(), document, show, kinds, reporter);
  document.module.bytes = model::SharedBytes(content, content->bytes());
  return read;
}

}  // namespace delvix::formats
