#include "cli/tree_command.h"

#include <filesystem>
#include <ostream>

#include "cli/each_file.h"
#include "cli/json_output.h"
#include "cli/stderr_reporter.h"
#include "codecs/png_encode.h"
#include "formats/file_save.h"
#include "model/document.h"
#include "preview/thumbnail.h"

namespace delvix::cli {

namespace {

// Opens FILE into `document`; returns an exit code, exitOk when the reader succeeded.
int openDocument(const std::string& path, model::Document& document, Streams streams) {
  StderrReporter reporter(streams.err, path);
  return formats::readDocument(path, document, streams.settings, reporter) == formats::ReadOutcome::read ? exitOk
                                                                                                         : exitRefused;
}

int printTree(const std::string& file, Streams streams) {
  model::Document document;
  const int status = openDocument(file, document, streams);
  if (streams.json) {
    writeTreeJson(streams.out, document, file);
    return status;
  }
  document.tree.forEach([&](const model::Node& node, int depth) {
    streams.out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << node.name() << '\n';
  });
  return status;
}

}  // namespace

int printTrees(const Invocation& call, Streams streams) { return forEachFile(call.operands, streams, printTree); }

// A file that cannot be written is named with the reason, and the others are still written.
int writeThumbnails(const Invocation& call, Streams streams) {
  const std::string& file = call.operands[0];
  model::Document document;
  int status = openDocument(file, document, streams);
  std::filesystem::path directory(call.operands[1]);
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) {
    streams.err << "delvix-cli: " << directory.string() << ": " << error.message() << '\n';
    return exitRefused;
  }
  for (std::size_t i = 0; i < document.pictures.size(); ++i) {
    auto target = directory / ("picture_" + std::to_string(i + 1) + ".png");
    auto png = codecs::encodePng(preview::makeThumbnail(document, static_cast<int>(i)));
    if (!png) {
      streams.err << "delvix-cli: " << target.string() << ": the thumbnail could not be encoded\n";
      status = exitRefused;
    } else if (const bool existed = std::filesystem::exists(target, error);
               auto failure = formats::replaceFileContents(target, *png)) {
      streams.err << "delvix-cli: " << formats::failureText(target, *failure, existed) << '\n';
      status = exitRefused;
    }
  }
  return status;
}

}  // namespace delvix::cli
