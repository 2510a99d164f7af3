#include "edit/module_resource_edit.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "formats/module_reader.h"
#include "formats/pe/module_rewriter.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/resource_changes.h"
#include "formats/pe/resource_directory.h"
#include "formats/pe/utf16.h"
#include "formats/reporter.h"
#include "model/picture_list.h"

namespace delvix::edit {

namespace {

namespace pe = formats::pe;

// What a resource node's name says after its resource's name: "[Icon_3]", or "[Icon_3_1033]" for a language
// other than the resource's first.
struct NodeLabel {
  pe::ResourceKind kind;
  std::uint32_t type;
  std::optional<std::uint32_t> language;
};

bool allDigits(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<NodeLabel> labelOf(std::string_view name) {
  const std::size_t open = name.rfind(" [");
  if (open == std::string_view::npos || name.back() != ']') return std::nullopt;
  std::string_view inner = name.substr(open + 2, name.size() - open - 3);
  const std::size_t first = inner.find('_');
  if (first == std::string_view::npos) return std::nullopt;
  const std::string_view kind = inner.substr(0, first);
  std::string_view numbers = inner.substr(first + 1);
  NodeLabel label{};
  if (kind == "Icon")
    label = {pe::ResourceKind::iconGroup, pe::rtGroupIcon, std::nullopt};
  else if (kind == "Cursor")
    label = {pe::ResourceKind::cursorGroup, pe::rtGroupCursor, std::nullopt};
  else if (kind == "Bitmap")
    label = {pe::ResourceKind::bitmap, pe::rtBitmap, std::nullopt};
  else
    return std::nullopt;
  const std::size_t second = numbers.find('_');
  if (!allDigits(numbers.substr(0, second))) return std::nullopt;
  if (second != std::string_view::npos) {
    const std::string_view language = numbers.substr(second + 1);
    if (!allDigits(language)) return std::nullopt;
    label.language = static_cast<std::uint32_t>(std::stoul(std::string(language)));
  }
  return label;
}

// A resource name as the tree shows it: the name's text or the number.
std::string textOf(const model::ResourceName& name) {
  if (const auto* text = std::get_if<std::string>(&name)) return *text;
  return std::to_string(std::get<std::uint32_t>(name));
}

std::string textOf(const pe::ResourceId& id) {
  if (const auto* number = std::get_if<std::uint32_t>(&id.value)) return std::to_string(*number);
  const std::u16string& units = std::get<std::u16string>(id.value);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xff));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return pe::utf16ToUtf8(bytes);
}

bool sameName(const model::ResourceName& shown, const pe::ResourceId& id) {
  if (const auto* number = std::get_if<std::uint32_t>(&shown)) return id == pe::ResourceId::number(*number);
  return id.isName() && textOf(id) == std::get<std::string>(shown);
}

const char* kindText(pe::ResourceKind kind) {
  switch (kind) {
    case pe::ResourceKind::iconGroup: return "Icon group";
    case pe::ResourceKind::cursorGroup: return "Cursor group";
    case pe::ResourceKind::animatedCursor: return "Animated cursor";
    case pe::ResourceKind::animatedIcon: return "Animated icon";
    case pe::ResourceKind::bitmap: break;
  }
  return "Bitmap";
}

const char* fileWanted(pe::ResourceKind kind) {
  switch (kind) {
    case pe::ResourceKind::iconGroup: return "an icon file (.ico)";
    case pe::ResourceKind::cursorGroup: return "a cursor file (.cur)";
    case pe::ResourceKind::animatedCursor:
    case pe::ResourceKind::animatedIcon: return "an animated cursor file (.ani)";
    case pe::ResourceKind::bitmap: break;
  }
  return "a bitmap file (.bmp)";
}

std::string describe(const pe::ChangeOutcome& outcome, const char* verb) {
  std::string text = std::string(kindText(outcome.kind)) + " " + textOf(outcome.name) + " (language " +
                     std::to_string(outcome.language) + ") " + verb;
  const bool group = outcome.kind == pe::ResourceKind::iconGroup || outcome.kind == pe::ResourceKind::cursorGroup;
  if (group && std::string_view(verb) != "removed")
    text += ": " + std::to_string(outcome.pictures) + (outcome.pictures == 1 ? " picture" : " pictures");
  return text + ".";
}

// The resource a node stands for: its kind, its name as the module stores it and its language.
struct Located {
  pe::ResourceKind kind;
  pe::ResourceTarget target;
};

std::optional<Located> locate(const model::Document& document, const model::Node& node, const pe::PeImage& image,
                              const pe::ResourceTree& resources, std::string& whyNot) {
  const std::optional<NodeLabel> label = isModuleResourceNode(document, node) ? labelOf(node.name()) : std::nullopt;
  const model::ResourceName* shown = node.resourceName();
  if (!label || !shown) {
    whyNot = "Only an icon group, a cursor group or a bitmap of the module can be replaced or removed.";
    return std::nullopt;
  }
  Located located{label->kind, {}};
  for (const pe::ResourceId& id : resources.names(pe::ResourceId::number(label->type)))
    if (sameName(*shown, id)) {
      located.target.name = id;
      break;
    }
  if (!located.target.name) {
    whyNot = "The module holds no resource \"" + textOf(*shown) + "\" any more.";
    return std::nullopt;
  }
  located.target.language = label->language;
  // Without a language in its name, the node shows the resource's first language as the module lists it.
  if (!located.target.language)
    if (auto directory = pe::ResourceDirectory::open(image)) {
      const std::vector<pe::ResourceLanguage> languages = directory->languages(label->type, *shown);
      if (!languages.empty()) located.target.language = languages.front().id;
    }
  return located;
}

bool samePicture(const model::PictureEntry& a, const model::PictureEntry& b) {
  return a.placeholder == b.placeholder && a.sizeText == b.sizeText && a.bitCountText == b.bitCountText;
}

bool sameSubtree(const model::Node& a, const model::Node& b) {
  if (a.name() != b.name() || a.stateImage() != b.stateImage() || a.childCount() != b.childCount()) return false;
  if (a.block() != b.block()) return false;
  const model::ResourceName* aName = a.resourceName();
  const model::ResourceName* bName = b.resourceName();
  if ((aName == nullptr) != (bName == nullptr) || (aName && *aName != *bName)) return false;
  for (std::size_t i = 0; i < a.childCount(); ++i)
    if (!sameSubtree(a.child(i), b.child(i))) return false;
  return true;
}

// Makes `document` show what `read` holds: the resource nodes that differ are swapped (those before and after
// them that are the same stay, so the step holds only what changed), the picture list follows entry by entry.
void swapIn(model::Document& document, model::Document& read) {
  model::Tree& tree = document.tree;
  const std::size_t oldCount = tree.topLevelCount();
  const std::size_t newCount = read.tree.topLevelCount();
  const std::size_t common = std::min(oldCount, newCount);
  std::size_t prefix = 0;
  while (prefix < common && sameSubtree(tree.topLevel(prefix), read.tree.topLevel(prefix))) ++prefix;
  std::size_t suffix = 0;
  while (suffix < common - prefix &&
         sameSubtree(tree.topLevel(oldCount - 1 - suffix), read.tree.topLevel(newCount - 1 - suffix)))
    ++suffix;
  for (std::size_t i = oldCount - suffix; i-- > prefix;) tree.remove(tree.topLevel(i));
  for (std::size_t i = prefix; i < newCount - suffix; ++i) tree.adoptTopLevel(i, read.tree.takeTopLevel(prefix));

  std::vector<model::PictureEntry>& pictures = document.pictures;
  for (std::size_t i = 0; i < std::min(pictures.size(), read.pictures.size()); ++i)
    if (!samePicture(pictures[i], read.pictures[i])) model::replacePicture(document, i, read.pictures[i]);
  while (pictures.size() > read.pictures.size()) model::erasePicture(document, pictures.size() - 1);
  for (std::size_t i = pictures.size(); i < read.pictures.size(); ++i)
    model::insertPicture(document, i, read.pictures[i]);
  document.imageCount = read.imageCount;
  document.module = std::move(read.module);
}

const model::Node* nodeOf(const model::Document& document, const pe::ChangeOutcome& outcome) {
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i) {
    const model::Node& node = document.tree.topLevel(i);
    const std::optional<NodeLabel> label = labelOf(node.name());
    if (label && label->kind == outcome.kind && node.resourceName() && sameName(*node.resourceName(), outcome.name))
      return &node;
  }
  return nullptr;
}

