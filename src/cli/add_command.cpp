#include "cli/add_command.h"

#include <charconv>
#include <optional>
#include <ostream>

#include "cli/save_commands.h"
#include "cli/stderr_reporter.h"
#include "edit/add_chunks.h"
#include "edit/add_image.h"
#include "formats/document_reader.h"
#include "formats/file_content.h"

namespace delvix::cli {

namespace {

struct AddRequest {
  std::string file;
  std::string target;
  edit::ChunkAdditions chunks;
  std::string imageSource;
  std::size_t imageEntry = 1;  // counted from 1
};

// The N of "SRC:N" as written (0 included, so that it is refused with the entries there are).
std::optional<std::size_t> entryNumber(std::string_view text) {
  std::size_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

// What the options ask for; nullopt when an --info item is not "ID:TEXT" with a four-letter ID.
std::optional<AddRequest> requestOf(const Invocation& call) {
  AddRequest request;
  request.chunks.rate = call.has("rate");
  request.chunks.sequence = call.has("seq");
  request.chunks.fact = call.has("fact");
  for (const std::string& item : call.values("info")) {
    if (item.find(':') != 4) return std::nullopt;
    request.chunks.info.push_back({item.substr(0, 4), item.substr(5)});
  }
  if (const auto image = call.value("image")) {
    request.imageSource = *image;
    // "SRC:N" names entry N; a path that itself holds a colon is taken whole when what follows is no number.
    if (const auto colon = request.imageSource.rfind(':'); colon != std::string::npos) {
      if (auto entry = entryNumber(std::string_view(request.imageSource).substr(colon + 1))) {
        request.imageEntry = *entry;
        request.imageSource.resize(colon);
      }
    }
  }
  request.file = call.operands[0];
  request.target = call.operands[1];
  return request;
}

bool addImage(const AddRequest& request, model::Document& document, Streams streams, formats::Reporter& reporter) {
  StderrReporter sourceReporter(streams.err, request.imageSource);
  std::string whyNot;
  const auto file = formats::FileContent::read(request.imageSource, &whyNot);
  if (!file) {
    sourceReporter.log("Could not open this file: " + whyNot);
    return false;
  }
  const auto source = edit::readIconSource(*file, sourceReporter);
  if (!source) return false;
  const std::size_t images = source->lines.size();
  if (request.imageEntry == 0 || request.imageEntry > images) {
    sourceReporter.log("there is no image " + std::to_string(request.imageEntry) + ": it has " +
                       std::to_string(images) + (images == 1 ? " image" : " images") + ", numbered from 1");
    return false;
  }
  const edit::ImageAddition added = edit::addImage(document, *source, request.imageEntry - 1);
  for (const std::string& line : added.log) reporter.log(line);
  if (!added.error.empty()) reporter.dialog({added.error, formats::Buttons::yes, formats::BoxKind::error, {}});
  if (!added.added) return false;
  streams.out << "added\t" << added.picture->name() << '\n';
  return true;
}

}  // namespace

int addChunks(const Invocation& call, Streams streams) {
  const auto request = requestOf(call);
  if (!request) {
    streams.err << "delvix-cli: add: --info takes ID:TEXT, ID four letters as IART\nTry 'delvix-cli add --help' for "
                   "its operands and options.\n";
    return exitUsage;
  }
  StderrReporter reporter(streams.err, request->file);
  model::Document document;
  if (formats::readDocument(request->file, document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  if (const int status = checkSaveTarget(request->file, document, request->target, streams); status != exitOk)
    return status;
  const edit::Addition addition = edit::addChunks(document, request->chunks);
  for (const std::string& line : addition.log) reporter.log(line);
  bool changed = addition.changed;
  if (!request->imageSource.empty()) {
    if (!addImage(*request, document, streams, reporter)) return exitRefused;
    changed = true;
  }
  if (!changed) {
    reporter.log("nothing was added");
    return exitRefused;
  }
  if (!document.statusText.empty()) streams.out << document.statusText.substr(1) << '\n';
  return saveOpenDocument(request->file, document, request->target, streams, reporter);
}

}  // namespace delvix::cli
