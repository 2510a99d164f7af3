#include "gfx/placeholder.h"

#include <array>
#include <string_view>

namespace delvix::gfx {

namespace {

// 5 x 9 glyphs of a plain sans-serif face: the rows of a text cell, '#' for ink. The lower-case
// letters sit on the baseline of row 7, as they would in the program's 8-point interface font.
struct Glyph {
  char letter;
  std::array<std::string_view, 9> rows;
};

constexpr std::array<Glyph, 3> glyphs{{
    {'n', {".....", ".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#", "....."}},
    {'o', {".....", ".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###.", "....."}},
    {'e', {".....", ".....", ".....", ".###.", "#...#", "#####", "#....", ".###.", "....."}},
}};

void drawText(Image& image, int left, int top, std::string_view text) {
  int x = left;
  for (char c : text) {
    for (const Glyph& glyph : glyphs) {
      if (glyph.letter != c) continue;
      for (int row = 0; row < static_cast<int>(glyph.rows.size()); ++row)
        for (int col = 0; col < 5; ++col)
          if (glyph.rows[row][col] == '#' && x + col < image.width() && top + row < image.height())
            image.at(x + col, top + row) = rgb(0, 0, 0);
    }
    x += 6;
  }
}

}  // namespace

Image makePlaceholder() {
  Image image(thumbnailSize, thumbnailSize, rgb(255, 255, 255));
  drawText(image, 4, 8, "none");
  return image;
}

}  // namespace delvix::gfx
