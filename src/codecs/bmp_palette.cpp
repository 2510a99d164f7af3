#include "codecs/bmp_palette.h"

#include <algorithm>
#include <array>
#include <limits>

namespace delvix::codecs {

namespace {

using gfx::Pixel;

constexpr std::size_t cacheSlots = 4096;

std::size_t slotOf(Pixel colour, std::size_t slots) {
  // Fibonacci hashing spreads neighbouring colours over the table.
  return static_cast<std::size_t>((gfx::withoutAlpha(colour) * 2654435761u) >> 8) & (slots - 1);
}

int squaredDistance(Pixel a, Pixel b) {
  const int dr = gfx::red(a) - gfx::red(b);
  const int dg = gfx::green(a) - gfx::green(b);
  const int db = gfx::blue(a) - gfx::blue(b);
  return dr * dr + dg * dg + db * db;
}

bool holdsAll(std::span<const Pixel> palette, std::span<const Pixel> colours) {
  return std::all_of(colours.begin(), colours.end(), [&](Pixel c) {
    return std::any_of(palette.begin(), palette.end(), [&](Pixel p) { return gfx::withoutAlpha(p) == c; });
  });
}

std::vector<Pixel> opaque(std::span<const Pixel> colours) {
  std::vector<Pixel> result;
  result.reserve(colours.size());
  for (Pixel c : colours) result.push_back(c | 0xFF000000u);
  return result;
}

}  // namespace

std::vector<Pixel> standardPalette(int bitCount) {
  if (bitCount == 1) return {gfx::rgb(0, 0, 0), gfx::rgb(255, 255, 255)};
  if (bitCount == 4)
    return {gfx::rgb(0, 0, 0),       gfx::rgb(128, 0, 0),   gfx::rgb(0, 128, 0),   gfx::rgb(128, 128, 0),
            gfx::rgb(0, 0, 128),     gfx::rgb(128, 0, 128), gfx::rgb(0, 128, 128), gfx::rgb(192, 192, 192),
            gfx::rgb(128, 128, 128), gfx::rgb(255, 0, 0),   gfx::rgb(0, 255, 0),   gfx::rgb(255, 255, 0),
            gfx::rgb(0, 0, 255),     gfx::rgb(255, 0, 255), gfx::rgb(0, 255, 255), gfx::rgb(255, 255, 255)};
  std::vector<Pixel> palette;
  palette.reserve(256);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 7; ++g)
      for (int b = 0; b < 6; ++b)
        palette.push_back(gfx::rgb(static_cast<std::uint8_t>(r * 255 / 5), static_cast<std::uint8_t>(g * 255 / 6),
                                   static_cast<std::uint8_t>(b * 255 / 5)));
  // The cube's only greys are black and white.
  for (std::uint8_t grey : {32, 96, 160, 224}) palette.push_back(gfx::rgb(grey, grey, grey));
  return palette;
}

std::optional<std::vector<Pixel>> distinctColours(const gfx::Image& image, std::size_t limit) {
  limit = std::min<std::size_t>(limit, 256);
  // Open addressing at a load of a quarter at most: 1024 slots for up to 257 colours.
  constexpr std::size_t slots = 1024;
  std::array<Pixel, slots> table;
  std::array<bool, slots> used{};
  std::vector<Pixel> colours;
  Pixel last = 0;
  bool haveLast = false;
  for (Pixel p : image.pixels()) {
    const Pixel colour = gfx::withoutAlpha(p);
    if (haveLast && colour == last) continue;
    last = colour;
    haveLast = true;
    std::size_t slot = slotOf(colour, slots);
    while (used[slot] && table[slot] != colour) slot = (slot + 1) & (slots - 1);
    if (used[slot]) continue;
    if (colours.size() == limit) return std::nullopt;
    used[slot] = true;
    table[slot] = colour;
    colours.push_back(colour);
  }
  return colours;
}

std::vector<Pixel> bmpPalette(const gfx::Image& image, int bitCount, std::span<const Pixel> preferred) {
  const std::size_t capacity = std::size_t{1} << bitCount;
  const std::span<const Pixel> usable = preferred.first(std::min(preferred.size(), capacity));
  if (auto colours = distinctColours(image, capacity))
    return holdsAll(usable, *colours) && !usable.empty() ? opaque(usable) : opaque(*colours);
  if (!usable.empty()) return opaque(usable);
  return standardPalette(bitCount);
}

PaletteMatcher::PaletteMatcher(std::span<const Pixel> palette)
    : palette_(palette.begin(), palette.end()), cache_(cacheSlots) {}

std::uint8_t PaletteMatcher::indexOf(Pixel colour) {
  colour = gfx::withoutAlpha(colour);
  Slot& slot = cache_[slotOf(colour, cacheSlots)];
  if (!slot.used || slot.colour != colour) slot = {colour, nearest(colour), true};
  return slot.index;
}

std::uint8_t PaletteMatcher::nearest(Pixel colour) const {
  std::size_t best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < palette_.size() && i < 256; ++i) {
    const int distance = squaredDistance(colour, palette_[i]);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
      if (distance == 0) break;
    }
  }
  return static_cast<std::uint8_t>(best);
}

}  // namespace delvix::codecs
