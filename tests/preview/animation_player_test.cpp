#include "preview/animation_player.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/manual_step_timer.h"

namespace delvix::preview {
namespace {

constexpr int placeholder = -1;

struct RecordingView : PlayerView {
  void showFrame(std::optional<std::size_t> frame) override { shown.push_back(frame ? int(*frame) : placeholder); }
  void selectPicture(std::size_t frame) override { selected.push_back(int(frame)); }
  void enableButtons(const PlayerButtons& buttons) override { enabled.push_back(buttons); }
  void log(const std::string& line) override { logged.push_back(line); }

  std::vector<int> shown;
  std::vector<int> selected;
  std::vector<PlayerButtons> enabled;
  std::vector<std::string> logged;
};

// An animated cursor as the reader leaves it: without a "seq " chunk the sequence holds the frames in order
// and the rates count frames; with one they count steps.
model::AniState aniState(std::vector<std::uint32_t> sequence, std::vector<std::uint32_t> rates, std::size_t frames,
                         bool withSequenceChunk, std::uint32_t headerSteps = 0) {
  model::AniState ani;
  ani.stepCount = headerSteps ? headerSteps : std::uint32_t(sequence.size());
  ani.header.steps = ani.stepCount;
  ani.header.frames = std::uint32_t(frames);
  ani.sequence = std::move(sequence);
  ani.rates = std::move(rates);
  ani.hasRate = true;
  ani.hasSequence = withSequenceChunk;
  ani.framesRead = frames;
  return ani;
}

struct PlayerFixture {
  platform::ManualStepTimer timer;
  RecordingView view;
  AnimationPlayer player{timer, view};

