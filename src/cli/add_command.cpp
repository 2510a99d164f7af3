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

std::optional<AddRequest> parse(std::span<const std::string> args) {
  AddRequest request;
  std::vector<std::string> positional;
  for (const std::string& arg : args) {
    if (arg == "--rate") {
      request.chunks.rate = true;
    } else if (arg == "--seq") {
      request.chunks.sequence = true;
    } else if (arg == "--fact") {
      request.chunks.fact = true;
    } else if (arg.starts_with("--info=")) {
      const std::string item = arg.substr(7);
      const auto colon = item.find(':');
      if (colon != 4) return std::nullopt;
      request.chunks.info.push_back({item.substr(0, 4), item.substr(5)});
    } else if (arg.starts_with("--image=")) {
      request.imageSource = arg.substr(8);
      // "SRC:N" names entry N; a path that itself holds a colon is taken whole when what follows is no number.
      if (const auto colon = request.imageSource.rfind(':'); colon != std::string::npos) {
        if (auto entry = entryNumber(std::string_view(request.imageSource).substr(colon + 1))) {
          request.imageEntry = *entry;
          request.imageSource.resize(colon);
        }
      }
    } else if (arg.starts_with("--")) {
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) return std::nullopt;
  request.file = positional[0];
  request.target = positional[1];
  return request;
}

bool addImage(const AddRequest& request, model::Document& document, Streams streams, formats::Reporter& reporter) {
  std::string whyNot;
  const auto file = formats::FileContent::read(request.imageSource, &whyNot);
  if (!file) {
    streams.err << "Could not open this file: " << whyNot << '\n';
    return false;
  }
  const auto source = edit::readIconSource(*file, reporter);
  if (!source) return false;
  const std::size_t images = source->lines.size();
  if (request.imageEntry == 0 || request.imageEntry > images) {
    streams.err << "delvix-cli: " << request.imageSource << " has no image " << request.imageEntry << ": it has "
                << images << (images == 1 ? " image" : " images") << ", numbered from 1\n";
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

int addChunks(std::span<const std::string> args, Streams streams) {
  const auto request = parse(args);
  if (!request) {
    streams.err << "usage: delvix-cli add " << addArguments << '\n';
    return exitUsage;
  }
  StderrReporter reporter(streams.err);
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
    streams.err << "delvix-cli: nothing was added\n";
    return exitRefused;
  }
  if (!document.statusText.empty()) streams.out << document.statusText.substr(1) << '\n';
  return saveOpenDocument(request->file, document, request->target, streams, reporter);
}

}  // namespace delvix::cli
