#include "cli/fields_command.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/node_path.h"
#include "cli/stderr_reporter.h"
#include "fieldview/list_node.h"
#include "fieldview/pixel_table.h"
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

namespace {

// "--show=table,color,mask" and "--edit=table,data,fact": which values are listed and which may be edited, as
// the options of the window set them. False on a word it does not know.
bool takeListingOptions(std::vector<std::string>& args, model::ShowSettings& show, fieldview::FieldSettings& edit) {
  for (auto it = args.begin(); it != args.end();) {
    const bool showOption = it->starts_with("--show="), editOption = it->starts_with("--edit=");
    if (!showOption && !editOption) {
      ++it;
      continue;
    }
    std::string_view words = std::string_view(*it).substr(7);
    while (!words.empty()) {
      const std::size_t comma = words.find(',');
      const std::string_view word = words.substr(0, comma);
      words = comma == std::string_view::npos ? std::string_view() : words.substr(comma + 1);
      int* setting = nullptr;
      if (showOption)
        setting = word == "table" ? &show.table : word == "color" ? &show.color : word == "mask" ? &show.mask : nullptr;
      if (editOption)
        setting = word == "table"  ? &edit.editTable
                  : word == "data" ? &edit.editData
                  : word == "fact" ? &edit.editFact
                                   : nullptr;
      if (!setting) return false;
      *setting = showOption ? model::state::valuesShown : 0;
    }
    it = args.erase(it);
  }
  return true;
}

// "--page=N" (from 1) or "--page=all": which pages of a colour bitmap's pixel table are printed, as a range.
bool takePageOption(std::vector<std::string>& args, std::optional<std::pair<std::size_t, std::size_t>>& pages) {
  for (auto it = args.begin(); it != args.end(); ++it) {
    if (!it->starts_with("--page=")) continue;
    const std::string value = it->substr(7);
    std::size_t page = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), page);
    if (value == "all")
      pages = {0, SIZE_MAX};
    else if (error == std::errc() && end == value.data() + value.size() && page > 0)
      pages = {page - 1, page};
    else
      return false;
    args.erase(it);
    return true;
  }
  return true;
}

// Why a table whose values are hidden lists nothing: the --show word it needs, or that its values are not
// listed at all (a bitmap's rows that are not stored as they are drawn).
std::string whyNoValues(const model::Node& node, const model::ShowSettings& show) {
  const std::string& name = node.name();
  const bool table = name == "color_table", color = name == "color_bitmap", mask = name == "mask_bitmap";
  const int* setting = table ? &show.table : color ? &show.color : mask ? &show.mask : nullptr;
  if (!setting || *setting == model::state::valuesShown) return "its values are not listed";
  return std::string("its values are listed with --show=") + (table ? "table" : color ? "color" : "mask");
}

}  // namespace

int printFields(std::span<const std::string> arguments, Streams streams) {
  std::vector<std::string> args(arguments.begin(), arguments.end());
  formats::ReadSettings settings = streams.settings;
  fieldview::FieldSettings fieldSettings;
  std::optional<std::pair<std::size_t, std::size_t>> pages;
  if (!takeListingOptions(args, settings.show, fieldSettings) || !takePageOption(args, pages) || args.empty() ||
      args.size() > 2) {
    streams.err << "usage: delvix-cli fields FILE [NODE] [--show=table,color,mask] [--edit=table,data,fact] "
                   "[--page=N|all]\n";
    return exitUsage;
  }
  model::Document document;
  StderrReporter reporter(streams.err);
  if (formats::readDocument(args[0], document, settings, reporter) != formats::ReadOutcome::read) return exitRefused;

  constexpr int zoomFactor = 1;
  if (args.size() == 2) {
    const model::Node* node = nodeAtPath(document.tree, args[1]);
    if (!node) {
      streams.err << "delvix-cli: no node '" << args[1] << "' in " << args[0] << '\n';
      return exitRefused;
    }
    if (pages && node->name() == "color_bitmap") {
      const auto shape = fieldview::pixelTableShape(*node);
      const std::size_t count = shape ? shape->pageCount() : 0;
      const std::string pageCount = std::to_string(count) + (count == 1 ? " page" : " pages");
      if (pages->first >= count) {
        streams.err << "delvix-cli: " << args[1] << " has " << pageCount << " of pixels; there is no page "
                    << pages->first + 1 << '\n';
        return exitRefused;
      }
      std::size_t printed = 0;
      for (std::size_t page = pages->first; page < std::min(pages->second, count); ++page) {
        const fieldview::Listing listing = fieldview::listPixelPage(document, *node, page, fieldSettings, zoomFactor);
        printed += listing.rows.size();
        printRows(listing, streams.out);
      }
      if (printed == 0) {
        streams.err << "delvix-cli: " << args[1] << " (" << pageCount
                    << ") lists no pixel while the values are hidden; --show=color shows them\n";
        return exitRefused;
      }
      return exitOk;
    }
    if (pages) {
      streams.err << "delvix-cli: --page goes with a color_bitmap node; " << args[1] << " has no pages\n";
      return exitUsage;
    }
    const fieldview::Listing listing = fieldview::listNode(document, *node, fieldSettings, zoomFactor);
    if (listing.outcome == fieldview::Outcome::notListedYet) streams.err << args[1] << ": not listed yet\n";
    if (listing.rows.empty() && node->stateImage() == model::state::valuesHidden) {
      streams.err << "delvix-cli: " << args[1] << ": " << whyNoValues(*node, settings.show) << '\n';
      return exitRefused;
    }
    printRows(listing, streams.out);
    return exitOk;
  }
  if (pages) {
    streams.err << "delvix-cli: --page goes with a color_bitmap node\n";
    return exitUsage;
  }
  document.tree.forEach([&](const model::Node& node, int) {
    streams.out << pathOf(document.tree, node) << '\n';
    printRows(fieldview::listNode(document, node, fieldSettings, zoomFactor), streams.out);
  });
  return exitOk;
}

}  // namespace delvix::cli
