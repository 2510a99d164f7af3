#pragma once

#include <memory>
#include <vector>

#include "edit/add_image.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::convert {

// The pictures an animated cursor's frame `index` holds beyond its first (the reader keeps them as bytes),
// each read as a cursor file of its own with the frame's directory entry, so that it is drawn and its hot
// spot found as any cursor's. A picture that cannot be read is reported and left out.
std::vector<std::unique_ptr<edit::IconSource>> furtherFramePictures(const model::Document& document, int index,
                                                                    formats::Reporter& reporter);

}  // namespace delvix::convert
