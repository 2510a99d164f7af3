#include "model/show_states.h"

#include <utility>

namespace delvix::model {

namespace {

const int* showStateOf(const Node& node, const ShowSettings& show) {
  if (node.name() == "color_table") return &show.table;
  if (node.name() == "color_bitmap") return &show.color;
  if (node.name() == "mask_bitmap") return &show.mask;
  return nullptr;
}

bool pictureHasRows(const Node& picture) {
  const Node* colour = picture.findChild("color_bitmap");
  return colour && !std::as_const(*colour).block().empty();
}

void visit(Node& node, const ShowSettings& show, std::vector<const Node*>& changed) {
  for (std::size_t i = 0; i < node.childCount(); ++i) {
    Node& child = node.child(i);
    if (const int* state = showStateOf(child, show)) {
      if (child.stateImage() != *state && pictureHasRows(node)) {
        child.setStateImage(*state);
        changed.push_back(&child);
      }
      continue;
    }
    visit(child, show, changed);
  }
}

}  // namespace

std::vector<const Node*> applyShowStates(Tree& tree, const ShowSettings& show) {
  std::vector<const Node*> changed;
  for (std::size_t i = 0; i < tree.topLevelCount(); ++i) visit(tree.topLevel(i), show, changed);
  return changed;
}

}  // namespace delvix::model
