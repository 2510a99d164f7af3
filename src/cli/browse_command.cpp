#include "cli/browse_command.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <vector>

#include "browse/browser_columns.h"
#include "browse/file_names.h"
#include "browse/file_summary.h"
#include "browse/folder_listing.h"
#include "cli/json_output.h"

namespace delvix::cli {

namespace {

enum class Browser { images, wave };

struct BrowseRequest {
  std::string folder;
  Browser browser = Browser::images;
  browse::ExtensionFilter filter;
  // Neither browser was chosen: both list every kind they read.
  bool everyKind = false;
};

// What the options ask for; nullopt when they do not go together.
std::optional<BrowseRequest> requestOf(const Invocation& call) {
  BrowseRequest request;
  request.folder = call.operands[0];
  const auto images = call.value("images");
  request.everyKind = !images && !call.has("wav");
  if (call.has("wav")) {
    if (images) return std::nullopt;
    request.browser = Browser::wave;
    request.filter = browse::waveBrowserFilter();
  } else if (images && !images->empty()) {
    request.filter = browse::ExtensionFilter(listItems(*images));
  } else {
    request.filter = browse::ExtensionFilter(
        {std::begin(browse::imageBrowserDefaultExtensions), std::end(browse::imageBrowserDefaultExtensions)});
  }
  return request;
}

template <std::size_t N>
void printRow(std::ostream& out, const std::string& name, const std::array<std::string, N>& columns) {
  out << name;
  for (const std::string& column : columns) out << '\t' << column;
  out << '\n';
}

constexpr std::array<std::string_view, 3> imageColumnKeys{"icons", "cursors", "bitmaps"};
constexpr std::array<std::string_view, 6> waveColumnKeys{
    "size", "time", "format", "channels", "bits_per_sample", "samples_per_second"};

template <std::size_t N>
nlohmann::json columnsJson(const std::array<std::string_view, N>& keys, const std::array<std::string, N>& columns) {
  nlohmann::json object = nlohmann::json::object();
  for (std::size_t i = 0; i < N; ++i) object[std::string(keys[i])] = columnJson(columns[i]);
  return object;
}

// What this process has read so far, as the kernel counts it.
std::optional<std::uint64_t> bytesReadByThisProcess() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return std::nullopt;
}

// The rows of one browser over `listing`'s files: printed, or added to `rows` for --json.
void listRows(const browse::FolderListing& listing, Browser browser, Streams streams, nlohmann::json& rows) {
  for (const browse::FolderRow& row : listing.rows) {
    if (row.kind != browse::RowKind::file) continue;
    const browse::FileSummary summary = browse::summarizeFile(row.path);
    // The name as it is stored, so that it can be used again as it is printed.
    const std::string name = row.path.filename().string();
    if (streams.json) {
      nlohmann::json entry = {
          {"name", browse::displayText(name)},
          {"path", browse::displayText(row.path.string())},
          {"columns", browser == Browser::wave ? columnsJson(waveColumnKeys, browse::waveColumns(summary))
                                               : columnsJson(imageColumnKeys, browse::imageColumns(summary))}};
      if (!summary.reason.empty()) entry["reason"] = browse::displayText(summary.reason);
      rows.push_back(std::move(entry));
      continue;
    }
    if (browser == Browser::wave)
      printRow(streams.out, name, browse::waveColumns(summary));
    else
      printRow(streams.out, name, browse::imageColumns(summary));
    if (!summary.reason.empty()) streams.err << "delvix-cli: " << name << ": " << summary.reason << '\n';
  }
}

// "ani, cur, ico, wav": the kinds the listings looked for.
std::string kindsText(const std::vector<const browse::ExtensionFilter*>& filters) {
  std::string text;
  for (const browse::ExtensionFilter* filter : filters)
    for (const std::string& extension : filter->extensions()) text += (text.empty() ? "" : ", ") + extension;
  return text;
}

}  // namespace

int browseFolder(const Invocation& call, Streams streams) {
  auto request = requestOf(call);
  if (!request) {
    streams.err << "delvix-cli: browse: --images and --wav are two browsers: give one\nTry 'delvix-cli browse "
                   "--help' for its operands and options.\n";
    return exitUsage;
  }
  // Without a choice both browsers list every kind they read: the image rows, then the wave rows.
  if (request->everyKind)
    request->filter =
        browse::ExtensionFilter({std::begin(browse::imageBrowserExtensions), std::end(browse::imageBrowserExtensions)});
  const browse::ExtensionFilter waveFilter = browse::waveBrowserFilter();
  const browse::ListingOutcome outcome = browse::listFolder(request->folder, request->filter);
  if (!outcome.listing) {
    streams.err << "delvix-cli: " << outcome.error << '\n';
    return exitRefused;
  }
  std::optional<browse::ListingOutcome> waves;
  if (request->everyKind) waves = browse::listFolder(request->folder, waveFilter);
  const std::size_t waveFiles = waves && waves->listing ? waves->listing->fileCount() : 0;

  if (outcome.listing->fileCount() + waveFiles == 0) {
    std::vector<const browse::ExtensionFilter*> filters{&request->filter};
    if (waves) filters.push_back(&waveFilter);
    streams.err << "delvix-cli: " << request->folder << ": no files of the kinds " << kindsText(filters) << '\n';
    return exitRefused;
  }

  nlohmann::json rows = nlohmann::json::array();
  listRows(*outcome.listing, request->browser, streams, rows);
  nlohmann::json document = {{"folder", browse::displayText(request->folder)}, {"rows", rows}};
  if (waves && waves->listing) {
    // A blank line parts the two tables of the text.
    if (!streams.json && outcome.listing->fileCount() > 0 && waveFiles > 0) streams.out << '\n';
    nlohmann::json waveRows = nlohmann::json::array();
    listRows(*waves->listing, Browser::wave, streams, waveRows);
    document["wave_rows"] = std::move(waveRows);
  }
  if (streams.json) writeJson(streams.out, document);
  if (std::getenv("DELVIX_REPORT_READ_BYTES"))
    if (auto read = bytesReadByThisProcess()) streams.err << "read bytes: " << *read << '\n';
  return exitOk;
}

}  // namespace delvix::cli
