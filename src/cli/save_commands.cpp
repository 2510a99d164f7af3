#include "cli/save_commands.h"

#include <filesystem>
#include <ostream>

#include "cli/stderr_reporter.h"
#include "formats/document_reader.h"
#include "formats/ico_writer.h"
#include "formats/one_image_writer.h"
#include "model/document.h"

namespace delvix::cli {

namespace {

namespace fs = std::filesystem;

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Reads IN; exitOk when the reader succeeded.
int open(const std::string& path, model::Document& document, formats::Reporter& reporter) {
  return formats::readDocument(path, document, {}, reporter) == formats::ReadOutcome::read ? exitOk : exitRefused;
}

}  // namespace

int saveDocument(std::span<const std::string> args, Streams streams) {
  StderrReporter reporter(streams.err);
  model::Document document;
  if (open(args[0], document, reporter) != exitOk) return exitRefused;
  const fs::path target(args[1]);
  const std::string extension = lower(target.extension().string());
  bool saved = false;
  switch (document.kind) {
    case model::FileKind::iconFile:
      if (extension != ".ico" && extension != ".cur") break;
      reporter.log("saving of file: " + target.string());
      saved = formats::saveIconFile(document, target, reporter);
      return saved ? exitOk : exitRefused;
    default:
      break;
  }
  streams.err << "delvix-cli: cannot save " << fs::path(args[0]).filename().string() << " as "
              << (extension.empty() ? "a file without extension" : extension) << '\n';
  return exitUsage;
}

int extractPictures(std::span<const std::string> args, Streams streams) {
  StderrReporter reporter(streams.err);
  model::Document document;
  if (open(args[0], document, reporter) != exitOk) return exitRefused;
  const fs::path directory(args[1]);
  std::error_code error;
  fs::create_directories(directory, error);

  bool allSaved = true;
  const bool cursors = lower(fs::path(args[0]).extension().string()) != ".ico";
  for (int index = 0; index < document.imageCount; ++index) {
    const model::Node* picture = formats::findPicture(document, index);
    if (!picture) continue;
    fs::path target = directory / ("picture_" + std::to_string(index + 1) + (cursors ? ".cur" : ".ico"));
    reporter.log("file for saving: " + target.string());
    allSaved &= formats::saveOneImage(document, *picture, target, reporter);
  }
  return allSaved ? exitOk : exitRefused;
}

}  // namespace delvix::cli