using Change = std::function<std::optional<pe::ChangeOutcome>(const pe::PeImage&, pe::ResourceTree&, std::string&)>;

// Validate, then write: every check is made on the module's bytes before the document changes.
ModuleEdit changeModule(model::Document& document, const ModuleEditSettings& settings, const char* verb,
                        const Change& change) {
  ModuleEdit edit;
  const model::SharedBytes current = document.module.bytes;
  if (document.kind != model::FileKind::module || current.empty()) {
    edit.refusal = "The module's bytes are not at hand: open the module again.";
    return edit;
  }
  if (document.module.treeEdited) {
    edit.refusal =
        "The module's pictures were changed in the field table, and a change of its resources would read them "
        "again from the module without those changes: save them as a group (Save All, an .ico or .cur file) or "
        "undo them first.";
    return edit;
  }
  std::string whyNot;
  const auto image = pe::PeImage::parse(current.bytes(), whyNot);
  if (!image) {
    edit.refusal = whyNot;
    return edit;
  }
  if (pe::isSigned(*image) && !settings.stripSignature) {
    edit.signed_ = true;
    edit.refusal = "The module is signed: changing its resources removes the signature.";
    return edit;
  }
  auto resources = pe::readResourceTree(*image, whyNot);
  if (!resources) {
    edit.refusal = "The module's resources cannot be rewritten: " + whyNot;
    return edit;
  }
  const std::optional<pe::ChangeOutcome> outcome = change(*image, *resources, whyNot);
  if (!outcome) {
    edit.refusal = whyNot;
    return edit;
  }
  auto rewritten = pe::rewriteResources(current.bytes(), *resources, {settings.stripSignature}, whyNot);
  if (!rewritten) {
    edit.refusal = "The module cannot be rewritten: " + whyNot;
    return edit;
  }
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(rewritten->bytes));
  model::Document read;
  formats::RecordingReporter said;
  if (!formats::readModule(*bytes, read, settings.show, settings.kinds, said)) {
    edit.refusal = "The changed module could not be read back";
    for (const formats::DialogRequest& dialog : said.dialogs) edit.refusal += ": " + dialog.text;
    edit.refusal += ".";
    return edit;
  }
  read.module.bytes = model::SharedBytes(bytes, *bytes);
  swapIn(document, read);
  edit.changed = true;
  edit.summary = describe(*outcome, verb);
  edit.log = std::move(rewritten->notes);
  for (std::string& line : said.lines) edit.log.push_back(std::move(line));
  edit.select = nodeOf(document, *outcome);
  return edit;
}

}  // namespace

