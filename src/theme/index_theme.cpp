#include "theme/index_theme.h"

namespace delvix::theme {

namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::string oneLine(std::string_view value) {
  std::string out(value);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  return out;
}

}  // namespace

ThemeIndex readThemeIndex(std::string_view text) {
  ThemeIndex index;
  bool inGroup = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.starts_with('[')) {
      inGroup = line == "[Icon Theme]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inGroup || line.starts_with('#') || equals == std::string_view::npos) continue;
    const std::string_view key = trimmed(line.substr(0, equals));
    const std::string value(trimmed(line.substr(equals + 1)));
    if (key == "Name")
      index.name = value;
    else if (key == "Comment")
      index.comment = value;
    else if (key == "Inherits")
      index.inherits = value;
  }
  return index;
}

std::string writeThemeIndex(const ThemeIndex& index) {
  std::string text = "[Icon Theme]\n";
  if (!index.name.empty()) text += "Name=" + oneLine(index.name) + '\n';
  if (!index.comment.empty()) text += "Comment=" + oneLine(index.comment) + '\n';
  if (!index.inherits.empty()) text += "Inherits=" + oneLine(index.inherits) + '\n';
  return text;
}

}  // namespace delvix::theme
