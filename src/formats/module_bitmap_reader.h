#pragma once

#include "formats/module_context.h"

namespace delvix::formats::module {

// Adds the "picture_" n of a bitmap resource with "bitm_info", "color_table" and "color_bitmap",
// decodes it for the thumbnail and keeps the decoded bitmap. A bitmap whose header is not the
// 40-byte kind gets no picture; the image count grows by one per picture node.
void expandBitmap(Context& context, model::Node& resourceNode);

}  // namespace delvix::formats::module
