#pragma once

#include <QString>
#include <array>
#include <optional>

#include "controls/xi_button.h"

namespace delvix::controls {

// Face, grad, dark, light, border and text colours of one button state.
struct ColourSet {
  Colour face, grad, dark, light, border, text;
};

struct SchemeRow {
  std::array<ColourSet, 4> sets;  // normal, Over, Down, Disabled
  Colour focusRect;
  bool gradient;  // a flat scheme leaves the four grad colours as they were
};

// The colours of a predefined scheme; none for csCustom.
std::optional<SchemeRow> schemeRow(TColorScheme scheme);
// Writes the scheme's colours into colours and returns whether the scheme draws a gradient.
bool applyScheme(const SchemeRow& row, ButtonColours& colours);

// "clRed" for the sixteen basic colours, "$000080FF" for the others.
QString colourText(Colour colour);

}  // namespace delvix::controls