  // Runs from the stopped state and lets every step expire.
  void playThrough() {
    player.run();
    for (int guard = 0; guard < 1000 && timer.fire(); ++guard) {
    }
  }
};

struct PlayCase {
  const char* name;
  model::AniState ani;
  std::vector<int> armed;
  std::vector<int> shown;
  std::size_t endStep;
  std::vector<int> selected;
  std::size_t logLines;
};

TEST(AnimationPlayer, PlaysEveryStepOnceForItsDelayAndStops) {
  const PlayCase cases[] = {
      {"rates of three frames", aniState({0, 1, 2}, {6, 12, 3}, 3, false), {100, 200, 50}, {0, 1, 2}, 2, {2}, 0},
      {"a frame shown twice",
       aniState({0, 1, 0, 2}, {6, 6, 6, 6}, 3, true),
       {100, 100, 100, 100},
       {0, 1, 0, 2},
       2,
       {2},
       0},
      {"rates per frame without a sequence",
       aniState({0, 1, 0, 1}, {6, 12}, 2, false),
       {100, 200, 100, 200},
       {0, 1, 0, 1},
       1,
       {1},
       0},
      {"rates per step with a sequence",
       aniState({0, 1, 0, 1}, {6, 12, 3, 30}, 2, true),
       {100, 200, 50, 500},
       {0, 1, 0, 1},
       1,
       {1},
       0},
      {"extreme rates", aniState({0, 1, 2}, {0xFFFFFFFF, 0, 10}, 3, false), {INT_MAX, 10, 166}, {0, 1, 2}, 2, {2}, 0},
      {"header counts more steps than were read", aniState({1, 0}, {6, 12}, 2, true, 9), {100, 200}, {1, 0}, 0, {0}, 0},
      {"sequence names missing frames",
       aniState({0, 7, 9}, {6, 6, 6}, 2, true),
       {100, 100, 100},
       {0, placeholder, placeholder},
       2,
       {},
       1},
  };
  for (const PlayCase& c : cases) {
    SCOPED_TRACE(c.name);
    PlayerFixture f;
    f.player.load(&c.ani, int(c.ani.framesRead));
    f.playThrough();
    EXPECT_EQ(f.timer.armed, c.armed);
    EXPECT_EQ(f.view.shown, c.shown);
    EXPECT_EQ(f.view.selected, c.selected);
    EXPECT_EQ(f.view.logged.size(), c.logLines);
    EXPECT_EQ(f.player.state(), PlayerState::stopped);
    EXPECT_FALSE(f.timer.isActive());
    EXPECT_EQ(f.player.stepCounter(), 0u);
    EXPECT_EQ(f.player.currentStep(), c.endStep);
    const PlayerButtons end{.run = true, .forward = c.endStep + 1 < f.player.steps(), .back = c.endStep > 0};
    EXPECT_EQ(f.player.buttons(), end);
    EXPECT_EQ(f.view.enabled.back(), end);
  }
}

TEST(AnimationPlayer, EachRunReportsMissingFramesOnce) {
  const model::AniState ani = aniState({0, 5, 5, 6}, {6, 6, 6, 6}, 2, true);
  PlayerFixture f;
  f.player.load(&ani, 2);
  f.playThrough();
  ASSERT_EQ(f.view.logged.size(), 1u);
  EXPECT_EQ(f.view.logged[0],
            "Step 2 names frame 5, counted from 0, which the file does not hold: it has 2 frames. "
            "The placeholder stands in for it.");
  f.playThrough();
  EXPECT_EQ(f.view.logged.size(), 2u);
}

TEST(AnimationPlayer, ForwardAndBackStepThroughTheSequenceAndSelectTheFrame) {
  const model::AniState ani = aniState({0, 1, 0, 2}, {6, 6, 6, 6}, 3, true);
  PlayerFixture f;
  f.player.load(&ani, 3);
  f.playThrough();
  ASSERT_EQ(f.player.currentStep(), 2u);
  f.view.shown.clear();
  f.view.selected.clear();

  f.player.forward();
  EXPECT_EQ(f.player.currentStep(), 3u);
  EXPECT_EQ(f.view.shown, std::vector<int>{2});
  EXPECT_EQ(f.view.selected, std::vector<int>{2});
  EXPECT_EQ(f.player.buttons(), (PlayerButtons{.run = true, .forward = false, .back = true}));
  f.player.forward();  // already at the last step
  EXPECT_EQ(f.player.currentStep(), 3u);

  for (int i = 0; i < 5; ++i) f.player.back();
  EXPECT_EQ(f.player.currentStep(), 0u);
  EXPECT_EQ(f.view.shown, (std::vector<int>{2, 0, 1, 0}));
  EXPECT_EQ(f.view.selected, (std::vector<int>{2, 0, 1, 0}));
  EXPECT_EQ(f.player.buttons(), (PlayerButtons{.run = true, .forward = true, .back = false}));
}

TEST(AnimationPlayer, PauseResumesAfterTheStepOnScreenAndStopStartsOver) {
  const model::AniState ani = aniState({0, 1, 2}, {6, 12, 3}, 3, false);
  PlayerFixture f;
  f.player.load(&ani, 3);

  f.player.run();
  EXPECT_EQ(f.player.buttons(), (PlayerButtons{.pause = true, .stop = true}));
  f.player.run();  // Run is off while playing: nothing more is armed
  EXPECT_EQ(f.timer.armed, std::vector<int>{100});
  f.player.forward();
  EXPECT_EQ(f.player.currentStep(), 0u);
  ASSERT_TRUE(f.timer.fire());
  EXPECT_EQ(f.player.stepCounter(), 1u);

  f.player.pause();
  EXPECT_EQ(f.player.state(), PlayerState::paused);
  EXPECT_FALSE(f.timer.isActive());
  EXPECT_EQ(f.player.buttons(), (PlayerButtons{.run = true, .stop = true}));
  f.player.run();
  EXPECT_EQ(f.timer.armed.back(), resumeMilliseconds);
  ASSERT_TRUE(f.timer.fire());
  EXPECT_EQ(f.view.shown, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(f.timer.armed.back(), 50);

  f.player.stop();
  EXPECT_EQ(f.player.state(), PlayerState::stopped);
  EXPECT_FALSE(f.timer.isActive());
  EXPECT_EQ(f.player.stepCounter(), 0u);
  EXPECT_EQ(f.player.buttons(), (PlayerButtons{.run = true, .forward = true}));
  f.player.run();
  EXPECT_EQ(f.view.shown.back(), 0);
  EXPECT_EQ(f.timer.armed.back(), 100);
}

TEST(AnimationPlayer, LoadSetsTheButtonsAndCancelsPlay) {
  const model::AniState three = aniState({0, 1, 2}, {6, 6, 6}, 3, false);
  const model::AniState oneStep = aniState({0}, {6}, 1, false);
  const model::AniState noStepsRead = aniState({}, {}, 2, true, 4);
  struct LoadCase {
    const model::AniState* ani;
    int imageCount;
    PlayerButtons buttons;
  } cases[] = {
      {&three, 3, {.run = true, .forward = true}},
      {&three, 1, {.run = true}},
      {&oneStep, 1, {}},
      {&noStepsRead, 2, {}},
      {nullptr, 5, {}},
  };
  for (const LoadCase& c : cases) {
    PlayerFixture f;
    f.player.load(&three, 3);
    f.player.run();
    f.player.load(c.ani, c.imageCount);
    EXPECT_FALSE(f.timer.isActive());
    EXPECT_EQ(f.player.state(), PlayerState::stopped);
    EXPECT_EQ(f.player.currentStep(), 0u);
    EXPECT_EQ(f.view.enabled.back(), c.buttons);
    EXPECT_FALSE(f.timer.fire());
  }
}

}  // namespace
}  // namespace delvix::preview

namespace delvix::preview {
namespace {

// An X cursor's frames of one nominal size: each picture for its own delay in milliseconds, 0 kept at the
// shortest step; Forward and Back select the frames' pictures.
TEST(AnimationPlayer, TimedFramesPlayForTheirOwnDelays) {
  PlayerFixture f;
  f.player.loadFrames({{4, 30}, {9, 0}, {5, 0xFFFFFFFF}});
  f.playThrough();
  EXPECT_EQ(f.timer.armed, (std::vector<int>{30, shortestStepMilliseconds, INT_MAX}));
  EXPECT_EQ(f.view.shown, (std::vector<int>{4, 9, 5}));
  EXPECT_EQ(f.view.selected, (std::vector<int>{5}));
  f.player.back();
  EXPECT_EQ(f.view.selected.back(), 9);
  f.player.loadFrames({{2, 50}});
  EXPECT_FALSE(f.player.buttons().run);
}

}  // namespace
}  // namespace delvix::preview
