#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/ani_state.h"
#include "platform/step_timer.h"

namespace delvix::preview {

// Which of the player's buttons are enabled.
struct PlayerButtons {
  bool run = false;
  bool pause = false;
  bool stop = false;
  bool forward = false;
  bool back = false;
  bool operator==(const PlayerButtons&) const = default;
};

enum class PlayerState { stopped, playing, paused };

// What the player asks of the window it plays in.
class PlayerView {
 public:
  virtual ~PlayerView() = default;
  // Shows frame `frame` in the preview while playing or stepping; nullopt shows the placeholder (the step
  // names a frame the file does not hold).
  virtual void showFrame(std::optional<std::size_t> frame) = 0;
  // Selects picture `frame` in the thumbnail list and the structure tree (the end of the sequence, Forward, Back).
  virtual void selectPicture(std::size_t frame) = 0;
  virtual void enableButtons(const PlayerButtons& buttons) = 0;
  // One line for the message log.
  virtual void log(const std::string& line) = 0;
};

// The shortest time a step stays on screen, so that a rate of 0 is still painted and cannot starve the window.
inline constexpr int shortestStepMilliseconds = 10;
// How soon a paused animation goes on after Run.
inline constexpr int resumeMilliseconds = 10;

// Jiffies (1/60 s) as whole milliseconds, rounded down (6 give 100, 10 give 166), computed in 64 bits and
// kept between shortestStepMilliseconds and INT_MAX.
int jiffiesToMilliseconds(std::uint32_t jiffies);

// Plays an animated cursor's steps with a one-shot timer armed again after every step, and steps through
// them with Forward and Back. Steps are the sequence entries the file actually holds (no more than the
// header's step count); a step whose frame the file lacks shows the placeholder.
class AnimationPlayer {
 public:
  AnimationPlayer(platform::StepTimer& timer, PlayerView& view);
  // Cancels a pending step and detaches from the timer, which may outlive the player.
  ~AnimationPlayer();
  AnimationPlayer(const AnimationPlayer&) = delete;
  AnimationPlayer& operator=(const AnimationPlayer&) = delete;

  // A newly opened file: stops any play first. `ani` is the animated cursor's state (it must outlive the
  // player's use of it, until the next load) or null for any other kind of file, which disables every button.
  void load(const model::AniState* ani, int imageCount);
  // Frames that play in order, each for its own time (an X cursor's images of one nominal size): picture
  // index and milliseconds.
  struct TimedFrame {
    std::size_t picture = 0;
    std::uint32_t milliseconds = 0;
  };
  void loadFrames(std::vector<TimedFrame> frames);

  void run();
  void pause();
  void stop();
  void forward();
  void back();
  // A picture's own parts are shown: a stopped player starts again from the first step, with Back off.
  void resetStep();
  // The timer's callback.
  void timerExpired();

  PlayerState state() const { return state_; }
  std::size_t steps() const { return steps_; }
  // The step Forward and Back move from.
  std::size_t currentStep() const { return currentStep_; }
  // The step on screen while playing or paused.
  std::size_t stepCounter() const { return stepCounter_; }
  const PlayerButtons& buttons() const { return buttons_; }
  // How long step `step` stays on screen.
  int stepMilliseconds(std::size_t step) const;

 private:
  // The frame step `step` shows, when it is one the file holds.
  std::optional<std::size_t> frameOf(std::size_t step) const;
  // Shows step `step`'s frame, or the placeholder with a log line unless one was written since the last reset.
  void showStep(std::size_t step);
  // The buttons of the stopped player: Forward and Back by the current step.
  PlayerButtons stoppedButtons() const;
  void setButtons(const PlayerButtons& buttons);
  void moveTo(std::size_t step);

  platform::StepTimer& timer_;
  PlayerView& view_;
  const model::AniState* ani_ = nullptr;
  std::vector<TimedFrame> frames_;
  std::size_t steps_ = 0;
  std::size_t imageCount_ = 0;
  std::size_t currentStep_ = 0;
  std::size_t stepCounter_ = 0;
  PlayerState state_ = PlayerState::stopped;
  PlayerButtons buttons_;
  bool missingFrameLogged_ = false;
};

}  // namespace delvix::preview
