#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "formats/reporter.h"

namespace delvix::cli {

// Log lines go to standard error as "delvix-cli: FILE: line" (FILE the file they are about, when known); a
// message box whose text was not also logged is shown there too.
class StderrReporter : public formats::Reporter {
 public:
  explicit StderrReporter(std::ostream& err, std::string file = {}) : err_(err), file_(std::move(file)) {}
  void log(std::string_view line) override {
    err_ << lineAbout(line);
    last_ = line;
  }
  void dialog(const formats::DialogRequest& request) override {
    if (request.text != last_) err_ << lineAbout(request.text);
  }

 private:
  // A line that begins with the file's name ("x.ico holds a wave file") names it once.
  std::string lineAbout(std::string_view line) const {
    const bool named = file_.empty() || (line.starts_with(file_) && line.size() > file_.size() &&
                                         (line[file_.size()] == ' ' || line[file_.size()] == ':'));
    return "delvix-cli: " + (named ? std::string() : file_ + ": ") + std::string(line) + '\n';
  }

  std::ostream& err_;
  std::string file_;
  std::string last_;
};

}  // namespace delvix::cli
