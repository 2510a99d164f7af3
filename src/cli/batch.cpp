#include "cli/batch.h"

#include <unistd.h>

#include <algorithm>
#include <ostream>

#include "browse/file_names.h"
#include "cli/json_output.h"
#include "formats/content_kind.h"
#include "formats/document_reader.h"
#include "formats/standard_input.h"

namespace delvix::cli {

namespace {

namespace fs = std::filesystem;

struct Job {
  fs::path file;
  fs::path folder;
};

// By its first bytes, as the file will be read: a copy of an icon without its extension counts, a wave file
// named .ico does not.
bool holdsPictures(const fs::path& file) {
  const auto kind = formats::chooseFileKind(file).kind;
  return kind && *kind != model::FileKind::wave;
}

// The files of `folder` (and below, when recursive) that hold pictures, in name order.
std::vector<fs::path> filesIn(const fs::path& folder, bool recursive, std::ostream& err) {
  std::vector<fs::path> files;
  std::error_code error;
  const auto options = fs::directory_options::skip_permission_denied;
  auto take = [&](const fs::directory_entry& entry) {
    std::error_code statError;
    if (entry.is_regular_file(statError) && holdsPictures(entry.path())) files.push_back(entry.path());
  };
  if (recursive) {
    for (fs::recursive_directory_iterator it(folder, options, error), end; !error && it != end; it.increment(error))
      take(*it);
  } else {
    for (fs::directory_iterator it(folder, options, error), end; !error && it != end; it.increment(error)) take(*it);
  }
  if (error) err << "delvix-cli: " << folder.string() << ": " << error.message() << '\n';
  std::ranges::sort(files);
  return files;
}

}  // namespace

int runBatch(const BatchArguments& batch, Streams streams, const BatchJob& one) {
  std::vector<Job> jobs;
  std::error_code error;
  const bool single = batch.inputs.size() == 1 && !fs::is_directory(batch.inputs.front(), error);
  // The same layout for one input as for many, so that a script's paths do not change with the count: a file's
  // pictures go into DIR/its name/, a folder's files into DIR/folder/.../their names/.
  for (const fs::path& input : batch.inputs) {
    if (fs::is_directory(input, error)) {
      const fs::path base = input.filename().empty() ? input.parent_path().filename() : input.filename();
      for (const fs::path& file : filesIn(input, batch.recursive, streams.err))
        jobs.push_back({file, batch.target / base / file.lexically_relative(input)});
    } else {
      // Standard input has no name of its own.
      const bool standardInput = input == formats::standardInputName;
      jobs.push_back({input, batch.target / (standardInput ? fs::path("stdin") : input.filename())});
    }
  }
  const bool progress = isatty(STDERR_FILENO) == 1;
  nlohmann::json files = nlohmann::json::array();
  std::size_t failures = 0;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (progress) streams.err << '[' << i + 1 << '/' << jobs.size() << "] " << jobs[i].file.string() << '\n';
    WrittenFiles written;
    const int status = one(jobs[i].file, jobs[i].folder, written);
    if (status != exitOk) {
      ++failures;
      if (!single) streams.err << "delvix-cli: " << jobs[i].file.string() << " failed; going on\n";
    }
    if (streams.json) {
      nlohmann::json paths = nlohmann::json::array();
      for (const fs::path& path : written) paths.push_back(browse::displayText(path.string()));
      files.push_back({{"file", browse::displayText(jobs[i].file.string())},
                       {"folder", browse::displayText(jobs[i].folder.string())},
                       {"ok", status == exitOk},
                       {"written", std::move(paths)}});
    }
  }
  if (streams.json)
    writeJson(
        streams.out,
        {{"target", browse::displayText(batch.target.string())}, {"failed", failures}, {"files", std::move(files)}});
  return failures > 0 ? exitRefused : exitOk;
}

}  // namespace delvix::cli
