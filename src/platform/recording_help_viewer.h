#pragma once

#include <vector>

#include "platform/help_viewer.h"

namespace delvix::platform {

// A help viewer for tests: records the pages it was asked to show; `startable` decides whether it starts.
class RecordingHelpViewer : public HelpViewer {
 public:
  bool start(const std::filesystem::path& page) override {
    pages.push_back(page);
    if (startable) isRunning = true;
    return startable;
  }
  bool running() const override { return isRunning; }
  void terminate() override {
    if (isRunning) ++terminations;
    isRunning = false;
  }

  // The started viewer gives up, as "xdg-open" does when nothing on the desktop shows web pages.
  void giveUp() {
    isRunning = false;
    if (failed && !pages.empty()) failed(pages.back());
  }

  bool startable = true;
  bool isRunning = false;
  int terminations = 0;
  std::vector<std::filesystem::path> pages;
};

}  // namespace delvix::platform
