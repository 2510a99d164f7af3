#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/reporter.h"

namespace delvix::formats {

// Gathers what one command reports so that it shows one message box however many problems it meets: the
// first box asked for, with beneath it the subject (the file's name) and the reasons, that is every line
// logged and every other box's text, the first `shownReasons` of them and how many more there were.
class GatheringReporter : public Reporter {
 public:
  explicit GatheringReporter(std::string subject, std::size_t shownReasons = 10);

  void log(std::string_view line) override;
  void dialog(const DialogRequest& request) override;

  // The one box for all that was gathered; nullopt when nothing asked for a box.
  std::optional<DialogRequest> gathered() const;

 private:
  enum class Fate { none, shown, counted, dropped };
  void addReason(std::string_view line);
  // Takes back the line just gathered: Reporter::error logs a box's own text before asking for the box.
  void takeBackLastLine(std::string_view text);

  std::string subject_;
  std::size_t shownReasons_;
  std::optional<DialogRequest> first_;
  std::vector<std::string> reasons_;
  std::size_t more_ = 0;
  std::string lastLine_;
  Fate lastFate_ = Fate::none;
};

}  // namespace delvix::formats
