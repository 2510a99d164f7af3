#include "theme/install_inf.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "formats/utf8.h"
#include "theme/cursor_roles.h"

namespace delvix::theme {

namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trimmed(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

std::string utf8OfUtf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
  constexpr std::uint32_t replacement = 0xFFFD;
  std::string out;
  out.reserve(bytes.size() / 2);
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> std::uint32_t {
    return bigEndian ? (bytes[2 * i] << 8 | bytes[2 * i + 1]) : (bytes[2 * i + 1] << 8 | bytes[2 * i]);
  };
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t first = unit(i);
    if (first >= 0xD800 && first < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
      formats::appendUtf8(out, 0x10000 + ((first - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
      ++i;
    } else {
      formats::appendUtf8(out, first >= 0xD800 && first < 0xE000 ? replacement : first);
    }
  }
  return out;
}

// Code points of UTF-8 text; a byte that does not start a valid sequence stands for itself (as Windows-1252
// text read as Latin-1 would).
std::vector<std::uint32_t> codePointsOf(std::string_view text) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int length = byte < 0x80 ? 1 : (byte >> 5) == 6 ? 2 : (byte >> 4) == 14 ? 3 : (byte >> 3) == 30 ? 4 : 0;
    bool valid = length > 0 && i + length <= text.size();
    std::uint32_t code = length == 1 ? byte : length == 2 ? byte & 0x1F : length == 3 ? byte & 0x0F : byte & 0x07;
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = code << 6 | (next & 0x3F);
    }
    if (!valid) {
      out.push_back(byte);
      ++i;
      continue;
    }
    out.push_back(code);
    i += length;
  }
  return out;
}

// One line of a setup file split at the commas outside quotes; quotes removed ("" is one quote).
std::vector<std::string> fieldsOf(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  bool wasQuoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = !quoted;
        wasQuoted = true;
      }
    } else if (c == ',' && !quoted) {
      if (!wasQuoted) fields.back() = std::string(trimmed(fields.back()));
      fields.emplace_back();
      wasQuoted = false;
    } else if (quoted || !((fields.back().empty() || wasQuoted) && (c == ' ' || c == '\t'))) {
      fields.back() += c;
    }
  }
  if (!wasQuoted) fields.back() = std::string(trimmed(fields.back()));
  return fields;
}

struct Line {
  std::string section;  // lower case
  std::string text;     // without comment, continuation joined
  std::size_t number;   // where it starts, from 1
};

// The lines of a setup file as Windows reads them: comments (';' outside quotes) dropped, a '\' at the end
// joining the next line, the section each belongs to.
std::vector<Line> linesOf(std::string_view text) {
  std::vector<Line> lines;
  std::string section;
  std::string pending;
  std::size_t pendingStart = 0;
  std::size_t number = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    ++number;
    bool quoted = false;
    std::size_t cut = raw.size();
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '"') quoted = !quoted;
      if (raw[i] == ';' && !quoted) {
        cut = i;
        break;
      }
    }
    std::string_view content = trimmed(raw.substr(0, cut));
    if (pending.empty()) pendingStart = number;
    if (!content.empty() && content.back() == '\\' && !quoted) {
      pending += content.substr(0, content.size() - 1);
      if (start <= text.size()) continue;
      content = {};
    }
    pending += content;
    const std::string_view whole = trimmed(pending);
    if (whole.size() >= 2 && whole.front() == '[' && whole.back() == ']') {
      section = lower(trimmed(whole.substr(1, whole.size() - 2)));
    } else if (!whole.empty()) {
      lines.push_back({section, std::string(whole), pendingStart});
    }
    pending.clear();
    if (end == text.size()) break;
  }
  return lines;
}

