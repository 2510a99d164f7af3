#include "edit/add_image.h"

namespace delvix::edit {

std::optional<IconSource> readIconSource(std::span<const std::uint8_t>, formats::Reporter&) { return std::nullopt; }
std::string sourceEntryProblem(const IconSource&, std::size_t) { return {}; }
ImageAddition addImage(model::Document&, const IconSource&, std::size_t) { return {}; }

}  // namespace delvix::edit