bool isModuleResourceNode(const model::Document& document, const model::Node& node) {
  return document.kind == model::FileKind::module && document.tree.isTopLevel(node) && node.resourceName() &&
         labelOf(node.name()).has_value();
}

ModuleEdit replaceModuleResource(model::Document& document, const model::Node& resource,
                                 std::span<const std::uint8_t> file, const ModuleEditSettings& settings) {
  return changeModule(document, settings, "replaced",
                      [&](const pe::PeImage& image, pe::ResourceTree& resources,
                          std::string& whyNot) -> std::optional<pe::ChangeOutcome> {
                        const auto located = locate(document, resource, image, resources, whyNot);
                        if (!located) return std::nullopt;
                        const auto kind = pe::kindOfFile(file, whyNot);
                        if (!kind) return std::nullopt;
                        if (*kind != located->kind) {
                          whyNot = std::string(kindText(located->kind)) + " " + textOf(*located->target.name) +
                                   " is replaced by " + fileWanted(located->kind) + ", and this file is " +
                                   fileWanted(*kind) + ".";
                          return std::nullopt;
                        }
                        return pe::setResource(resources, located->kind, file, located->target, whyNot);
                      });
}

ModuleEdit removeModuleResource(model::Document& document, const model::Node& resource,
                                const ModuleEditSettings& settings) {
  return changeModule(document, settings, "removed",
                      [&](const pe::PeImage& image, pe::ResourceTree& resources,
                          std::string& whyNot) -> std::optional<pe::ChangeOutcome> {
                        const auto located = locate(document, resource, image, resources, whyNot);
                        if (!located) return std::nullopt;
                        return pe::removeResource(resources, located->kind, located->target, whyNot);
                      });
}

ModuleEdit addModuleIconGroup(model::Document& document, std::span<const std::uint8_t> file,
                              const ModuleEditSettings& settings) {
  return changeModule(
      document, settings, "added",
      [&](const pe::PeImage&, pe::ResourceTree& resources, std::string& whyNot) -> std::optional<pe::ChangeOutcome> {
        const auto kind = pe::kindOfFile(file, whyNot);
        if (!kind) return std::nullopt;
        if (*kind != pe::ResourceKind::iconGroup) {
          whyNot = std::string("An icon group is made from an icon file (.ico), and this file is ") +
                   fileWanted(*kind) + ".";
          return std::nullopt;
        }
        return pe::addResource(resources, pe::ResourceKind::iconGroup, file, {}, whyNot);
      });
}

}  // namespace delvix::edit
