#pragma once

#include "formats/reporter.h"
#include "platform/prompter.h"
#include "widgets/message_log.h"

namespace delvix::app {

// Sends what the readers report to the message log and their message boxes to the prompter.
class WindowReporter : public formats::Reporter {
 public:
  WindowReporter(MessageLog& log, platform::Prompter& prompter) : log_(log), prompter_(prompter) {}

  void log(std::string_view line) override { log_.add(line); }
  void dialog(const formats::DialogRequest& request) override;

 private:
  MessageLog& log_;
  platform::Prompter& prompter_;
};

platform::Message messageOf(const formats::DialogRequest& request);

}  // namespace delvix::app
