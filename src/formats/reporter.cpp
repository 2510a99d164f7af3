#include "formats/reporter.h"

#include <algorithm>

namespace delvix::formats {

void Reporter::error(std::string_view text, Buttons buttons) {
  log(text);
  dialog(DialogRequest{std::string(text), buttons, BoxKind::error, {}});
}

bool RecordingReporter::logged(std::string_view line) const {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool RecordingReporter::showed(std::string_view text) const {
  return std::any_of(dialogs.begin(), dialogs.end(), [&](const DialogRequest& d) { return d.text == text; });
}

}  // namespace delvix::formats
