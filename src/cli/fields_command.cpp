#include "cli/fields_command.h"

#include <ostream>

#include "cli/node_path.h"
#include "cli/stderr_reporter.h"
#include "fieldview/list_node.h"
#include "formats/document_reader.h"

namespace delvix::cli {

namespace {

void printRows(const fieldview::Listing& listing, std::ostream& out) {
  // An INFO item has its text in a box rather than in rows.
  for (const fieldview::ShownBox& box : listing.boxes)
    if (box.box == fieldview::EditBox::editInfo && listing.editMode == fieldview::EditMode::headerOrInfoItem)
      out << "Text\t" << box.text << "\trw\n";
  const bool third = listing.columns[2].width > 0;
  for (std::size_t i = 0; i < listing.rows.size(); ++i) {
    const fieldview::Row row = listing.rows.at(i);
    out << row.caption << '\t' << row.value;
    if (third) out << '\t' << row.third;
    out << '\t' << (row.mark == fieldview::Mark::editable ? "rw" : "ro") << '\n';
  }
}

}  // namespace

int printFields(std::span<const std::string> args, Streams streams) {
  if (args.empty() || args.size() > 2) {
    streams.err << "usage: delvix-cli fields FILE [NODE]\n";
    return exitUsage;
  }
  // Colour tables and masks are listed with their values, as with the "show" settings on.
  formats::ReadSettings settings = streams.settings;
  settings.show = {model::state::valuesShown, model::state::valuesShown, model::state::valuesShown};
  model::Document document;
  StderrReporter reporter(streams.err);
  if (formats::readDocument(args[0], document, settings, reporter) != formats::ReadOutcome::read) return exitRefused;

  const fieldview::FieldSettings fieldSettings;
  constexpr int zoomFactor = 1;
  if (args.size() == 2) {
    const model::Node* node = nodeAtPath(document.tree, args[1]);
    if (!node) {
      streams.err << "delvix-cli: no node '" << args[1] << "' in " << args[0] << '\n';
      return exitRefused;
    }
    const fieldview::Listing listing = fieldview::listNode(document, *node, fieldSettings, zoomFactor);
    if (listing.outcome == fieldview::Outcome::notListedYet) streams.err << args[1] << ": not listed yet\n";
    printRows(listing, streams.out);
    return exitOk;
  }
  document.tree.forEach([&](const model::Node& node, int) {
    streams.out << pathOf(document.tree, node) << '\n';
    printRows(fieldview::listNode(document, node, fieldSettings, zoomFactor), streams.out);
  });
  return exitOk;
}

}  // namespace delvix::cli
