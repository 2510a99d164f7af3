#pragma once

#include <string>

#include "formats/gathering_reporter.h"
#include "platform/prompter.h"
#include "widgets/message_log.h"

namespace delvix::app {

// One command's messages (opening a file, writing one): while it lives, every line logged is kept and every
// message box asked for is held back; when it goes, one box is shown, the first text asked for with the
// file's name and the reasons beneath.
class CommandMessages {
 public:
  // `active`, when given, names the gathering under way for the window's own messages while this one lives.
  CommandMessages(MessageLog& log, platform::Prompter& prompter, std::string subject,
                  CommandMessages** active = nullptr);
  ~CommandMessages();
  CommandMessages(const CommandMessages&) = delete;
  CommandMessages& operator=(const CommandMessages&) = delete;

  // For readers and writers: lines go to the log as they come, boxes are held back.
  formats::Reporter& reporter() { return reporter_; }

 private:
  class HoldingReporter : public formats::Reporter {
   public:
    HoldingReporter(MessageLog& log, formats::GatheringReporter& gathering) : log_(log), gathering_(gathering) {}
    void log(std::string_view line) override { log_.add(line); }
    void dialog(const formats::DialogRequest& request) override { gathering_.dialog(request); }

   private:
    MessageLog& log_;
    formats::GatheringReporter& gathering_;
  };

  platform::Prompter& prompter_;
  CommandMessages** active_;
  CommandMessages* outer_;
  formats::GatheringReporter gathering_;
  HoldingReporter reporter_;
  MessageLog::Subscription subscription_;
};

}  // namespace delvix::app
