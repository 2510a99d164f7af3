#include "preview/module_picture_kind.h"

#include <array>

#include "formats/module_context.h"
#include "preview/frame_render.h"

namespace delvix::preview {

std::string_view modulePictureKind(const model::Document& document, int index) {
  const model::Node* picture = pictureNode(document, index);
  if (!picture || !picture->parent()) return {};
  // The label is the last bracket: a resource's own name may hold text that looks like one.
  const std::string& name = picture->parent()->name();
  const std::size_t open = name.rfind(" [");
  if (open == std::string::npos) return {};
  const std::string_view label = std::string_view(name).substr(open + 2);
  for (std::string_view kind : std::array<std::string_view, 3>{"Icon", "Cursor", "Bitmap"})
    if (label.starts_with(kind) && label.size() > kind.size() && label[kind.size()] == '_' && label.ends_with(']'))
      return kind;
  return {};
}

std::string moduleRowText(const model::Document& document, int index) {
  const bool known = index >= 0 && static_cast<std::size_t>(index) < document.pictures.size();
  const std::string text = known ? document.pictures[static_cast<std::size_t>(index)].sizeText : std::string();
  const std::string_view kind = modulePictureKind(document, index);
  if (kind.empty() || text.ends_with("[" + std::string(kind) + "]")) return text;
  // A picture that cannot be drawn is "none" in the list: the resource's name and kind go before it.
  const model::Node& resourceNode = *pictureNode(document, index)->parent();
  const model::ResourceName* name = resourceNode.resourceName();
  const std::string resource =
      (name ? formats::module::displayName(*name) +
                  formats::module::languageSuffix(formats::module::languageOf(resourceNode)) + " "
            : std::string()) +
      "[" + std::string(kind) + "]";
  return text.empty() ? resource : resource + " " + text;
}

}  // namespace delvix::preview
