#include "widgets/command_messages.h"

#include <iostream>

#include "widgets/window_reporter.h"

namespace delvix::app {

CommandMessages::CommandMessages(MessageLog& log, platform::Prompter& prompter, std::string subject,
                                 CommandMessages** active)
    : prompter_(prompter),
      active_(active),
      outer_(active ? *active : nullptr),
      gathering_(std::move(subject)),
      reporter_(log, gathering_),
      subscription_(log.listen({[this](std::string_view line) { gathering_.log(line); }, nullptr})) {
  if (active_) *active_ = this;
}

CommandMessages::~CommandMessages() {
  if (active_) *active_ = outer_;
  subscription_.end();
  const auto box = gathering_.gathered();
  if (!box) return;
  // Within another command, the box becomes one of that command's.
  if (outer_) {
    outer_->gathering_.dialog(*box);
    return;
  }
  try {
    prompter_.show(messageOf(*box));
  } catch (const std::exception& error) {
    // The reasons are in the log all the same.
    std::cerr << "delvix: a message could not be shown: " << error.what() << '\n';
  }
}

}  // namespace delvix::app
