#include "formats/gathering_reporter.h"

#include <algorithm>

namespace delvix::formats {

GatheringReporter::GatheringReporter(std::string subject, std::size_t shownReasons)
    : subject_(std::move(subject)), shownReasons_(shownReasons) {}

void GatheringReporter::log(std::string_view line) { addReason(line); }

void GatheringReporter::dialog(const DialogRequest& request) {
  if (!first_) {
    first_ = request;
    takeBackLastLine(request.text);
  } else if (request.text == first_->text) {
    takeBackLastLine(request.text);
  } else if (lastFate_ == Fate::none || lastLine_ != request.text) {
    addReason(request.text);
  }
  // The line logged before a box is taken back for that box only.
  lastFate_ = Fate::none;
}

void GatheringReporter::addReason(std::string_view line) {
  lastLine_ = line;
  if (first_ && line == first_->text) {
    lastFate_ = Fate::dropped;
  } else if (std::find(reasons_.begin(), reasons_.end(), line) != reasons_.end()) {
    lastFate_ = Fate::dropped;
  } else if (reasons_.size() < shownReasons_) {
    reasons_.emplace_back(line);
    lastFate_ = Fate::shown;
  } else {
    ++more_;
    lastFate_ = Fate::counted;
  }
}

void GatheringReporter::takeBackLastLine(std::string_view text) {
  if (lastLine_ != text) return;
  if (lastFate_ == Fate::shown) reasons_.pop_back();
  if (lastFate_ == Fate::counted) --more_;
  lastFate_ = Fate::none;
}

std::optional<DialogRequest> GatheringReporter::gathered() const {
  if (!first_) return std::nullopt;
  DialogRequest box = *first_;
  std::string details;
  auto addLine = [&](const std::string& line) {
    if (line.empty()) return;
    if (!details.empty()) details += '\n';
    details += line;
  };
  addLine(subject_);
  addLine(first_->details);
  for (const std::string& reason : reasons_)
    if (reason != first_->text) addLine(reason);
  if (more_ > 0) addLine("and " + std::to_string(more_) + " more.");
  box.details = std::move(details);
  return box;
}

}  // namespace delvix::formats
