#pragma once

#include <filesystem>
#include <string>

#include "cli/batch.h"
#include "cli/commands.h"
#include "save/image_export.h"

namespace delvix::cli {

// The file an animation of `file` is written to: DIR/STEM.gif or DIR/STEM.png, STEM the file's name without
// its extension ("animation" for standard input).
std::filesystem::path animationTarget(const std::filesystem::path& file, const std::filesystem::path& directory,
                                      save::ImageFormat format);

// export --animated: the animated cursor `file` as one animated GIF or PNG in `directory`. Left-out steps are
// reported on the error stream; a file that is not an animated cursor is refused.
int exportAnimation(const std::filesystem::path& file, const std::filesystem::path& directory, save::ImageFormat format,
                    Streams streams, WrittenFiles& written);

}  // namespace delvix::cli
