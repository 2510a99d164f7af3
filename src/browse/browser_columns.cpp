#include "browse/browser_columns.h"

#include "fieldview/value_text.h"

namespace delvix::browse {

std::array<std::string, 3> imageColumns(const FileSummary& summary) {
  if (summary.access == Access::notAFile) return {};
  switch (summary.kind) {
    case FileKind::iconFile: return {std::to_string(summary.images), std::string(), std::string()};
    case FileKind::cursorFile:
    case FileKind::animatedCursor: return {std::string(), std::to_string(summary.images), std::string()};
    case FileKind::module:
      return {std::to_string(summary.resources.iconGroups), std::to_string(summary.resources.cursorGroups),
              std::to_string(summary.resources.bitmaps)};
    case FileKind::wave:
    case FileKind::other: break;
  }
  return {};
}

std::array<std::string, 6> waveColumns(const FileSummary& summary) {
  if (summary.access == Access::notAFile) return {};
  std::array<std::string, 6> columns;
  columns[0] = std::to_string(summary.size);
  columns[1] =
      summary.seconds ? fieldview::playingTimeText(static_cast<float>(*summary.seconds)) : std::string(unknownTime);
  if (const auto& format = summary.waveFormat) {
    columns[2] = std::to_string(format->formatTag);
    columns[3] = std::to_string(format->channels);
    columns[4] = std::to_string(format->bitsPerSample);
    columns[5] = std::to_string(format->samplesPerSecond);
  }
  return columns;
}

}  // namespace delvix::browse
