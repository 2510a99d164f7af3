#include "codecs/jpeg_encode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <vector>

// jpeglib.h needs the declarations of stdio.h (FILE, size_t) before it.
// clang-format off
#include <stdio.h>
#include <jpeglib.h>
// clang-format on

namespace delvix::codecs {

namespace {

// libjpeg's default error handler ends the program; this one jumps back to the encoder with the message.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

ErrorManager& errorsOf(j_common_ptr info) { return *static_cast<ErrorManager*>(info->client_data); }

[[noreturn]] void jumpBack(j_common_ptr info) {
  ErrorManager& errors = errorsOf(info);
  errors.base.format_message(info, errors.message);
  std::longjmp(errors.jump, 1);
}

// Warnings are not printed: the encoder is a library and standard error is not its to use.
void keepQuiet(j_common_ptr) {}

// Where the compressed bytes go: libjpeg allocates the buffer with malloc and grows it.
struct Destination {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
};

// Everything that lives across setjmp is owned by the caller, so a jump back skips no destructor and leaves no
// local variable in doubt. Returns false after an error, with its text in `errors.message`.
bool compress(jpeg_compress_struct& info, ErrorManager& errors, const gfx::Image& image, JSAMPLE* row,
              Destination& destination) {
  if (setjmp(errors.jump)) return false;
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &destination.buffer, &destination.size);
  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  for (int c = 0; c < info.num_components; ++c) {
    info.comp_info[c].h_samp_factor = 1;
    info.comp_info[c].v_samp_factor = 1;
  }
  jpeg_start_compress(&info, TRUE);
  const gfx::Pixel* pixels = image.pixels().data();
  while (info.next_scanline < info.image_height) {
    const gfx::Pixel* pixel = pixels + static_cast<std::size_t>(info.next_scanline) * info.image_width;
    for (JDIMENSION x = 0; x < info.image_width; ++x) {
      row[3 * x] = gfx::red(pixel[x]);
      row[3 * x + 1] = gfx::green(pixel[x]);
      row[3 * x + 2] = gfx::blue(pixel[x]);
    }
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

JpegResult encodeJpeg(const gfx::Image& image) {
  JpegResult result;
  jpeg_compress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  info.client_data = &errors;
  errors.base.error_exit = jumpBack;
  errors.base.output_message = keepQuiet;
  // Sides beyond what a JPEG file can hold are refused by the library before any row is needed.
  std::vector<JSAMPLE> row(3 * static_cast<std::size_t>(std::min<long>(image.width(), JPEG_MAX_DIMENSION)) + 3);
  Destination destination;
  if (compress(info, errors, image, row.data(), destination))
    result.bytes.assign(destination.buffer, destination.buffer + destination.size);
  else
    result.error = errors.message;
  jpeg_destroy_compress(&info);
  std::free(destination.buffer);
  return result;
}

}  // namespace delvix::codecs
