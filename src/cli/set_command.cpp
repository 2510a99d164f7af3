#include "cli/set_command.h"

#include <charconv>
#include <ostream>

#include "cli/node_path.h"
#include "cli/save_commands.h"
#include "cli/stderr_reporter.h"
#include "fieldview/apply.h"
#include "fieldview/list_node.h"
#include "formats/document_reader.h"

namespace delvix::cli {

namespace {

std::optional<std::size_t> rowNumber(const std::string& text) {
  std::size_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number == 0) return std::nullopt;
  return number - 1;
}

// What the window would do with ROW and VALUE on the table listed for `node`.
fieldview::ApplyResult edit(model::Document& document, model::Node& node, const std::string& row,
                            const std::string& value, std::ostream& err) {
  using fieldview::EditBox;
  if (row == "add") return fieldview::addStep(document, node, value);
  if (row == "remove") {
    const auto step = rowNumber(value);
    if (!step) return {};
    return fieldview::removeStep(document, node, *step);
  }
  const fieldview::Listing listing = fieldview::listNode(document, node, fieldview::FieldSettings{0, 0, 0}, 1);
  const bool infoItem = std::ranges::any_of(listing.boxes, [](auto& box) { return box.box == EditBox::editInfo; }) &&
                        listing.buttons.apply.value_or(false);
  const auto index = infoItem ? std::optional<std::size_t>(0) : rowNumber(row);
  if (!index || (!infoItem && *index >= listing.rows.size())) {
    err << "delvix-cli: the table of " << node.name() << " has no row " << row << '\n';
    return {};
  }
  if (!infoItem && !fieldview::selectRow(node, listing.rows.at(*index), listing.rows.size()).apply) {
    err << "delvix-cli: row " << row << " of " << node.name() << " cannot be changed\n";
    return {};
  }
  const fieldview::BoxTexts texts{{EditBox::edit1, value}, {EditBox::editInfo, value}};
  return fieldview::applyRow(document, node, listing.editMode.value_or(fieldview::EditMode::none), *index, texts);
}

}  // namespace

int setField(std::span<const std::string> args, Streams streams) {
  StderrReporter reporter(streams.err);
  model::Document document;
  if (formats::readDocument(args[0], document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  model::Node* node = nodeAtPath(document.tree, args[1]);
  if (!node) {
    streams.err << "delvix-cli: no node '" << args[1] << "' in " << args[0] << '\n';
    return exitRefused;
  }
  const fieldview::ApplyResult result = edit(document, *node, args[2], args[3], streams.err);
  switch (result.kind) {
    case fieldview::ApplyResult::Kind::refused: streams.err << result.message << '\n'; return exitRefused;
    case fieldview::ApplyResult::Kind::nothing: streams.err << "delvix-cli: nothing was changed\n"; return exitRefused;
    case fieldview::ApplyResult::Kind::applied: break;
  }
  for (const auto& [index, row] : result.changedRows) streams.out << row.caption << '\t' << row.value << '\n';
  if (result.statusText) streams.out << result.statusText->substr(1) << '\n';
  return saveOpenDocument(args[0], document, args[4], streams, reporter);
}

}  // namespace delvix::cli
