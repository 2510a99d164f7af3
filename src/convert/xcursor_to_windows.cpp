#include <algorithm>
#include <cmath>
#include <string>

#include "convert/cursor_scaling.h"
#include "convert/windows_cursor_bytes.h"
#include "convert/xcursor_conversion.h"

namespace delvix::convert {

namespace {

namespace xc = formats::xcursor;

// One size of the Windows cursor: the Xcursor size its frames come from and the factor they are scaled by.
struct SizePlan {
  std::uint32_t size = 0;
  std::uint32_t source = 0;
  std::vector<const xc::ImageChunk*> frames;
};

std::string sizeText(std::uint32_t size) { return "size " + std::to_string(size); }

// The size a missing size is made from: the smallest larger one (scaling down loses least), else the largest.
std::uint32_t sourceFor(std::uint32_t wanted, const std::vector<std::uint32_t>& present) {
  std::uint32_t best = 0;
  for (std::uint32_t size : present)
    if (size >= wanted && (best < wanted || size < best)) best = size;
  if (best >= wanted) return best;
  return *std::ranges::max_element(present);
}

std::vector<SizePlan> planSizes(const xc::XcursorFile& file, const ToWindowsOptions& options,
                                formats::Reporter& reporter) {
  std::vector<std::uint32_t> present = nominalSizesOf(file);
  std::erase(present, 0u);
  std::vector<std::uint32_t> wanted = options.sizes.empty() ? present : options.sizes;
  std::ranges::sort(wanted);
  wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
  std::vector<SizePlan> plans;
  if (present.empty()) return plans;
  for (std::uint32_t size : wanted) {
    if (size == 0 || size > static_cast<std::uint32_t>(largestWindowsCursorSide)) {
      reporter.log(sizeText(size) + " is left out: Windows cursors are 1 to " +
                   std::to_string(largestWindowsCursorSide) + " pixels a side.");
      continue;
    }
    SizePlan plan{size, std::ranges::find(present, size) != present.end() ? size : sourceFor(size, present), {}};
    if (plan.source != size) reporter.log(sizeText(size) + " is scaled from " + sizeText(plan.source) + ".");
    plan.frames = framesOfSize(file, plan.source);
    plans.push_back(std::move(plan));
  }
  return plans;
}

// A frame of one size as a Windows cursor picture: scaled to the planned size with its hot spot; nullopt
// (reported) when its picture would be too large.
std::optional<CursorPicture> pictureOf(const xc::ImageChunk& chunk, const SizePlan& plan, formats::Reporter& reporter) {
  gfx::Image image = xc::straightImage(chunk);
  std::uint32_t xHot = chunk.xHot;
  std::uint32_t yHot = chunk.yHot;
  if (plan.size != plan.source) {
    auto scaled = [&](std::uint32_t side) {
      return std::max<std::uint32_t>(1,
                                     static_cast<std::uint32_t>(std::lround(double(side) * plan.size / plan.source)));
    };
    const std::uint32_t width = scaled(chunk.width);
    const std::uint32_t height = scaled(chunk.height);
    if (width <= static_cast<std::uint32_t>(largestWindowsCursorSide) &&
        height <= static_cast<std::uint32_t>(largestWindowsCursorSide)) {
      image = scaledImage(image, static_cast<int>(width), static_cast<int>(height));
      xHot = scaledHotSpot(xHot, chunk.width, width);
      yHot = scaledHotSpot(yHot, chunk.height, height);
    }
  }
  if (image.width() > largestWindowsCursorSide || image.height() > largestWindowsCursorSide || image.empty()) {
    reporter.log("an image of " + sizeText(plan.size) + " (" + std::to_string(image.width()) + "x" +
                 std::to_string(image.height()) + ") is left out: Windows cursors are 1 to " +
                 std::to_string(largestWindowsCursorSide) + " pixels a side.");
    return std::nullopt;
  }
  const auto inside = [](std::uint32_t spot, int side) {
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(spot, static_cast<std::uint32_t>(side - 1)));
  };
  return CursorPicture{std::move(image), inside(xHot, image.width()), inside(yHot, image.height())};
}

std::uint32_t jiffiesOf(std::uint32_t milliseconds) {
  return static_cast<std::uint32_t>(std::max<std::uint64_t>(1, (std::uint64_t{milliseconds} * 60 + 500) / 1000));
}

std::vector<InfoItem> infoOf(const xc::XcursorFile& file) {
  std::vector<InfoItem> items;
  for (const xc::Chunk& chunk : file.chunks) {
    const auto* comment = std::get_if<xc::CommentChunk>(&chunk.content);
    if (!comment || comment->text.empty()) continue;
    const std::string id = comment->kind == static_cast<std::uint32_t>(xc::CommentKind::copyright) ? "ICOP" : "ICMT";
    auto same = std::ranges::find(items, id, &InfoItem::id);
    if (same == items.end())
      items.push_back({id, comment->text});
    else
      same->text += "\n" + comment->text;
  }
  return items;
}

bool samePictures(const std::vector<CursorPicture>& a, const std::vector<CursorPicture>& b) {
  return std::ranges::equal(a, b, [](const CursorPicture& x, const CursorPicture& y) {
    return x.xHot == y.xHot && x.yHot == y.yHot && x.image.width() == y.image.width() &&
           x.image.pixels() == y.image.pixels();
  });
}

}  // namespace

