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
};

// What the options ask for; nullopt when they do not go together.
std::optional<BrowseRequest> requestOf(const Invocation& call) {
  BrowseRequest request;
  request.folder = call.operands[0];
  const auto images = call.value("images");
  if (call.has("wav")) {
    if (images) return std::nullopt;
    request.browser = Browser::wave;
    request.filter = browse::waveBrowserFilter();
    return request;
  }
  if (images && !images->empty())
    request.filter = browse::ExtensionFilter(listItems(*images));
  else
    request.filter = browse::ExtensionFilter(
        {std::begin(browse::imageBrowserDefaultExtensions), std::end(browse::imageBrowserDefaultExtensions)});
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

}  // namespace

int browseFolder(const Invocation& call, Streams streams) {
  auto request = requestOf(call);
  if (!request) {
    streams.err << "delvix-cli: browse: --images and --wav are two browsers: give one\nTry 'delvix-cli browse "
                   "--help' for its operands and options.\n";
    return exitUsage;
  }
  const browse::ListingOutcome outcome = browse::listFolder(request->folder, request->filter);
  if (!outcome.listing) {
    streams.err << outcome.error << '\n';
    return exitRefused;
  }
  nlohmann::json rows = nlohmann::json::array();
  for (const browse::FolderRow& row : outcome.listing->rows) {
    if (row.kind != browse::RowKind::file) continue;
    const browse::FileSummary summary = browse::summarizeFile(row.path);
    // The name as it is stored, so that it can be used again as it is printed.
    const std::string name = row.path.filename().string();
    if (streams.json) {
      nlohmann::json entry = {
          {"name", browse::displayText(name)},
          {"path", browse::displayText(row.path.string())},
          {"columns", request->browser == Browser::wave ? columnsJson(waveColumnKeys, browse::waveColumns(summary))
                                                        : columnsJson(imageColumnKeys, browse::imageColumns(summary))}};
      if (!summary.reason.empty()) entry["reason"] = browse::displayText(summary.reason);
      rows.push_back(std::move(entry));
      continue;
    }
    if (request->browser == Browser::wave)
      printRow(streams.out, name, browse::waveColumns(summary));
    else
      printRow(streams.out, name, browse::imageColumns(summary));
    if (!summary.reason.empty()) streams.err << name << ": " << summary.reason << '\n';
  }
  if (streams.json) writeJson(streams.out, {{"folder", browse::displayText(request->folder)}, {"rows", rows}});
  if (std::getenv("DELVIX_REPORT_READ_BYTES"))
    if (auto read = bytesReadByThisProcess()) streams.err << "read bytes: " << *read << '\n';
  return exitOk;
}

}  // namespace delvix::cli
