#include "save/animation_frames.h"

#include <algorithm>
#include <map>
#include <optional>

#include "preview/straight_render.h"

namespace delvix::save {

namespace {

std::string stepName(std::size_t step) { return "Step " + std::to_string(step + 1); }

// Counts left-out steps and words the first of them.
class LeftOut {
 public:
  explicit LeftOut(std::vector<std::string>& messages) : messages_(messages) {}
  void add(std::string line) {
    if (++count_ <= largestStepMessages) messages_.push_back(std::move(line) + ": it is left out.");
  }
  ~LeftOut() {
    if (count_ > largestStepMessages)
      messages_.push_back(std::to_string(count_ - largestStepMessages) + " more steps are left out.");
  }

 private:
  std::vector<std::string>& messages_;
  std::size_t count_ = 0;
};

// The frames the steps show, each drawn once, or the reason it cannot be.
struct DrawnFrame {
  gfx::Image image;
  std::string problem;
};

gfx::Image centred(const gfx::Image& picture, int width, int height) {
  gfx::Image canvas(width, height, 0);
  const int left = (width - picture.width()) / 2;
  const int top = (height - picture.height()) / 2;
  for (int y = 0; y < picture.height(); ++y)
    std::copy_n(picture.pixels().begin() + static_cast<std::ptrdiff_t>(y) * picture.width(), picture.width(),
                canvas.pixels().begin() + static_cast<std::ptrdiff_t>(top + y) * width + left);
  return canvas;
}

std::string tooLarge(std::size_t pixels) {
  return "The animation is too large to save: its steps would hold " + std::to_string(pixels) +
         " pixels together, more than " + std::to_string(largestAnimationPixels) + ".";
}

}  // namespace

AnimationFrames collectAnimation(const model::Document& document) {
  AnimationFrames result;
  if (document.kind != model::FileKind::animatedCursor) {
    result.error = "Only an animated cursor holds an animation.";
    return result;
  }
  const model::AniState& ani = document.ani;
  const std::size_t stepCount = std::min<std::size_t>(ani.stepCount, ani.sequence.size());

  std::map<std::size_t, DrawnFrame> drawn;
  std::vector<std::pair<std::size_t, std::size_t>> kept;  // step, frame
  std::size_t drawnPixels = 0;
  int width = 0;
  int height = 0;
  {
    LeftOut leftOut(result.messages);
    for (std::size_t step = 0; step < stepCount; ++step) {
      const std::optional<std::size_t> frame = ani.frameOfStep(step);
      if (!frame || *frame >= document.pictures.size()) {
        leftOut.add(stepName(step) + " names frame " + std::to_string(ani.sequence[step]) +
                    ", counted from 0, which the file does not hold");
        continue;
      }
      auto [at, isNew] = drawn.try_emplace(*frame);
      DrawnFrame& picture = at->second;
      if (isNew) {
        preview::Rendering rendering = preview::renderStraight(document, static_cast<int>(*frame));
        if (rendering.image.empty()) {
          const std::string why = !rendering.error.empty() ? rendering.error : rendering.logLine;
          picture.problem =
              "frame " + std::to_string(*frame) + " cannot be drawn" + (why.empty() ? "" : " (" + why + ")");
        } else {
          picture.image = std::move(rendering.image);
          drawnPixels += picture.image.pixels().size();
          if (drawnPixels > largestAnimationPixels) {
            result.error = tooLarge(drawnPixels);
            return result;
          }
          width = std::max(width, picture.image.width());
          height = std::max(height, picture.image.height());
        }
      }
      if (!picture.problem.empty()) {
        leftOut.add(stepName(step) + ": " + picture.problem);
        continue;
      }
      kept.emplace_back(step, *frame);
    }
  }
  if (kept.empty()) {
    result.error =
        stepCount == 0 ? "The animated cursor has no steps." : "No step of the animated cursor can be drawn.";
    return result;
  }
  const std::size_t canvas = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (kept.size() > largestAnimationPixels / canvas) {
    result.error = tooLarge(kept.size() * canvas);
    return result;
  }

  std::map<std::size_t, std::size_t> pictureOfFrame;
  for (const auto& [step, frame] : kept) {
    auto [at, isNew] = pictureOfFrame.try_emplace(frame, result.pictures.size());
    if (isNew) result.pictures.push_back(centred(drawn.at(frame).image, width, height));
    result.steps.push_back({at->second, ani.stepDelay(step)});
  }
  return result;
}

}  // namespace delvix::save