std::optional<WindowsCursor> windowsCursorFromXcursor(const xc::XcursorFile& file, const ToWindowsOptions& options,
                                                      formats::Reporter& reporter) {
  const std::vector<SizePlan> plans = planSizes(file, options, reporter);
  std::size_t steps = 0;
  for (const SizePlan& plan : plans) steps = std::max(steps, plan.frames.size());
  if (steps == 0) {
    reporter.log(imagesOf(file).empty() ? "the file holds no images." : "none of the sizes asked for can be written.");
    return std::nullopt;
  }
  // The delays come from the first size with the most frames; a size with fewer frames spreads them out.
  const SizePlan& timing = *std::ranges::find(plans, steps, [](const SizePlan& p) { return p.frames.size(); });
  for (const SizePlan& plan : plans)
    if (plan.frames.size() != steps)
      reporter.log(sizeText(plan.size) + " has " + std::to_string(plan.frames.size()) + " frames, " +
                   sizeText(timing.size) + " has " + std::to_string(steps) + "; its frames are shown for longer.");

  std::vector<std::vector<CursorPicture>> stepPictures(steps);
  std::vector<std::uint32_t> rates;
  for (std::size_t step = 0; step < steps; ++step) {
    for (const SizePlan& plan : plans) {
      const xc::ImageChunk& chunk = *plan.frames[step * plan.frames.size() / steps];
      if (auto picture = pictureOf(chunk, plan, reporter)) stepPictures[step].push_back(std::move(*picture));
    }
    if (stepPictures[step].empty()) {
      reporter.log("no picture is left to write.");
      return std::nullopt;
    }
    const std::uint32_t delay = timing.frames[step]->delay;
    if (delay == 0 && steps > 1)
      reporter.log("frame " + std::to_string(step + 1) + " has a delay of 0; it is shown for 1/60 s.");
    rates.push_back(jiffiesOf(delay));
  }
  if (steps == 1) return WindowsCursor{false, cursorFileBytes(stepPictures.front())};

  // Steps that show the same pictures share one frame.
  AnimatedCursorParts parts;
  std::vector<std::size_t> frameSteps;  // the step each frame was first seen at
  for (std::size_t step = 0; step < steps; ++step) {
    auto same = std::ranges::find_if(
        frameSteps, [&](std::size_t seen) { return samePictures(stepPictures[seen], stepPictures[step]); });
    if (same == frameSteps.end()) {
      parts.sequence.push_back(static_cast<std::uint32_t>(frameSteps.size()));
      frameSteps.push_back(step);
      parts.frames.push_back(cursorFileBytes(stepPictures[step]));
    } else {
      parts.sequence.push_back(static_cast<std::uint32_t>(same - frameSteps.begin()));
    }
  }
  parts.rates = std::move(rates);
  parts.info = infoOf(file);
  parts.width = static_cast<std::uint32_t>(stepPictures.front().front().image.width());
  parts.height = static_cast<std::uint32_t>(stepPictures.front().front().image.height());
  return WindowsCursor{true, animatedCursorBytes(parts)};
}

}  // namespace delvix::convert
