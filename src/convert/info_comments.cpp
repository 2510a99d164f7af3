#include "convert/info_comments.h"

#include "formats/icon_image_writer.h"
#include "formats/riff/info_text.h"
#include "model/info_items.h"

namespace delvix::convert {

namespace {

namespace xc = formats::xcursor;

const model::Node* findNode(const model::Node& node, std::string_view name) {
  if (node.name() == name) return &node;
  for (std::size_t i = 0; i < node.childCount(); ++i)
    if (const model::Node* found = findNode(node.child(i), name)) return found;
  return nullptr;
}

}  // namespace

std::vector<xc::CommentChunk> commentsOfInfo(const model::Document& document) {
  std::vector<xc::CommentChunk> comments;
  const model::Node* list = nullptr;
  for (std::size_t i = 0; i < document.tree.topLevelCount() && !list; ++i)
    list = findNode(document.tree.topLevel(i), "List_info");
  if (!list) return comments;
  for (const model::InfoItem& item : model::infoItems()) {
    const model::Node* node = list->findChild(item.description);
    if (!node) continue;
    const std::string text = formats::riff::infoText(formats::blockData(node->block(), 4));
    if (text.empty()) continue;
    xc::CommentChunk comment;
    if (item.id == "ICOP") {
      comment.kind = static_cast<std::uint32_t>(xc::CommentKind::copyright);
      comment.text = text;
    } else {
      comment.text = item.id == "ICMT" ? text : std::string(item.description) + ": " + text;
    }
    comments.push_back(std::move(comment));
  }
  return comments;
}

}  // namespace delvix::convert
