#pragma once

#include <string>
#include <string_view>

#include "model/node.h"

namespace delvix::fieldview {

// The text an INFO item's node holds (u32 n, then n bytes), as UTF-8: the bytes up to the first zero, kept
// when they are valid UTF-8 and read as Windows-1252 otherwise.
std::string infoItemText(const model::Node& node);

// The block of an INFO item that holds `text` (UTF-8) in place of `old`'s: u32 n, the text, then one or
// two zero bytes so that n is even. The text stays in the encoding the item had: Windows-1252 when the old
// bytes were not UTF-8 and the code page has every character, UTF-8 otherwise. The text shown for `old`
// gives back the old block unchanged, so that applying a text as it was shown changes nothing.
model::Block infoItemBlock(std::string_view text, const model::Node& old);

}  // namespace delvix::fieldview
