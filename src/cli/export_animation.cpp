#include "cli/export_animation.h"

#include <ostream>

#include "cli/stderr_reporter.h"
#include "formats/document_reader.h"
#include "formats/file_save.h"
#include "formats/standard_input.h"
#include "model/document.h"
#include "save/animation_export.h"

namespace delvix::cli {

namespace fs = std::filesystem;

fs::path animationTarget(const fs::path& file, const fs::path& directory, save::ImageFormat format) {
  const std::string stem = file == formats::standardInputName ? "animation" : file.stem().string();
  return directory / (stem + std::string(save::extensionOf(format)));
}

int exportAnimation(const fs::path& file, const fs::path& directory, save::ImageFormat format, Streams streams,
                    WrittenFiles& written) {
  StderrReporter reporter(streams.err);
  model::Document document;
  if (formats::readDocument(file.string(), document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  if (document.kind != model::FileKind::animatedCursor) {
    streams.err << "delvix-cli: " << file.string() << " is not an animated cursor: --animated has no steps to play\n";
    return exitRefused;
  }
  const save::EncodedAnimation animation = save::encodeAnimation(document, format);
  for (const std::string& message : animation.messages) streams.err << message << '\n';
  if (!animation.error.empty()) {
    streams.err << "delvix-cli: " << file.string() << ": " << animation.error << '\n';
    return exitRefused;
  }
  std::error_code error;
  if (fs::create_directories(directory, error); error) {
    streams.err << "delvix-cli: " << directory.string() << ": " << error.message() << '\n';
    return exitRefused;
  }
  const fs::path target = animationTarget(file, directory, format);
  streams.err << "file for saving: " + target.string() + '\n';
  const bool existed = fs::exists(target, error);
  if (auto failure = formats::replaceFileContents(target, animation.bytes)) {
    streams.err << formats::failureText(target, *failure, existed) << '\n';
    return exitRefused;
  }
  written.push_back(target);
  return exitOk;
}

}  // namespace delvix::cli
