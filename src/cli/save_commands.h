#pragma once

#include <span>
#include <string>

#include "cli/commands.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::cli {

// save IN OUT: IN written again with the writer that OUT's extension calls for.
int saveDocument(const Invocation& call, Streams streams);
// `document`, read from `source`, written as `target` with the writer its extension calls for.
int saveOpenDocument(const std::string& source, const model::Document& document, const std::string& target,
                     Streams streams, formats::Reporter& reporter);
// Before any edit of `document` (read from `source`) is made or printed: exitOk when it can be saved as
// `target`, else exitUsage after saying why.
int checkSaveTarget(const std::string& source, const model::Document& document, const std::string& target,
                    Streams streams);

// extract FILE... DIR [-r]: every picture of each FILE as its own file in DIR (several files or folders: each
// file in a sub-folder of DIR named after it; -r descends into folders).
int extractPictures(const Invocation& call, Streams streams);

}  // namespace delvix::cli
