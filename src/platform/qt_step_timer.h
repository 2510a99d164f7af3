#pragma once

#include <QTimer>

#include "platform/step_timer.h"

namespace delvix::platform {

// The step timer on a precise single-shot QTimer of the user-interface thread.
class QtStepTimer : public StepTimer {
 public:
  QtStepTimer();
  void onExpired(std::function<void()> expired) override;
  void start(int milliseconds) override;
  void stop() override;
  bool isActive() const override;

 private:
  QTimer timer_;
  std::function<void()> expired_;
};

}  // namespace delvix::platform
