#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/gif/gif_codec.h"
#include "gfx/image.h"
#include "model/document.h"

namespace delvix::save {

enum class ImageFormat { bmp, jpeg, gif, png };

// The format a target's extension asks for (".bmp", ".jpg", ".jpeg", ".gif", ".png", any case); nullopt for others.
std::optional<ImageFormat> imageFormatOfExtension(std::string_view extension);
// The extension a file of the format is written with: ".bmp", ".jpg", ".gif" or ".png".
std::string_view extensionOf(ImageFormat format);

// What an export of one picture needs besides the picture: its bit count (BMP keeps it: 1, 4, 8, 24 or 32;
// any other as 32) and its own colour table, when it has one (BMP at 8 bits or fewer prefers its colours).
struct ExportOptions {
  int bitCount = 32;
  std::vector<gfx::Pixel> colourTable;
  codecs::gif::Settings gif;
  // The picture holds its own alpha instead of being drawn on the key-colour canvas: PNG writes that alpha,
  // GIF makes the pixels of alpha below 128 transparent.
  bool ownAlpha = false;
};

struct Encoded {
  std::vector<std::uint8_t> bytes;
  std::string error;  // why nothing was encoded; empty on success
};

// The picture (a rendering on the key-colour canvas, or with its own alpha as the options say) encoded as a
// file of `format`: BMP at the bit count, JPEG at quality 100 with 4:4:4 sampling, PNG with the key colour
// transparent (or the picture's alpha), GIF with the options' settings and the key colour (or alpha below
// 128) as the transparent entry. An empty picture is refused.
Encoded encodeImage(const gfx::Image& picture, ImageFormat format, const ExportOptions& options);

// The bit count and colour table of picture `index` of the document, as an export needs them.
ExportOptions exportOptionsOf(const model::Document& document, int index);

}  // namespace delvix::save
