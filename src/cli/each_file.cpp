#include "cli/each_file.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "cli/json_output.h"

namespace delvix::cli {

int forEachFile(std::span<const std::string> files, Streams streams, const OneFile& one) {
  if (files.size() == 1) return one(files.front(), streams);
  int status = exitOk;
  nlohmann::json documents = nlohmann::json::array();
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::ostringstream text;
    const int fileStatus = one(files[i], {text, streams.err, streams.settings, streams.json, streams.quiet});
    status = std::max(status, fileStatus);
    if (streams.json) {
      // What one file printed is a document of its own, or nothing when the file could not be read.
      auto document = nlohmann::json::parse(text.str(), nullptr, false);
      if (!document.is_discarded()) documents.push_back(std::move(document));
      continue;
    }
    streams.out << (i == 0 ? "" : "\n") << files[i] << ":\n" << text.str();
  }
  if (streams.json) writeJson(streams.out, documents);
  return status;
}

}  // namespace delvix::cli
