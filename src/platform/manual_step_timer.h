#pragma once

#include <vector>

#include "platform/step_timer.h"

namespace delvix::platform {

// A step timer for tests: records how it was armed and expires only when told to.
class ManualStepTimer : public StepTimer {
 public:
  void onExpired(std::function<void()> expired) override { expired_ = std::move(expired); }
  void start(int milliseconds) override {
    armed.push_back(milliseconds);
    active_ = true;
  }
  void stop() override { active_ = false; }
  bool isActive() const override { return active_; }

  // Lets the pending expiry happen; false when none is pending.
  bool fire() {
    if (!active_) return false;
    active_ = false;
    if (expired_) expired_();
    return true;
  }

  std::vector<int> armed;

 private:
  std::function<void()> expired_;
  bool active_ = false;
};

}  // namespace delvix::platform
