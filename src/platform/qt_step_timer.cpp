#include "platform/qt_step_timer.h"

namespace delvix::platform {

QtStepTimer::QtStepTimer() {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    if (expired_) expired_();
  });
}

void QtStepTimer::onExpired(std::function<void()> expired) { expired_ = std::move(expired); }

void QtStepTimer::start(int milliseconds) { timer_.start(std::max(milliseconds, 0)); }

void QtStepTimer::stop() { timer_.stop(); }

bool QtStepTimer::isActive() const { return timer_.isActive(); }

}  // namespace delvix::platform
