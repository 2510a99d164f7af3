#pragma once

#include <ostream>
#include <string>

#include "formats/reporter.h"

namespace delvix::cli {

// Log lines go to standard error as "delvix-cli: FILE: line" (FILE the file they are about, when known); a
// message box whose text was not also logged is shown there too.
class StderrReporter : public formats::Reporter {
 public:
  explicit StderrReporter(std::ostream& err, std::string file = {})
      : err_(err), prefix_("delvix-cli: " + (file.empty() ? std::string() : file + ": ")) {}
  void log(std::string_view line) override {
    err_ << prefix_ + std::string(line) + '\n';
    last_ = line;
  }
  void dialog(const formats::DialogRequest& request) override {
    if (request.text != last_) err_ << prefix_ + request.text + '\n';
  }

 private:
  std::ostream& err_;
  std::string prefix_;
  std::string last_;
};

}  // namespace delvix::cli
