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
  StderrReporter reporter(streams.err, file.string());
  model::Document document;
  if (formats::readDocument(file.string(), document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  if (document.kind != model::FileKind::animatedCursor) {
    reporter.log("not an animated cursor: --animated has no steps to play");
    return exitRefused;
  }
  const save::EncodedAnimation animation = save::encodeAnimation(document, format);
  for (const std::string& message : animation.messages) reporter.log(message);
  if (!animation.error.empty()) {
    reporter.log(animation.error);
    return exitRefused;
  }
  std::error_code error;
  if (fs::create_directories(directory, error); error) {
    streams.err << "delvix-cli: " << directory.string() << ": " << error.message() << '\n';
    return exitRefused;
  }
  const fs::path target = animationTarget(file, directory, format);
  reporter.log("file for saving: " + target.string());
  const bool existed = fs::exists(target, error);
  if (auto failure = formats::replaceFileContents(target, animation.bytes)) {
    reporter.log(formats::failureText(target, *failure, existed));
    return exitRefused;
  }
  written.push_back(target);
  return exitOk;
}

}  // namespace delvix::cli
