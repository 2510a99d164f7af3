#include "cli/fields_command.h"

#include <ostream>

#include "cli/stderr_reporter.h"
#include "fieldview/list_node.h"
#include "formats/document_reader.h"

namespace delvix::cli {

namespace {

// The node at a path of names from the top joined by '/', or null.
const model::Node* nodeAtPath(const model::Tree& tree, const std::string& path) {
  const model::Node* node = nullptr;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view name = std::string_view(path).substr(start, end - start);
    if (!node) {
      for (std::size_t i = 0; i < tree.topLevelCount() && !node; ++i)
        if (tree.topLevel(i).name() == name) node = &tree.topLevel(i);
    } else {
      node = node->findChild(name);
    }
    if (!node) return nullptr;
    start = end + 1;
  }
  return node;
}

std::string pathOf(const model::Tree& tree, const model::Node& node) {
  std::string path = node.name();
  for (const model::Node* at = &node; !tree.isTopLevel(*at) && at->parent(); at = at->parent())
    path = at->parent()->name() + "/" + path;
  return path;
}

void printRows(const fieldview::Listing& listing, std::ostream& out) {
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
