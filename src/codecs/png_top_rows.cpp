#include "codecs/png_top_rows.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "codecs/png_decode.h"

namespace delvix::codecs {

namespace {

struct MemoryInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position;
};

void readFromMemory(png_structp png, png_bytep target, png_size_t count) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (count > input->size - input->position) png_error(png, "read past the end of the data");
  std::memcpy(target, input->data + input->position, count);
  input->position += count;
}

void ignoreWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp, so this function holds no object with a destructor: the caller
// owns the row buffer and the pixels. Returns false on any error or for interlaced images.
bool readTopRows(MemoryInput* input, png_bytep row, std::size_t rowBytes, std::uint32_t* pixels, int width,
                 int height) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, ignoreWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return false;
  }
  png_set_read_fn(png, input, readFromMemory);
  png_set_user_limits(png, largestPngSide, largestPngSide);
  // A thumbnail shows what is there: the checksums of a damaged stream are not worked out.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_read_info(png, info);
  if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE || png_get_image_width(png, info) * 4 > rowBytes) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  const int imageWidth = static_cast<int>(png_get_image_width(png, info));
  const int rows = std::min(height, static_cast<int>(png_get_image_height(png, info)));
  const int columns = std::min(width, imageWidth);
  for (int y = 0; y < rows; ++y) {
    png_read_row(png, row, nullptr);
    for (int x = 0; x < columns; ++x) {
      const png_bytep p = row + 4 * x;
      pixels[y * width + x] = gfx::rgb(p[2], p[1], p[0], p[3]);
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

std::optional<gfx::Image> decodePngTopLeft(std::span<const std::uint8_t> bytes, int width, int height) {
  auto info = readPngInfo(bytes);
  if (!info || info->width > largestPngSide || info->height > largestPngSide || width <= 0 || height <= 0)
    return std::nullopt;
  gfx::Image result(width, height, 0);
  std::vector<png_byte> row(static_cast<std::size_t>(info->width) * 4);
  MemoryInput input{bytes.data(), bytes.size(), 0};
  if (readTopRows(&input, row.data(), row.size(), result.pixels().data(), width, height)) return result;

  auto whole = decodePng(bytes);
  if (!whole) return std::nullopt;
  return whole->cropped(width, height, 0);
}

}  // namespace delvix::codecs
