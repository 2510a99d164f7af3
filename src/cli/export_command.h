#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace delvix::cli {

inline constexpr std::string_view exportArguments =
    "FILE... DIR [-r] [--format png|bmp|jpg|gif] [--alpha] [--zoom N] [--animated] [--json]";

// export FILE DIR [options]: every picture of FILE drawn as the preview draws it and written as
// DIR/picture_N.png (or .bmp, .jpg, .gif). With --animated, an animated cursor's steps as one animated GIF
// or PNG, DIR/STEM.gif or DIR/STEM.png.
int exportPictures(std::span<const std::string> args, Streams streams);

}  // namespace delvix::cli
