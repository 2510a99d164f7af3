#include "controls/colour_schemes.h"

#include <utility>

namespace delvix::controls {

namespace {

// Shared by every gradient scheme, and (grad aside) by every flat one.
constexpr ColourSet neoDisabled{0xEEEEEE, 0xFFFFFF, 0xD2D2D2, 0xFFFFFF, 0x808080, 0x808080};
constexpr ColourSet flatDisabled{0xE2E2E2, 0, 0xD8D8D8, 0xEAEAEA, 0xC4C4C4, 0x808080};

// Colours are 0x00BBGGRR. In the gradient schemes the face is the light top of the gradient and grad its
// saturated bottom; pressing swaps dark and light so the edges look sunken. The flat schemes use a face
// between the two, and their grad colours (0 here) are never written.
constexpr std::array<SchemeRow, 12> rows{{
    // csNeoDesert
    {{{{0xC6ECFF, 0x37BEFF, 0x009CE8, 0xB9E7FF, 0x005680, 0},
       {0xB3E7FF, 0x00A3F0, 0x008ED2, 0x95DAFF, 0x005680, 0},
       {0x2BBAFF, 0x77D2FF, 0x8AD9FF, 0x0077B7, 0x0070A6, 0},
       neoDisabled}},
     0x4080FF,
     true},
    // csNeoSky
    {{{{0xFFE4C6, 0xFF9D37, 0xE87700, 0xFFDEB9, 0x804200, 0},
       {0xFFD9B3, 0xF07A00, 0xD26B00, 0xFFCE95, 0x804200, 0},
       {0xFF982B, 0xFFBD77, 0xFFC68A, 0xB76200, 0xA65500, 0},
       neoDisabled}},
     0xFF8040,
     true},
    // csNeoGrass
    {{{{0xB0F1B9, 0x40DD55, 0x20B534, 0xA6EFB1, 0x12641D, 0},
       {0xA1EEAA, 0x21BC35, 0x1DA42F, 0x89EA99, 0x12641D, 0},
       {0x37DC4C, 0x72E682, 0x81E98E, 0x198F2C, 0x178225, 0},
       neoDisabled}},
     0x40A040,
     true},
    // csNeoSilver
    {{{{0xF1F1F1, 0xCDCDCD, 0xBABABA, 0xEEEEEE, 0xA0A0A0, 0},
       {0xECECEC, 0xBCBCBC, 0xB4B4B4, 0xE4E4E4, 0xA0A0A0, 0},
       {0xCACACA, 0xDDDDDD, 0xE2E2E2, 0xADADAD, 0xA9A9A9, 0},
       neoDisabled}},
     0x808080,
     true},
    // csNeoRose
    {{{{0xD8C9FC, 0x7541F5, 0x490CDC, 0xD0BDFB, 0x28067A, 0},
       {0xCAB7FB, 0x4A0CE4, 0x410BC7, 0xB89AFA, 0x28067A, 0},
       {0x6D36F4, 0xA27EF8, 0xAF90F9, 0x3D09AE, 0x34089E, 0},
       neoDisabled}},
     0x8040FF,
     true},
    // csNeoSun
    {{{{0xC6F1FF, 0x37CFFF, 0x00AFE8, 0xB9EDFF, 0x006180, 0},
       {0xB3EDFF, 0x00B7F0, 0x009FD2, 0x95E3FF, 0x006180, 0},
       {0x2BCCFF, 0x77DDFF, 0x8AE3FF, 0x0086B7, 0x007EA6, 0},
       neoDisabled}},
     0x4090FF,
     true},
    // csDesert
    {{{{0x7ED5FF, 0, 0x009CE8, 0xB9E7FF, 0x005680, 0},
       {0x59C5F7, 0, 0x008ED2, 0x95DAFF, 0x005680, 0},
       {0x51C6FF, 0, 0x8AD9FF, 0x0077B7, 0x0070A6, 0},
       flatDisabled}},
     0x4080FF,
     false},
    // csGrass
    {{{{0x78E787, 0, 0x20B534, 0xA6EFB1, 0x12641D, 0},
       {0x61D56F, 0, 0x1DA42F, 0x89EA99, 0x12641D, 0},
       {0x54E167, 0, 0x81E98E, 0x198F2C, 0x178225, 0},
       flatDisabled}},
     0x40A040,
     false},
    // csSky
    {{{{0xFFC07E, 0, 0xE87700, 0xFFDEB9, 0x804200, 0},
       {0xF7A959, 0, 0xD26B00, 0xFFCE95, 0x804200, 0},
       {0xFFAA51, 0, 0xFFC68A, 0xB76200, 0xA65500, 0},
       flatDisabled}},
     0xFF8040,
     false},
    // csSun
    {{{{0x7EE0FF, 0, 0x00AFE8, 0xB9EDFF, 0x006180, 0},
       {0x59D2F7, 0, 0x009FD2, 0x95E3FF, 0x006180, 0},
       {0x51D4FF, 0, 0x8AE3FF, 0x0086B7, 0x007EA6, 0},
       flatDisabled}},
     0x4090FF,
     false},
    // csRose
    {{{{0xA685F8, 0, 0x490CDC, 0xD0BDFB, 0x28067A, 0},
       {0x8A61EF, 0, 0x410BC7, 0xB89AFA, 0x28067A, 0},
       {0x875AF6, 0, 0xAF90F9, 0x3D09AE, 0x34089E, 0},
       flatDisabled}},
     0x8040FF,
     false},
    // csSilver
    {{{{0xDFDFDF, 0, 0xBABABA, 0xEEEEEE, 0xA0A0A0, 0},
       {0xD4D4D4, 0, 0xB4B4B4, 0xE4E4E4, 0xA0A0A0, 0},
       {0xD3D3D3, 0, 0xE2E2E2, 0xADADAD, 0xA9A9A9, 0},
       flatDisabled}},
     0x808080,
     false},
}};

constexpr std::pair<Colour, const char*> namedColours[] = {
    {0x000000, "clBlack"},  {0x000080, "clMaroon"},  {0x008000, "clGreen"}, {0x008080, "clOlive"},
    {0x800000, "clNavy"},   {0x800080, "clPurple"},  {0x808000, "clTeal"},  {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"}, {0x0000FF, "clRed"},     {0x00FF00, "clLime"},  {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},   {0xFF00FF, "clFuchsia"}, {0xFFFF00, "clAqua"},  {0xFFFFFF, "clWhite"},
};

}  // namespace

std::optional<SchemeRow> schemeRow(TColorScheme scheme) {
  const auto index = static_cast<std::size_t>(scheme);
  if (index >= rows.size()) return std::nullopt;
  return rows[index];
}

bool applyScheme(const SchemeRow& row, ButtonColours& colours) {
  constexpr std::array<int, 4> setStarts{0, colour::overSet, colour::downSet, colour::disabledSet};
  for (std::size_t i = 0; i < setStarts.size(); ++i) {
    const ColourSet& set = row.sets[i];
    const int start = setStarts[i];
    colours[start + colour::face] = set.face;
    if (row.gradient) colours[start + colour::grad] = set.grad;
    colours[start + colour::dark] = set.dark;
    colours[start + colour::light] = set.light;
    colours[start + colour::border] = set.border;
    colours[start + colour::text] = set.text;
  }
  colours[colour::focusRect] = row.focusRect;
  return row.gradient;
}

QString colourText(Colour colour) {
  for (const auto& [value, name] : namedColours)
    if (value == colour) return QString::fromLatin1(name);
  return QStringLiteral("$%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

}  // namespace delvix::controls
