#pragma once

#include <string>
#include <vector>

#include "model/document.h"
#include "save/image_export.h"

namespace delvix::save {

// Which picture an export writes and how.
struct PictureRequest {
  ImageFormat format = ImageFormat::png;
  // The picture as the preview draws it (on the key-colour canvas, through its alpha with `alpha`) instead
  // of its own pixels with their own alpha. BMP and JPEG files are always made from the picture as drawn.
  bool asShown = false;
  bool alpha = false;
  int zoom = 1;  // each pixel a zoom x zoom square
  codecs::gif::Settings gif;
};

struct PictureFile {
  std::vector<std::uint8_t> bytes;
  std::string error;  // why there is no file; empty on success
  // Lines for the message log, also when the file was made.
  std::vector<std::string> log;
};

// True when the request takes the picture's own pixels with their alpha (PNG and GIF unless asked otherwise).
bool takesOwnPixels(const PictureRequest& request);

// The file of picture `index` (0-based) of the document as the request asks. A PNG-stored picture exported
// as PNG at zoom 1 is its own bytes when they are an intact PNG stream; a damaged one is decoded and
// written anew, or refused.
PictureFile exportPictureFile(const model::Document& document, int index, const PictureRequest& request);

}  // namespace delvix::save
