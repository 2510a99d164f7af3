#include "preview/thumbnail.h"

#include <algorithm>
#include <vector>

#include "gfx/placeholder.h"
#include "preview/straight_render.h"

namespace delvix::preview {

namespace {

// The source pixels one target pixel of a scaled line covers, and how much of each (summing to 1).
struct Span {
  int first = 0;
  std::vector<double> weights;
};

std::vector<Span> coverage(int source, int target) {
  std::vector<Span> spans(static_cast<std::size_t>(target));
  const double step = static_cast<double>(source) / target;
  for (int t = 0; t < target; ++t) {
    const double begin = t * step;
    const double end = std::min<double>((t + 1) * step, source);
    Span& span = spans[static_cast<std::size_t>(t)];
    span.first = static_cast<int>(begin);
    for (int s = span.first; s < end; ++s)
      span.weights.push_back((std::min<double>(s + 1, end) - std::max<double>(s, begin)) / step);
  }
  return spans;
}

gfx::Image centred(const gfx::Image& image, int box) {
  gfx::Image square(box, box, 0);
  const int left = (box - image.width()) / 2;
  const int top = (box - image.height()) / 2;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (left + x >= 0 && left + x < box && top + y >= 0 && top + y < box)
        square.at(left + x, top + y) = image.at(x, y);
  return square;
}

}  // namespace

gfx::Image fitInBox(const gfx::Image& image, int box) {
  if (box <= 0 || image.empty()) return {};
  if (image.width() <= box && image.height() <= box) return image;
  const bool wide = image.width() >= image.height();
  const int width = wide ? box : std::max(1, static_cast<int>(std::int64_t{image.width()} * box / image.height()));
  const int height = wide ? std::max(1, static_cast<int>(std::int64_t{image.height()} * box / image.width())) : box;
  const std::vector<Span> columns = coverage(image.width(), width);
  const std::vector<Span> rows = coverage(image.height(), height);

  gfx::Image result(width, height, 0);
  for (int ty = 0; ty < height; ++ty) {
    const Span& row = rows[static_cast<std::size_t>(ty)];
    for (int tx = 0; tx < width; ++tx) {
      const Span& column = columns[static_cast<std::size_t>(tx)];
      double a = 0, r = 0, g = 0, b = 0;
      for (std::size_t j = 0; j < row.weights.size(); ++j)
        for (std::size_t i = 0; i < column.weights.size(); ++i) {
          const gfx::Pixel p = image.at(column.first + static_cast<int>(i), row.first + static_cast<int>(j));
          const double covered = row.weights[j] * column.weights[i] * gfx::alpha(p);
          a += covered;
          r += covered * gfx::red(p);
          g += covered * gfx::green(p);
          b += covered * gfx::blue(p);
        }
      if (a <= 0) continue;
      auto channel = [&](double sum) { return static_cast<std::uint8_t>(std::clamp(sum / a + 0.5, 0.0, 255.0)); };
      result.at(tx, ty) =
          gfx::rgb(channel(r), channel(g), channel(b), static_cast<std::uint8_t>(std::clamp(a + 0.5, 0.0, 255.0)));
    }
  }
  return result;
}

gfx::Image makeThumbnail(const model::Document& document, int index, int box) {
  const bool known = index >= 0 && static_cast<std::size_t>(index) < document.pictures.size();
  if (known && !document.pictures[static_cast<std::size_t>(index)].placeholder) {
    const Rendering rendering = renderStraight(document, index);
    if (rendering.ok() && !rendering.image.empty()) return centred(fitInBox(rendering.image, box), box);
  }
  // Drawn once: a list can hold tens of thousands of pictures that cannot be drawn.
  static const gfx::Image placeholder = gfx::makePlaceholder();
  return centred(fitInBox(placeholder, box), box);
}

}  // namespace delvix::preview
