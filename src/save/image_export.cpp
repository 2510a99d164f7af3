#include "save/image_export.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include "codecs/bmp_encode.h"
#include "codecs/jpeg_encode.h"
#include "codecs/png_encode.h"
#include "formats/le_bytes.h"
#include "preview/frame_render.h"

namespace delvix::save {

namespace {

constexpr const char* nothingToSave = "There is no picture to save.";

Encoded failed(std::string error) { return {{}, std::move(error)}; }

Encoded encode(const gfx::Image& picture, ImageFormat format, const ExportOptions& options) {
  switch (format) {
    case ImageFormat::bmp: {
      auto bytes = codecs::encodeBmp(picture, options.bitCount, options.colourTable);
      if (!bytes) return failed("The picture is too large for a BMP file.");
      return {std::move(*bytes), {}};
    }
    case ImageFormat::jpeg: {
      codecs::JpegResult jpeg = codecs::encodeJpeg(picture);
      if (!jpeg.error.empty()) return failed("The JPEG picture could not be made: " + jpeg.error);
      return {std::move(jpeg.bytes), {}};
    }
    case ImageFormat::gif: {
      codecs::gif::Settings settings = options.gif;
      settings.transparentBelowHalfAlpha = options.ownAlpha;
      const codecs::gif::IndexedImage indexed = codecs::gif::reduceColours(picture, settings);
      std::vector<std::uint8_t> bytes = codecs::gif::encodeGif(indexed, options.gif.compression);
      if (bytes.empty()) return failed("The GIF picture could not be made.");
      return {std::move(bytes), {}};
    }
    case ImageFormat::png: {
      auto bytes =
          codecs::encodePng(picture, options.ownAlpha ? codecs::PngAlpha::own : codecs::PngAlpha::keyTransparent);
      if (!bytes) return failed("The PNG picture could not be made.");
      return {std::move(*bytes), {}};
    }
  }
  return failed("Unknown picture format.");
}

}  // namespace

std::optional<ImageFormat> imageFormatOfExtension(std::string_view extension) {
  std::string lower(extension);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
  if (lower == ".bmp") return ImageFormat::bmp;
  if (lower == ".jpg" || lower == ".jpeg") return ImageFormat::jpeg;
  if (lower == ".gif") return ImageFormat::gif;
  if (lower == ".png") return ImageFormat::png;
  return std::nullopt;
}

std::string_view extensionOf(ImageFormat format) {
  switch (format) {
    case ImageFormat::bmp: return ".bmp";
    case ImageFormat::jpeg: return ".jpg";
    case ImageFormat::gif: return ".gif";
    case ImageFormat::png: return ".png";
  }
  return "";
}

Encoded encodeImage(const gfx::Image& picture, ImageFormat format, const ExportOptions& options) {
  if (picture.empty()) return failed(nothingToSave);
  // A codec that runs out of memory or trips over its own limits fails this picture, not the program.
  try {
    return encode(picture, format, options);
  } catch (const std::exception& e) {
    return failed(std::string("The picture could not be encoded: ") + e.what());
  }
}

ExportOptions exportOptionsOf(const model::Document& document, int index) {
  ExportOptions options;
  if (index >= 0 && static_cast<std::size_t>(index) < document.pictures.size()) {
    const std::string& text = document.pictures[static_cast<std::size_t>(index)].bitCountText;
    int bitCount = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bitCount);
    if (error == std::errc() && end == text.data() + text.size()) options.bitCount = codecs::bmpBitCount(bitCount);
  }
  const model::Node* picture = preview::pictureNode(document, index);
  const model::Node* table = picture ? picture->findChild("color_table") : nullptr;
  if (!table || table->block().size() < 4) return options;
  const model::Block& block = table->block();
  const std::size_t entries =
      std::min({std::size_t{formats::le32(block, 0)}, block.size() - 4, std::size_t{4 * 256}}) / 4;
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t at = 4 + 4 * i;
    options.colourTable.push_back(gfx::rgb(block[at + 2], block[at + 1], block[at]));
  }
  return options;
}

}  // namespace delvix::save
