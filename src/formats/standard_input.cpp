#include "formats/standard_input.h"

#include <unistd.h>

#include "formats/le_bytes.h"

namespace delvix::formats {

std::shared_ptr<const FileContent> standardInput(std::string* whyNot) {
  static std::shared_ptr<const FileContent> content;
  static std::string failure;
  static bool read = false;
  if (!read) {
    read = true;
    if (auto bytes = FileContent::readStream(STDIN_FILENO, largestStandardInput, &failure))
      content = std::make_shared<const FileContent>(std::move(*bytes));
  }
  if (!content && whyNot) *whyNot = "standard input: " + failure;
  return content;
}

std::optional<model::FileKind> fileKindOfContent(Bytes content) {
  auto startsWith = [&](std::size_t offset, std::string_view word) {
    return content.size() >= offset + word.size() &&
           std::equal(word.begin(), word.end(), content.begin() + static_cast<std::ptrdiff_t>(offset));
  };
  if (startsWith(0, "RIFF") && startsWith(8, "ACON")) return model::FileKind::animatedCursor;
  if (startsWith(0, "RIFF") && startsWith(8, "WAVE")) return model::FileKind::wave;
  if (startsWith(0, "MZ")) return model::FileKind::module;
  if (content.size() >= 6 && le16(content, 0) == 0 && (le16(content, 2) == 1 || le16(content, 2) == 2))
    return model::FileKind::iconFile;
  return std::nullopt;
}

}  // namespace delvix::formats
