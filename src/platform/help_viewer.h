#pragma once

#include <filesystem>
#include <functional>

namespace delvix::platform {

// Starts the desktop's viewer on a help page, as a process the program keeps track of.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // False when the viewer could not be started (or the page is not there).
  virtual bool start(const std::filesystem::path& page) = 0;
  virtual bool running() const = 0;
  // Ends every viewer process that is still running.
  virtual void terminate() = 0;

  // Called when a viewer that started gives up on `page` soon after (no program for the page), on the thread
  // that started it.
  std::function<void(const std::filesystem::path& page)> failed;
};

}  // namespace delvix::platform
