#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "formats/byte_reader.h"
#include "formats/file_content.h"
#include "model/document.h"

namespace delvix::formats {

// The name that stands for standard input where a file is asked for.
inline constexpr std::string_view standardInputName = "-";

// Standard input is read whole, as a file is; more than the largest file that any of the kinds can describe
// (a RIFF file or a module ends within 4 GiB) is refused.
inline constexpr std::size_t largestStandardInput = std::size_t{4} << 30;

// The content of standard input, read once on first use and kept for the rest of the run, so that every
// part of a command that reads "the file" again gets the same bytes. Null, with the reason in `whyNot`,
// when it could not be read.
std::shared_ptr<const FileContent> standardInput(std::string* whyNot = nullptr);

}  // namespace delvix::formats
