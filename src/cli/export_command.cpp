#include "cli/export_command.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/batch.h"
#include "cli/export_animation.h"
#include "cli/stderr_reporter.h"
#include "formats/document_reader.h"
#include "formats/file_save.h"
#include "formats/standard_input.h"
#include "model/document.h"
#include "model/picture_index.h"
#include "preview/zoom.h"
#include "save/picture_export.h"

namespace delvix::cli {

namespace {

namespace fs = std::filesystem;

struct ExportRequest {
  BatchArguments batch;
  std::string file;
  fs::path directory;
  save::PictureRequest picture;
  bool animated = false;
};

std::optional<int> zoomOf(const std::string& text) {
  int zoom = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), zoom);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (zoom < preview::smallestZoom || zoom > preview::largestZoom) return std::nullopt;
  return zoom;
}

// An animation is a GIF or a PNG of the pictures' own pixels, at their size.
bool animationOptionsFit(const ExportRequest& request) {
  const save::PictureRequest& picture = request.picture;
  const bool animatedFormat = picture.format == save::ImageFormat::gif || picture.format == save::ImageFormat::png;
  return animatedFormat && !picture.alpha && !picture.asShown && picture.zoom == 1;
}

// What the options ask for; nullopt when they do not go together.
std::optional<ExportRequest> requestOf(const Invocation& call) {
  ExportRequest request;
  request.picture.alpha = call.has("alpha");
  request.animated = call.has("animated");
  request.picture.asShown = call.has("as-shown");
  request.batch.recursive = call.has("recursive");
  if (const auto format = call.value("format")) request.picture.format = *save::imageFormatOfExtension("." + *format);
  if (const auto zoom = call.value("zoom")) request.picture.zoom = *zoomOf(*zoom);
  request.batch.inputs.assign(call.operands.begin(), call.operands.end() - 1);
  request.batch.target = call.operands.back();
  if (request.animated && !animationOptionsFit(request)) return std::nullopt;
  return request;
}

// Draws, enlarges, encodes and writes one picture; false (with the reason on `err`) when it could not.
bool exportPicture(const model::Document& document, int index, const ExportRequest& request, std::ostream& err,
                   WrittenFiles& written) {
  const std::string name = model::pictureName(index + 1);
  const save::PictureFile file = save::exportPictureFile(document, index, request.picture);
  for (const std::string& line : file.log) err << line + '\n';
  if (!file.error.empty()) {
    err << name << ": " << file.error << '\n';
    return false;
  }
  const fs::path target = request.directory / (name + std::string(save::extensionOf(request.picture.format)));
  // One write to the unbuffered stream per line.
  err << "file for saving: " + target.string() + '\n';
  std::error_code error;
  const bool existed = fs::exists(target, error);
  if (auto failure = formats::replaceFileContents(target, file.bytes)) {
    err << formats::failureText(target, *failure, existed) << '\n';
    return false;
  }
  written.push_back(target);
  return true;
}

// Exports every picture of one file into `request.directory`.
int exportFile(const ExportRequest& request, Streams streams, WrittenFiles& written) {
  StderrReporter reporter(streams.err, request.file);
  model::Document document;
  if (formats::readDocument(request.file, document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  if (document.kind == model::FileKind::wave) {
    streams.err << "delvix-cli: a wave file holds no pictures\n";
    return exitRefused;
  }
  std::error_code error;
  if (fs::create_directories(request.directory, error); error) {
    streams.err << "delvix-cli: " << request.directory.string() << ": " << error.message() << '\n';
    return exitRefused;
  }

  bool allSaved = true;
  for (std::size_t index = 0; index < document.pictures.size(); ++index)
    allSaved &= exportPicture(document, static_cast<int>(index), request, streams.err, written);
  return allSaved ? exitOk : exitRefused;
}

}  // namespace

int exportPictures(const Invocation& call, Streams streams) {
  auto request = requestOf(call);
  if (!request) {
    streams.err << "delvix-cli: export: --animated goes with --format gif or png, without --as-shown, --alpha and "
                   "--zoom\nTry 'delvix-cli export --help' for its operands and options.\n";
    return exitUsage;
  }
  return runBatch(request->batch, streams, [&](const fs::path& file, const fs::path& folder, WrittenFiles& written) {
    ExportRequest one = *request;
    one.file = file.string();
    one.directory = folder;
    if (one.animated) return exportAnimation(file, folder, one.picture.format, streams, written);
    return exportFile(one, streams, written);
  });
}

}  // namespace delvix::cli
