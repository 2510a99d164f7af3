#pragma once

#include <span>
#include <string>

#include "cli/commands.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::cli {

// save IN OUT: IN written again with the writer that OUT's extension calls for.
int saveDocument(std::span<const std::string> args, Streams streams);
// `document`, read from `source`, written as `target` with the writer its extension calls for.
int saveOpenDocument(const std::string& source, const model::Document& document, const std::string& target,
                     Streams streams, formats::Reporter& reporter);
// extract FILE DIR: every picture of FILE as its own file in DIR.
int extractPictures(std::span<const std::string> args, Streams streams);

}  // namespace delvix::cli