// %name% replaced by the string of that name (names are not case-sensitive), %% by %; unknown names (and the
// folder numbers such as %10%) stay as they are.
std::string substituted(std::string_view text, const std::map<std::string, std::string>& strings) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    const std::size_t close = text.find('%', i + 1);
    if (close == std::string_view::npos) {
      out += text.substr(i);
      break;
    }
    const std::string_view key = text.substr(i + 1, close - i - 1);
    const auto found = key.empty() ? strings.end() : strings.find(lower(key));
    if (key.empty())
      out += '%';
    else if (found != strings.end())
      out += found->second;
    else
      out += text.substr(i, close - i + 1);
    i = close;
  }
  return out;
}

bool isCurrentUserKey(std::string_view root) {
  const std::string name = lower(root);
  return name == "hkcu" || name == "hkey_current_user";
}

// The file name at the end of a path the setup file gives; nullopt (reported) when it leads nowhere safe.
std::optional<std::string> fileNameOf(std::string_view path, std::string_view role, formats::Reporter& reporter) {
  path = trimmed(path);
  const std::size_t slash = path.find_last_of("\\/");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.empty()) return std::string();
  const bool control = std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 32; });
  if (name == "." || name == ".." || control) {
    reporter.log("install.inf: the " + std::string(role) + " cursor \"" + std::string(path) +
                 "\" is not a file name; left out");
    return std::nullopt;
  }
  return std::string(name);
}

}  // namespace

std::string textOfFile(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return utf8OfUtf16(bytes.subspan(2), false);
  if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return utf8OfUtf16(bytes.subspan(2), true);
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
    bytes = bytes.subspan(3);
  else if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0)
    return utf8OfUtf16(bytes, false);
  else if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] != 0)
    return utf8OfUtf16(bytes, true);
  return std::string(bytes.begin(), bytes.end());
}

CursorScheme readInstallInf(std::span<const std::uint8_t> bytes, formats::Reporter& reporter) {
  const std::vector<Line> lines = linesOf(textOfFile(bytes));
  std::map<std::string, std::string> strings;
  for (const Line& line : lines) {
    if (line.section != "strings") continue;
    const std::size_t equals = line.text.find('=');
    if (equals == std::string::npos) continue;
    const std::vector<std::string> value = fieldsOf(std::string_view(line.text).substr(equals + 1));
    std::string joined;
    for (std::size_t i = 0; i < value.size(); ++i) joined += (i ? "," : "") + value[i];
    strings[lower(trimmed(std::string_view(line.text).substr(0, equals)))] = joined;
  }

  const auto roles = cursorRoles();
  CursorScheme scheme;
  CursorScheme current;  // from the values set one by one under Control Panel\Cursors
  bool found = false;
  for (const Line& line : lines) {
    if (line.section == "strings") continue;
    std::vector<std::string> fields = fieldsOf(line.text);
    // An AddReg line: root, key, value name, flags, value (the value may hold unquoted commas).
    if (fields.size() < 5 || !isCurrentUserKey(fields[0])) continue;
    const std::string key = lower(substituted(fields[1], strings));
    std::string value = fields[4];
    for (std::size_t i = 5; i < fields.size(); ++i) value += "," + fields[i];
    value = substituted(value, strings);
    const std::string valueName = substituted(fields[2], strings);
    if (key == "control panel\\cursors\\schemes" && !found) {
      found = true;
      scheme.name = std::string(trimmed(valueName));
      std::size_t index = 0;
      std::size_t start = 0;
      while (start <= value.size()) {
        std::size_t end = value.find(',', start);
        if (end == std::string::npos) end = value.size();
        if (index < roleCount) {
          if (auto name = fileNameOf(std::string_view(value).substr(start, end - start), roles[index].role, reporter))
            scheme.files[index] = *name;
        } else if (!trimmed(std::string_view(value).substr(start, end - start)).empty()) {
          reporter.log("install.inf: the scheme lists more than " + std::to_string(roleCount) +
                       " cursors; the ones after the " + std::to_string(roleCount) + "th are left out");
          break;
        }
        ++index;
        start = end + 1;
      }
    } else if (key == "control panel\\cursors") {
      if (trimmed(valueName).empty()) {
        current.name = std::string(trimmed(value));
        continue;
      }
      for (std::size_t i = 0; i < roleCount; ++i) {
        if (lower(trimmed(valueName)) != lower(roles[i].schemeName)) continue;
        if (auto name = fileNameOf(value, roles[i].role, reporter)) current.files[i] = *name;
      }
    }
  }
  if (found) return scheme;
  if (std::any_of(current.files.begin(), current.files.end(), [](const std::string& f) { return !f.empty(); }))
    return current;
  reporter.log("install.inf installs no cursor scheme (no line writes HKCU \"Control Panel\\Cursors\\Schemes\")");
  return {};
}

