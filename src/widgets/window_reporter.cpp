#include "widgets/window_reporter.h"

namespace delvix::app {

platform::Message messageOf(const formats::DialogRequest& request) {
  platform::Message message;
  message.text = request.text;
  message.buttons =
      request.buttons == formats::Buttons::ok ? platform::MessageButtons::ok : platform::MessageButtons::yes;
  message.icon = request.kind == formats::BoxKind::error ? platform::MessageIcon::error : platform::MessageIcon::plain;
  message.caption = request.caption;
  message.details = request.details;
  return message;
}

void WindowReporter::dialog(const formats::DialogRequest& request) { prompter_.show(messageOf(request)); }

}  // namespace delvix::app
