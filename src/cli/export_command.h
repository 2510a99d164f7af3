#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

// export FILE DIR [options]: every picture of FILE written as DIR/picture_N.png (or .bmp, .jpg, .gif): PNG and
// GIF files of the picture's own pixels and alpha, BMP and JPEG files (and all with --as-shown or --alpha) of
// the picture as the preview draws it. With --animated, an animated cursor's steps as one animated GIF or PNG,
// DIR/STEM.gif or DIR/STEM.png.
int exportPictures(const Invocation& call, Streams streams);

}  // namespace delvix::cli
