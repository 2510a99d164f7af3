#include "fieldview/bitmap_header_rows.h"

#include <array>
#include <cstdio>

#include "formats/le_bytes.h"

namespace delvix::fieldview {

namespace {

std::string hexText(std::uint32_t value) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "0x%08X", value);
  return text.data();
}

// A fixed-point number with `fractionBits` bits after the point, to four decimals.
std::string fixedText(std::uint32_t value, int fractionBits) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.4f", static_cast<double>(value) / static_cast<double>(1u << fractionBits));
  return text.data();
}

std::string intentText(std::uint32_t intent) {
  const char* name = intent == 1   ? "saturation"
                     : intent == 2 ? "relative colorimetric"
                     : intent == 4 ? "perceptual"
                     : intent == 8 ? "absolute colorimetric"
                                   : nullptr;
  return std::to_string(intent) + (name ? std::string(" (") + name + ")" : std::string());
}

}  // namespace

std::string colourSpaceText(std::uint32_t type) {
  if (type == 0) return "0 (calibrated RGB)";
  constexpr std::array<std::uint32_t, 4> known = {0x73524742u /* sRGB */, 0x57696E20u /* Win  */,
                                                  0x4C494E4Bu /* LINK */, 0x4D424544u /* MBED */};
  for (std::uint32_t k : known)
    if (type == k) {
      std::string letters = "'";
      for (int shift = 24; shift >= 0; shift -= 8) letters += static_cast<char>((type >> shift) & 0xFF);
      return letters + "'";
    }
  return hexText(type);
}

void addLongHeaderRows(TableBuilder& table, std::span<const std::uint8_t> block) {
  auto fits = [&](std::size_t offset, std::size_t width) { return offset + width <= block.size(); };
  auto at = [&](std::size_t offset) { return formats::le32(block, offset); };
  constexpr std::array<const char*, 4> maskNames = {"RedMask", "GreenMask", "BlueMask", "AlphaMask"};
  for (std::size_t i = 0; i < maskNames.size() && fits(40 + 4 * i, 4); ++i)
    table.add(maskNames[i], hexText(at(40 + 4 * i)), Mark::readOnly);
  if (fits(56, 4)) table.add("CSType", colourSpaceText(at(56)), Mark::readOnly);
  constexpr std::array<const char*, 3> endpointNames = {"RedEndpoint", "GreenEndpoint", "BlueEndpoint"};
  for (std::size_t i = 0; i < endpointNames.size() && fits(60 + 12 * i, 12); ++i) {
    const std::size_t xyz = 60 + 12 * i;
    table.add(endpointNames[i],
              fixedText(at(xyz), 30) + " " + fixedText(at(xyz + 4), 30) + " " + fixedText(at(xyz + 8), 30),
              Mark::readOnly);
  }
  constexpr std::array<const char*, 3> gammaNames = {"GammaRed", "GammaGreen", "GammaBlue"};
  for (std::size_t i = 0; i < gammaNames.size() && fits(96 + 4 * i, 4); ++i)
    table.add(gammaNames[i], fixedText(at(96 + 4 * i), 16), Mark::readOnly);
  if (fits(108, 4)) table.add("Intent", intentText(at(108)), Mark::readOnly);
  if (fits(112, 4)) table.add("ProfileData", std::to_string(at(112)), Mark::readOnly);
  if (fits(116, 4)) table.add("ProfileSize", std::to_string(at(116)), Mark::readOnly);
  if (fits(120, 4)) table.add("Reserved", std::to_string(at(120)), Mark::readOnly);
}

}  // namespace delvix::fieldview
