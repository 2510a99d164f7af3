#include "cli/fields_command.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/each_file.h"
#include "cli/node_path.h"
#include "cli/stderr_reporter.h"
#include "fieldview/list_node.h"
#include "fieldview/pixel_table.h"
#include "formats/document_reader.h"
#include "formats/standard_input.h"

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

// The values of "--show=table,color,mask" and "--edit=table,data,fact" (the parser checked their words): which
// values are listed and which may be edited, as the options of the window set them.
void takeListingOptions(const Invocation& call, model::ShowSettings& show, fieldview::FieldSettings& edit) {
  for (const std::string& word : listItems(call.value("show").value_or(""))) {
    int& setting = word == "table" ? show.table : word == "color" ? show.color : show.mask;
    setting = model::state::valuesShown;
  }
  for (const std::string& word : listItems(call.value("edit").value_or(""))) {
    int& setting = word == "table" ? edit.editTable : word == "data" ? edit.editData : edit.editFact;
    setting = 0;
  }
}

// "--page=N" (from 1) or "--page=all": which pages of a colour bitmap's pixel table are printed, as a range.
bool takePageOption(const Invocation& call, std::optional<std::pair<std::size_t, std::size_t>>& pages) {
  const auto value = call.value("page");
  if (!value) return true;
  std::size_t page = 0;
  auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), page);
  if (*value == "all")
    pages = {0, SIZE_MAX};
  else if (error == std::errc() && end == value->data() + value->size() && page > 0)
    pages = {page - 1, page};
  else
    return false;
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

// The files and the node of "fields FILE... [NODE]": the last operand is the node when it is not a file.
std::pair<std::vector<std::string>, std::optional<std::string>> filesAndNode(const Invocation& call) {
  std::vector<std::string> files = call.operands;
  std::optional<std::string> node = call.value("node");
  std::error_code error;
  if (!node && files.size() >= 2 && files.back() != formats::standardInputName &&
      !std::filesystem::exists(files.back(), error)) {
    node = files.back();
    files.pop_back();
  }
  return {files, node};
}

struct FieldsRequest {
  formats::ReadSettings settings;
  fieldview::FieldSettings fieldSettings;
  std::optional<std::pair<std::size_t, std::size_t>> pages;
  std::optional<std::string> node;
};

int printFieldsOf(const std::string& file, const FieldsRequest& request, Streams streams);

}  // namespace

int printFields(const Invocation& call, Streams streams) {
  FieldsRequest request{streams.settings, {}, {}, {}};
  takeListingOptions(call, request.settings.show, request.fieldSettings);
  if (!takePageOption(call, request.pages)) {
    streams.err << "delvix-cli: fields: --page takes a page number from 1, or all, not '" << *call.value("page")
                << "'\nTry 'delvix-cli fields --help' for its operands and options.\n";
    return exitUsage;
  }
  auto [files, node] = filesAndNode(call);
  request.node = node;
  return forEachFile(files, streams,
                     [&](const std::string& file, Streams one) { return printFieldsOf(file, request, one); });
}

namespace {

int printFieldsOf(const std::string& file, const FieldsRequest& request, Streams streams) {
  const formats::ReadSettings& settings = request.settings;
  const fieldview::FieldSettings& fieldSettings = request.fieldSettings;
  const auto& pages = request.pages;
  model::Document document;
  StderrReporter reporter(streams.err, file);
  if (formats::readDocument(file, document, settings, reporter) != formats::ReadOutcome::read) return exitRefused;

  constexpr int zoomFactor = 1;
  if (request.node) {
    const std::string& path = *request.node;
    const model::Node* node = nodeAtPath(document.tree, path);
    if (!node) {
      streams.err << "delvix-cli: no node '" << path << "' in " << file << '\n';
      return exitRefused;
    }
    if (pages && node->name() == "color_bitmap") {
      const auto shape = fieldview::pixelTableShape(*node);
      const std::size_t count = shape ? shape->pageCount() : 0;
      const std::string pageCount = std::to_string(count) + (count == 1 ? " page" : " pages");
      if (pages->first >= count) {
        streams.err << "delvix-cli: " << path << " has " << pageCount << " of pixels; there is no page "
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
        streams.err << "delvix-cli: " << path << " (" << pageCount
                    << ") lists no pixel while the values are hidden; --show=color shows them\n";
        return exitRefused;
      }
      return exitOk;
    }
    if (pages) {
      streams.err << "delvix-cli: --page goes with a color_bitmap node; " << path << " has no pages\n";
      return exitUsage;
    }
    const fieldview::Listing listing = fieldview::listNode(document, *node, fieldSettings, zoomFactor);
    if (listing.outcome == fieldview::Outcome::notListedYet)
      streams.err << "delvix-cli: " << path << ": not listed yet\n";
    if (listing.rows.empty() && node->stateImage() == model::state::valuesHidden) {
      streams.err << "delvix-cli: " << path << ": " << whyNoValues(*node, settings.show) << '\n';
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

}  // namespace

}  // namespace delvix::cli
