#pragma once

#include <functional>

namespace delvix::platform {

// A one-shot timer that calls back on the user-interface thread; at most one expiry is pending.
class StepTimer {
 public:
  virtual ~StepTimer() = default;
  // What runs when an armed timer expires.
  virtual void onExpired(std::function<void()> expired) = 0;
  // Arms the timer, replacing any pending expiry.
  virtual void start(int milliseconds) = 0;
  // Cancels the pending expiry, if any.
  virtual void stop() = 0;
  virtual bool isActive() const = 0;
};

}  // namespace delvix::platform
