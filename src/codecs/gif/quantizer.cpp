#include "codecs/gif/quantizer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "codecs/gif/nearest_colour.h"

namespace delvix::codecs::gif {
namespace {

constexpr int kMeansRounds = 6;

int channel(gfx::Pixel p, int axis) { return static_cast<int>((p >> (16 - 8 * axis)) & 0xFF); }

// Weighted sums of a set of colours, enough for its mean and its squared error.
struct Moments {
  double weight = 0;
  std::array<double, 3> sum{};
  std::array<double, 3> squares{};

  void add(const ColourCount& c) {
    weight += c.count;
    for (int axis = 0; axis < 3; ++axis) {
      const double v = channel(c.colour, axis);
      sum[static_cast<std::size_t>(axis)] += v * c.count;
      squares[static_cast<std::size_t>(axis)] += v * v * c.count;
    }
  }
  void add(const Moments& other) {
    weight += other.weight;
    for (std::size_t axis = 0; axis < 3; ++axis) {
      sum[axis] += other.sum[axis];
      squares[axis] += other.squares[axis];
    }
  }
  Moments minus(const Moments& part) const {
    Moments rest = *this;
    rest.weight -= part.weight;
    for (std::size_t axis = 0; axis < 3; ++axis) {
      rest.sum[axis] -= part.sum[axis];
      rest.squares[axis] -= part.squares[axis];
    }
    return rest;
  }
  double variance(std::size_t axis) const { return weight > 0 ? squares[axis] - sum[axis] * sum[axis] / weight : 0; }
  double squaredError() const { return variance(0) + variance(1) + variance(2); }
  gfx::Pixel mean() const {
    auto level = [&](std::size_t axis) {
      return static_cast<std::uint8_t>(std::clamp(sum[axis] / weight + 0.5, 0.0, 255.0));
    };
    return gfx::rgb(level(0), level(1), level(2));
  }
};

Moments momentsOf(std::span<const ColourCount> colours) {
  Moments m;
  for (const auto& c : colours) m.add(c);
  return m;
}

struct Box {
  std::size_t begin = 0;
  std::size_t end = 0;
  Moments moments;
};

// Splits the box along its widest-spread channel, between the two levels of that channel where the two
// halves' squared errors add up least.
std::pair<Box, Box> split(std::vector<ColourCount>& colours, const Box& box) {
  std::size_t axis = 0;
  for (std::size_t a = 1; a < 3; ++a)
    if (box.moments.variance(a) > box.moments.variance(axis)) axis = a;
  const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
  const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
  const auto levelOf = [axis](const ColourCount& c) { return channel(c.colour, static_cast<int>(axis)); };

  std::array<Moments, 256> byLevel{};
  for (auto it = first; it != last; ++it) byLevel[static_cast<std::size_t>(levelOf(*it))].add(*it);
  Moments left;
  Moments bestLeft;
  double bestError = -1;
  int bestCut = 1;
  for (int cut = 1; cut < 256; ++cut) {
    left.add(byLevel[static_cast<std::size_t>(cut - 1)]);
    if (byLevel[static_cast<std::size_t>(cut - 1)].weight <= 0 || left.weight >= box.moments.weight) continue;
    const double error = left.squaredError() + box.moments.minus(left).squaredError();
    if (bestError < 0 || error < bestError) {
      bestError = error;
      bestCut = cut;
      bestLeft = left;
    }
  }
  const auto middle = std::partition(first, last, [&](const ColourCount& c) { return levelOf(c) < bestCut; });
  const auto cutAt = static_cast<std::size_t>(middle - colours.begin());
  return {Box{box.begin, cutAt, bestLeft}, Box{cutAt, box.end, box.moments.minus(bestLeft)}};
}

std::vector<gfx::Pixel> medianCut(std::vector<ColourCount> colours, int count) {
  std::vector<Box> boxes{Box{0, colours.size(), momentsOf(colours)}};
  while (static_cast<int>(boxes.size()) < count) {
    auto worst = boxes.end();
    for (auto it = boxes.begin(); it != boxes.end(); ++it)
      if (it->end - it->begin > 1 &&
          (worst == boxes.end() || it->moments.squaredError() > worst->moments.squaredError()))
        worst = it;
    if (worst == boxes.end()) break;
    auto [low, high] = split(colours, *worst);
    *worst = low;
    boxes.push_back(high);
  }
  std::vector<gfx::Pixel> palette;
  for (const Box& box : boxes) palette.push_back(box.moments.mean());
  return palette;
}

// Moves each free entry to the mean of the colours nearest to it.
void refine(std::vector<gfx::Pixel>& palette, std::size_t firstFree, const std::vector<ColourCount>& colours) {
  for (int round = 0; round < kMeansRounds; ++round) {
    NearestColour nearest(palette);
    std::vector<Moments> clusters(palette.size());
    for (const auto& c : colours) clusters[static_cast<std::size_t>(nearest.find(c.colour))].add(c);
    bool moved = false;
    for (std::size_t i = firstFree; i < palette.size(); ++i) {
      if (clusters[i].weight <= 0) continue;
      const gfx::Pixel mean = clusters[i].mean();
      moved = moved || mean != palette[i];
      palette[i] = mean;
    }
    if (!moved) break;
  }
}

}  // namespace

std::vector<gfx::Pixel> optimisedPalette(std::vector<ColourCount> histogram, int count,
                                         const std::vector<gfx::Pixel>& reserved) {
  std::vector<gfx::Pixel> palette;
  for (gfx::Pixel p : reserved) palette.push_back(gfx::withoutAlpha(p) | 0xFF000000u);
  std::erase_if(histogram, [&](const ColourCount& c) {
    return c.count == 0 ||
           std::find(palette.begin(), palette.end(), gfx::withoutAlpha(c.colour) | 0xFF000000u) != palette.end();
  });
  if (count <= 0 || histogram.empty()) return palette;
  if (histogram.size() <= static_cast<std::size_t>(count)) {
    for (const auto& c : histogram) palette.push_back(gfx::withoutAlpha(c.colour) | 0xFF000000u);
    return palette;
  }
  const std::size_t firstFree = palette.size();
  for (gfx::Pixel p : medianCut(histogram, count)) palette.push_back(p);
  refine(palette, firstFree, histogram);
  return palette;
}

}  // namespace delvix::codecs::gif
