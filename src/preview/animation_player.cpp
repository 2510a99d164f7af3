#include "preview/animation_player.h"

#include <algorithm>
#include <climits>

namespace delvix::preview {

int jiffiesToMilliseconds(std::uint32_t jiffies) {
  const std::uint64_t milliseconds = std::uint64_t(jiffies) * 100 / 6;
  return static_cast<int>(std::clamp<std::uint64_t>(milliseconds, shortestStepMilliseconds, INT_MAX));
}

AnimationPlayer::AnimationPlayer(platform::StepTimer& timer, PlayerView& view) : timer_(timer), view_(view) {
  timer_.onExpired([this] { timerExpired(); });
}

AnimationPlayer::~AnimationPlayer() {
  timer_.stop();
  timer_.onExpired({});
}

void AnimationPlayer::load(const model::AniState* ani, int imageCount) {
  timer_.stop();
  ani_ = ani;
  frames_.clear();
  steps_ = ani ? std::min<std::size_t>(ani->stepCount, ani->sequence.size()) : 0;
  imageCount_ = static_cast<std::size_t>(std::max(imageCount, 0));
  currentStep_ = 0;
  stepCounter_ = 0;
  state_ = PlayerState::stopped;
  missingFrameLogged_ = false;
  buttons_ = PlayerButtons{.run = steps_ > 1, .forward = steps_ > 1 && imageCount_ > 1};
  // The window's buttons belonged to the previous file: set them whether or not they change here.
  view_.enableButtons(buttons_);
}

void AnimationPlayer::loadFrames(std::vector<TimedFrame> frames) {
  load(nullptr, 0);
  frames_ = std::move(frames);
  steps_ = frames_.size();
  imageCount_ = steps_;
  buttons_ = PlayerButtons{.run = steps_ > 1, .forward = steps_ > 1};
  view_.enableButtons(buttons_);
}

int AnimationPlayer::stepMilliseconds(std::size_t step) const {
  if (!frames_.empty())
    return static_cast<int>(std::clamp<std::uint32_t>(step < frames_.size() ? frames_[step].milliseconds : 0,
                                                      shortestStepMilliseconds, INT_MAX));
  return jiffiesToMilliseconds(ani_ ? ani_->stepDelay(step) : 0);
}

std::optional<std::size_t> AnimationPlayer::frameOf(std::size_t step) const {
  if (!frames_.empty()) return step < frames_.size() ? std::optional(frames_[step].picture) : std::nullopt;
  if (!ani_) return std::nullopt;
  auto frame = ani_->frameOfStep(step);
  if (!frame || *frame >= imageCount_) return std::nullopt;
  return frame;
}

void AnimationPlayer::showStep(std::size_t step) {
  auto frame = frameOf(step);
  view_.showFrame(frame);
  if (frame || missingFrameLogged_) return;
  // A damaged sequence may name the same missing frame at every step: one line says it.
  missingFrameLogged_ = true;
  const std::size_t held = std::min(ani_->framesRead, imageCount_);
  view_.log("Step " + std::to_string(step + 1) + " names frame " + std::to_string(ani_->sequence[step]) +
            ", counted from 0, which the file does not hold: it has " + std::to_string(held) +
            (held == 1 ? " frame" : " frames") + ". The placeholder stands in for it.");
}

PlayerButtons AnimationPlayer::stoppedButtons() const {
  return {.run = steps_ > 1, .forward = currentStep_ + 1 < steps_, .back = currentStep_ > 0};
}

void AnimationPlayer::setButtons(const PlayerButtons& buttons) {
  if (buttons == buttons_) return;
  buttons_ = buttons;
  view_.enableButtons(buttons_);
}

void AnimationPlayer::run() {
  if (!buttons_.run) return;
  if (state_ == PlayerState::stopped) {
    stepCounter_ = 0;
    missingFrameLogged_ = false;
    showStep(0);
    timer_.start(stepMilliseconds(0));
  } else {
    timer_.start(resumeMilliseconds);
  }
  state_ = PlayerState::playing;
  // Run stays off while playing, so that only one step is ever pending; stepping waits for the end or Stop.
  setButtons({.pause = true, .stop = true});
}

void AnimationPlayer::timerExpired() {
  if (state_ != PlayerState::playing) return;
  ++stepCounter_;
  if (stepCounter_ < steps_) {
    showStep(stepCounter_);
    timer_.start(stepMilliseconds(stepCounter_));
    return;
  }
  timer_.stop();
  stepCounter_ = 0;
  state_ = PlayerState::stopped;
  const std::size_t last = steps_ - 1;
  // Forward and Back go on from the last step's frame number, kept within the sequence.
  currentStep_ = ani_ ? std::min<std::size_t>(ani_->sequence[last], last) : last;
  if (auto frame = frameOf(last)) view_.selectPicture(*frame);
  setButtons(stoppedButtons());
}

void AnimationPlayer::pause() {
  if (!buttons_.pause) return;
  timer_.stop();
  state_ = PlayerState::paused;
  setButtons({.run = true, .stop = true});
}

void AnimationPlayer::stop() {
  if (!buttons_.stop) return;
  timer_.stop();
  state_ = PlayerState::stopped;
  stepCounter_ = 0;
  setButtons(stoppedButtons());
}

void AnimationPlayer::moveTo(std::size_t step) {
  currentStep_ = step;
  missingFrameLogged_ = false;
  showStep(step);
  if (auto frame = frameOf(step)) view_.selectPicture(*frame);
  setButtons(stoppedButtons());
}

void AnimationPlayer::resetStep() {
  if (state_ != PlayerState::stopped || (!ani_ && frames_.empty())) return;
  currentStep_ = 0;
  setButtons(stoppedButtons());
}

void AnimationPlayer::forward() {
  if (buttons_.forward && currentStep_ + 1 < steps_) moveTo(currentStep_ + 1);
}

void AnimationPlayer::back() {
  if (buttons_.back && currentStep_ > 0) moveTo(currentStep_ - 1);
}

}  // namespace delvix::preview
