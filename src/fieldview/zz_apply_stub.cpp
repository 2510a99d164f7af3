#include "fieldview/apply.h"
namespace delvix::fieldview {
ApplyResult applyRow(model::Document&, model::Node&, EditMode, std::size_t, const BoxTexts&) { return {}; }
ApplyResult addStep(model::Document&, const model::Node&, const std::string&) { return {}; }
ApplyResult removeStep(model::Document&, const model::Node&, std::size_t) { return {}; }
std::optional<std::string> refreshStoredSizes(model::Document&) { return {}; }
}  // namespace delvix::fieldview
