#include "cli/set_command.h"

#include <charconv>
#include <ostream>
#include <sstream>

#include "cli/node_path.h"
#include "cli/save_commands.h"
#include "cli/stderr_reporter.h"
#include "edit/remove_chunk.h"
#include "fieldview/apply.h"
#include "fieldview/list_node.h"
#include "fieldview/pixel_table.h"
#include "formats/document_reader.h"

namespace delvix::cli {

namespace {

std::optional<std::size_t> rowNumber(const std::string& text) {
  std::size_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number == 0) return std::nullopt;
  return number - 1;
}

// A colour-table entry or a pixel row (ROW counted over every page): VALUE's words go into the row's boxes in
// the order the strip shows them ("res r g b", "a r g b mask", ...); boxes it leaves out keep the row's values.
fieldview::ApplyResult editColours(model::Document& document, model::Node& node, const std::string& row,
                                   const std::string& value, std::ostream& err) {
  const auto index = rowNumber(row);
  const bool pixels = node.name() == "color_bitmap";
  const std::size_t page = pixels && index ? *index / fieldview::itemsPerPage : 0;
  const std::size_t onPage = pixels && index ? *index % fieldview::itemsPerPage : index.value_or(0);
  const fieldview::Listing listing =
      pixels ? fieldview::listPixelPage(document, node, page, fieldview::FieldSettings{0, 0, 0}, 1)
             : fieldview::listNode(document, node, fieldview::FieldSettings{0, 0, 0}, 1);
  if (!index || onPage >= listing.rows.size()) {
    err << "delvix-cli: the table of " << node.name() << " has no row " << row << '\n';
    return {};
  }
  fieldview::BoxTexts texts =
      pixels ? fieldview::selectPixelRow(node, page, onPage).boxes : fieldview::selectColourTableRow(node, onPage);
  std::istringstream words(value);
  std::string word;
  for (const fieldview::ShownBox& box : listing.boxes)
    if (words >> word) texts[box.box] = word;
  if (pixels) return fieldview::applyPixelRow(document, node, page, onPage, texts);
  return fieldview::applyRow(document, node, fieldview::EditMode::colourTable, onPage, texts);
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
  if (node.name() == "color_table" || node.name() == "color_bitmap")
    return editColours(document, node, row, value, err);
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

int setField(const Invocation& call, Streams streams) {
  const std::vector<std::string>& args = call.operands;
  if (args.size() != 5) {
    streams.err << "delvix-cli: set: needs FILE NODE ROW VALUE OUT (or -o OUT), not " << args.size()
                << " operands\nTry 'delvix-cli set --help' for its operands and options.\n";
    return exitUsage;
  }
  StderrReporter reporter(streams.err, args[0]);
  model::Document document;
  // Colour tables and bitmaps are read with their values, so that their rows can be changed too.
  formats::ReadSettings settings = streams.settings;
  settings.show = {model::state::valuesShown, model::state::valuesShown, model::state::valuesShown};
  if (formats::readDocument(args[0], document, settings, reporter) != formats::ReadOutcome::read) return exitRefused;
  if (const int status = checkSaveTarget(args[0], document, args[4], streams); status != exitOk) return status;
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

int removeNode(const Invocation& call, Streams streams) {
  const std::vector<std::string>& args = call.operands;
  StderrReporter reporter(streams.err, args[0]);
  model::Document document;
  if (formats::readDocument(args[0], document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  if (const int status = checkSaveTarget(args[0], document, args[2], streams); status != exitOk) return status;
  const model::Node* node = nodeAtPath(document.tree, args[1]);
  if (!node) {
    streams.err << "delvix-cli: no node '" << args[1] << "' in " << args[0] << '\n';
    return exitRefused;
  }
  const edit::Removal removal = edit::removeChunk(document, *node);
  if (!removal.removed) {
    if (removal.refusal.empty())
      streams.err << "delvix-cli: " << args[1] << " cannot be removed\n";
    else
      streams.err << "delvix-cli: " << args[1] << ": " << removal.refusal << '\n';
    return exitRefused;
  }
  if (removal.statusText) streams.out << removal.statusText->substr(1) << '\n';
  return saveOpenDocument(args[0], document, args[2], streams, reporter);
}

}  // namespace delvix::cli
