#pragma once

#include <cstddef>
#include <string>

namespace delvix::save {

// The name of picture `number` (from 1) among `count` when written out as a file: "picture_" and the number
// zero-padded to the width of the count (picture_1 ... picture_9; picture_01 ... picture_12), so that the
// files sort in their order. The tree's node names stay unpadded.
std::string pictureFileName(std::size_t number, std::size_t count);

}  // namespace delvix::save
