#include "cli/json_output.h"

#include <charconv>
#include <cstdint>

#include "browse/browser_columns.h"
#include "browse/file_names.h"
#include "fieldview/list_node.h"

namespace delvix::cli {

namespace {

nlohmann::json fieldsJson(const fieldview::Listing& listing) {
  nlohmann::json fields = nlohmann::json::array();
  // An INFO item has its text in a box rather than in rows, as `fields` prints it.
  for (const fieldview::ShownBox& box : listing.boxes)
    if (box.box == fieldview::EditBox::editInfo && listing.editMode == fieldview::EditMode::headerOrInfoItem)
      fields.push_back({{"caption", "Text"}, {"value", box.text}, {"editable", true}});
  for (std::size_t i = 0; i < listing.rows.size(); ++i) {
    const fieldview::Row row = listing.rows.at(i);
    fields.push_back(
        {{"caption", row.caption}, {"value", row.value}, {"editable", row.mark == fieldview::Mark::editable}});
  }
  return fields;
}

nlohmann::json nodeJson(const model::Document& document, const model::Node& node) {
  constexpr int zoomFactor = 1;
  nlohmann::json children = nlohmann::json::array();
  for (const auto& child : node.children()) children.push_back(nodeJson(document, *child));
  return {{"name", node.name()},
          {"fields", fieldsJson(fieldview::listNode(document, node, fieldview::FieldSettings{}, zoomFactor))},
          {"children", std::move(children)}};
}

}  // namespace

void writeJson(std::ostream& out, const nlohmann::json& value) {
  out << value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

nlohmann::json kindName(const model::Document& document) {
  switch (document.kind) {
    case model::FileKind::iconFile: return browse::lowerExtension(document.path) == ".cur" ? "cursor" : "icon";
    case model::FileKind::animatedCursor: return "animated cursor";
    case model::FileKind::wave: return "wave";
    case model::FileKind::module: return "module";
    case model::FileKind::none: break;
  }
  return nullptr;
}

nlohmann::json treeJson(const model::Document& document, const std::string& file) {
  nlohmann::json nodes = nlohmann::json::array();
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i)
    nodes.push_back(nodeJson(document, document.tree.topLevel(i)));
  return {{"file", browse::displayText(file)}, {"kind", kindName(document)}, {"nodes", std::move(nodes)}};
}

nlohmann::json columnJson(std::string_view text) {
  if (text.empty() || text == browse::unknownTime) return nullptr;
  const char* end = text.data() + text.size();
  std::uint64_t whole = 0;
  if (auto [stop, error] = std::from_chars(text.data(), end, whole); error == std::errc() && stop == end) return whole;
  double number = 0;
  if (auto [stop, error] = std::from_chars(text.data(), end, number); error == std::errc() && stop == end)
    return number;
  return browse::displayText(text);
}

}  // namespace delvix::cli
