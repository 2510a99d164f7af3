#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace delvix::testing {

// What is wrong with a written RIFF file, one problem a line; empty when nothing is. Checked: the RIFF
// size is the file size less 8; every chunk and list, at every depth, fits its parent and is followed by
// its pad byte when odd. In an animated cursor also: "rate" and "seq " hold 4 x N bytes, N the steps when
// there is a sequence and the frames otherwise; every sequence entry names a frame; flag bit 1 is set
// exactly when "seq " is there; the header's frame count is the frame list's.
std::string riffProblems(std::span<const std::uint8_t> file);

}  // namespace delvix::testing
