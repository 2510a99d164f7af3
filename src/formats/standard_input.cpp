#include "formats/standard_input.h"

#include <unistd.h>

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

}  // namespace delvix::formats
