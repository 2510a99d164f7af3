#pragma once

#include <ostream>
#include <string>

#include "formats/reporter.h"

namespace delvix::cli {

// Log lines go to standard error; a message box whose text was not also logged is shown there too.
class StderrReporter : public formats::Reporter {
 public:
  explicit StderrReporter(std::ostream& err) : err_(err) {}
  void log(std::string_view line) override {
    err_ << line << '\n';
    last_ = line;
  }
  void dialog(const formats::DialogRequest& request) override {
    if (request.text != last_) err_ << request.text << '\n';
  }

 private:
  std::ostream& err_;
  std::string last_;
};

}  // namespace delvix::cli
