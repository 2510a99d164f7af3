#pragma once

#include <string>
#include <string_view>

#include "model/document.h"

namespace delvix::preview {

// The kind of resource picture `index` of a module belongs to: "Icon", "Cursor" or "Bitmap", as its resource
// node's name ends ("NAME [Icon_3]"); empty when the picture is not under such a node.
std::string_view modulePictureKind(const model::Document& document, int index);

// The thumbnail list's text for picture `index` of a module: what the reader gave ("NAME [Icon]"), and for a
// picture that cannot be drawn the resource's name and kind before its "none" ("NAME [Icon] none").
std::string moduleRowText(const model::Document& document, int index);

}  // namespace delvix::preview
