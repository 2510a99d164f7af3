#include "fieldview/swatch_picture.h"

#include "gfx/swatch.h"

namespace delvix::fieldview {

gfx::Image swatchPicture(const Swatch& swatch) {
  const auto r = static_cast<std::uint8_t>(swatch.colour >> 16);
  const auto g = static_cast<std::uint8_t>(swatch.colour >> 8);
  const auto b = static_cast<std::uint8_t>(swatch.colour);
  switch (swatch.shape) {
    case Swatch::Shape::square: return gfx::makeTableSwatch(r, g, b);
    case Swatch::Shape::disc: return gfx::makeColourSwatch(r, g, b);
    case Swatch::Shape::twoDiscs: return gfx::makeTwoColourSwatch(swatch.colour, swatch.second);
  }
  return {};
}

}  // namespace delvix::fieldview
