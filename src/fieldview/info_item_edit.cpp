#include "fieldview/apply_edits.h"
#include "fieldview/info_text.h"

namespace delvix::fieldview {

ApplyResult applyInfoItem(model::Document& document, model::Node& node, const std::string& text) {
  // A RIFF file counts its bytes in 32 bits.
  if (text.size() > 0xFFFF0000u) return refusedWith("This text is too long for an INFO item.");
  node.setBlock(infoItemBlock(text, node));
  ApplyResult result;
  result.kind = ApplyResult::Kind::applied;
  result.statusText = refreshStoredSizes(document);
  return result;
}

}  // namespace delvix::fieldview
