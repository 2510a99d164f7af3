#include "cli/json_output.h"

#include <charconv>
#include <cstdint>

#include "browse/browser_columns.h"
#include "browse/file_names.h"
#include "fieldview/list_node.h"

namespace delvix::cli {

namespace {

// A JSON string, its bad UTF-8 bytes replaced as writeJson does.
std::string quoted(std::string_view text) {
  return nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Writes the tree as writeJson would lay out the whole document, one node at a time: a document of a
// hundred thousand chunks is never held as JSON values, which cost hundreds of bytes each.
class TreeJsonWriter {
 public:
  TreeJsonWriter(std::ostream& out, const model::Document& document) : out_(out), document_(document) {}

  void node(const model::Node& node, int depth) {
    const std::string inner(static_cast<std::size_t>(depth + 1) * 2, ' ');
    out_ << std::string(static_cast<std::size_t>(depth) * 2, ' ') << "{\n" << inner << "\"children\": ";
    if (node.childCount() == 0) {
      out_ << "[]";
    } else {
      out_ << "[\n";
      for (std::size_t i = 0; i < node.childCount(); ++i) {
        if (i) out_ << ",\n";
        this->node(node.child(i), depth + 2);
      }
      out_ << '\n' << inner << ']';
    }
    out_ << ",\n" << inner << "\"fields\": ";
    constexpr int zoomFactor = 1;
    fields(fieldview::listNode(document_, node, fieldview::FieldSettings{}, zoomFactor), depth + 2);
    out_ << ",\n"
         << inner << "\"name\": " << quoted(node.name()) << '\n'
         << std::string(static_cast<std::size_t>(depth) * 2, ' ') << '}';
  }

 private:
  void field(std::string_view caption, std::string_view value, bool editable, int depth, bool& first) {
    const std::string outer(static_cast<std::size_t>(depth) * 2, ' ');
    const std::string inner = outer + "  ";
    out_ << (first ? "[\n" : ",\n") << outer << "{\n"
         << inner << "\"caption\": " << quoted(caption) << ",\n"
         << inner << "\"editable\": " << (editable ? "true" : "false") << ",\n"
         << inner << "\"value\": " << quoted(value) << '\n'
         << outer << '}';
    first = false;
  }

  // As `fields` prints them: an INFO item has its text in a box rather than in rows.
  void fields(const fieldview::Listing& listing, int depth) {
    bool first = true;
    for (const fieldview::ShownBox& box : listing.boxes)
      if (box.box == fieldview::EditBox::editInfo && listing.editMode == fieldview::EditMode::headerOrInfoItem)
        field("Text", box.text, true, depth, first);
    for (std::size_t i = 0; i < listing.rows.size(); ++i) {
      const fieldview::Row row = listing.rows.at(i);
      field(row.caption, row.value, row.mark == fieldview::Mark::editable, depth, first);
    }
    out_ << (first ? "[]" : "\n" + std::string(static_cast<std::size_t>(depth - 1) * 2, ' ') + "]");
  }

  std::ostream& out_;
  const model::Document& document_;
};

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
    case model::FileKind::xcursor: return "X cursor";
    case model::FileKind::none: break;
  }
  return nullptr;
}

void writeTreeJson(std::ostream& out, const model::Document& document, const std::string& file) {
  out << "{\n  \"file\": " << quoted(browse::displayText(file)) << ",\n  \"kind\": " << kindName(document).dump()
      << ",\n  \"nodes\": ";
  if (document.tree.topLevelCount() == 0) {
    out << "[]\n}\n";
    return;
  }
  out << "[\n";
  TreeJsonWriter writer(out, document);
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i) {
    if (i) out << ",\n";
    writer.node(document.tree.topLevel(i), 2);
  }
  out << "\n  ]\n}\n";
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