namespace {

// A value for a quoted setup-file string: control characters become spaces, quotes are doubled.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 32)
      out += ' ';
    else if (c == '"')
      out += "\"\"";
    else
      out += c;
  }
  return out + '"';
}

// The scheme's name as a folder name under %WINDIR%\Cursors.
std::string folderNameOf(std::string_view name) {
  std::string out;
  for (char c : name) {
    const bool bad =
        static_cast<unsigned char>(c) < 32 || std::string_view("\\/:*?\"<>|%").find(c) != std::string_view::npos;
    out += bad ? '_' : c;
  }
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  return out.empty() ? "Cursors" : out;
}

}  // namespace

std::vector<std::uint8_t> writeInstallInf(const CursorScheme& scheme) {
  const auto roles = cursorRoles();
  const std::string name = scheme.name.empty() ? "Cursors" : scheme.name;
  std::string paths;
  std::string text;
  auto line = [&](std::string_view content) { (text += content) += "\r\n"; };
  for (std::size_t i = 0; i < roleCount; ++i)
    paths += std::string(i ? "," : "") +
             (scheme.files[i].empty() ? "" : "%10%\\%CUR_DIR%\\%" + std::string(roles[i].role) + "%");

  line("; Installs the cursor scheme " + std::string(quoted(name)) + ": right-click this file and choose Install,");
  line("; then pick the scheme under Mouse Properties, Pointers.");
  line("");
  line("[Version]");
  line("signature=\"$CHICAGO$\"");
  line("");
  line("[DefaultInstall]");
  line("CopyFiles = Scheme.Cur");
  line("AddReg    = Scheme.Reg");
  line("");
  line("[DestinationDirs]");
  line("Scheme.Cur = 10,\"%CUR_DIR%\"");
  line("");
  line("[Scheme.Reg]");
  line("HKCU,\"Control Panel\\Cursors\\Schemes\",\"%SCHEME_NAME%\",,\"" + paths + "\"");
  line("HKCU,\"Control Panel\\Cursors\",,0x00020000,\"%SCHEME_NAME%\"");
  for (std::size_t i = 0; i < roleCount; ++i) {
    if (scheme.files[i].empty()) continue;
    line("HKCU,\"Control Panel\\Cursors\"," + std::string(roles[i].schemeName) + ",0x00020000,\"%10%\\%CUR_DIR%\\%" +
         std::string(roles[i].role) + "%\"");
  }
  line("");
  line("[Scheme.Cur]");
  for (const std::string& file : scheme.files)
    if (!file.empty()) line(quoted(file));
  line("");
  line("[Strings]");
  line("CUR_DIR = " + quoted("Cursors\\" + folderNameOf(name)));
  line("SCHEME_NAME = " + quoted(name));
  for (std::size_t i = 0; i < roleCount; ++i)
    if (!scheme.files[i].empty()) line(std::string(roles[i].role) + " = " + quoted(scheme.files[i]));

  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return {text.begin(), text.end()};
  std::vector<std::uint8_t> bytes{0xFF, 0xFE};
  auto unit = [&](std::uint32_t u) {
    bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
  };
  for (std::uint32_t code : codePointsOf(text)) {
    if (code >= 0x10000) {
      unit(0xD800 + ((code - 0x10000) >> 10));
      unit(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      unit(code);
    }
  }
  return bytes;
}

}  // namespace delvix::theme
