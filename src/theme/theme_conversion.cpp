#include "theme/theme_conversion.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <map>
#include <system_error>

#include "convert/xcursor_conversion.h"
#include "formats/document_reader.h"
#include "formats/file_save.h"
#include "formats/xcursor/xcursor_file.h"
#include "model/document.h"
#include "theme/cursor_roles.h"
#include "theme/index_theme.h"
#include "theme/install_inf.h"

namespace delvix::theme {

namespace fs = std::filesystem;

namespace {

// Cursors and setup files larger than this are not theme files.
constexpr std::uintmax_t largestThemeFile = 64u << 20;

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string extensionOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : lower(name.substr(dot));
}

std::string stemOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// The names of the regular files in `folder` (links followed), sorted.
std::vector<std::string> fileNamesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code statError;
    if (fs::is_regular_file(it->path(), statError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct FileBytes {
  std::vector<std::uint8_t> bytes;
  std::string error;  // empty when read
};

FileBytes readThemeFile(const fs::path& path) {
  FileBytes result;
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error) return {{}, error.message()};
  if (size > largestThemeFile)
    return {{},
            std::to_string(size) + " bytes is more than a cursor theme's file holds (" +
                std::to_string(largestThemeFile) + ")"};
  std::ifstream in(path, std::ios::binary);
  result.bytes.resize(static_cast<std::size_t>(size));
  if (!in || !in.read(reinterpret_cast<char*>(result.bytes.data()), static_cast<std::streamsize>(size)))
    return {{}, "cannot be read"};
  return result;
}

// Passes what a reader or converter says on, each line naming the file it is about.
class FileReporter : public formats::Reporter {
 public:
  FileReporter(formats::Reporter& target, std::string file) : target_(target), file_(std::move(file)) {}
  void log(std::string_view line) override {
    target_.log(file_ + ": " + std::string(line));
    last_ = line;
  }
  void dialog(const formats::DialogRequest& request) override {
    if (request.text != last_) target_.log(file_ + ": " + request.text);
    last_ = request.text;
  }
  const std::string& last() const { return last_; }

 private:
  formats::Reporter& target_;
  std::string file_;
  std::string last_;
};

// Why the output folder cannot be written into; empty when it can (it is made when missing).
std::string outputRefusal(const ThemeRequest& request) {
  std::error_code error;
  const fs::path& out = request.output;
  if (fs::exists(out, error)) {
    if (!fs::is_directory(out, error)) return out.string() + ": Not a directory";
    if (!request.replace && !fs::is_empty(out, error))
      return out.string() + " is not empty (give --replace to write into it, replacing files of the same names)";
  }
  fs::create_directories(out, error);
  if (error) return out.string() + ": " + error.message();
  return {};
}

std::string writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(path, error))) return path.string() + " is a folder";
  if (fs::is_symlink(fs::symlink_status(path, error))) fs::remove(path, error);
  if (auto failure = formats::replaceFileContents(path, bytes))
    return formats::failureText(path, *failure, fs::exists(path, error));
  return {};
}

// A relative link `link` to `target` (a name in the same folder), replacing a file or link of that name.
std::string linkFile(const fs::path& link, const std::string& target) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(link, error);
  if (fs::is_directory(status)) return link.string() + " is a folder";
  if (fs::exists(status) || fs::is_symlink(status)) fs::remove(link, error);
  fs::create_symlink(target, link, error);
  if (error) return link.string() + ": " + error.message();
  return {};
}

std::string folderName(const fs::path& folder) {
  const fs::path absolute = fs::absolute(folder).lexically_normal();
  std::string name = absolute.filename().string();
  if (name.empty()) name = absolute.parent_path().filename().string();
  return name.empty() ? "Cursors" : name;
}

bool isCursorFile(const std::string& name) {
  const std::string extension = extensionOf(name);
  return extension == ".cur" || extension == ".ani";
}

// The cursor file of each role (index into `files`; npos for none), from the install.inf or the file names.
struct RoleFiles {
  std::string schemeName;
  std::array<std::size_t, roleCount> file;
};

RoleFiles roleFilesOf(const ThemeRequest& request, const std::vector<std::string>& files, ThemeConversion& result,
                      formats::Reporter& reporter) {
  RoleFiles found;
  found.file.fill(std::string::npos);
  const auto roles = cursorRoles();
  auto indexOf = [&](std::string_view name) {
    for (std::size_t i = 0; i < files.size(); ++i)
      if (lower(files[i]) == lower(name)) return i;
    return std::string::npos;
  };
  std::size_t inf = indexOf("install.inf");
  for (std::size_t i = 0; i < files.size() && inf == std::string::npos; ++i)
    if (extensionOf(files[i]) == ".inf") inf = i;
  if (inf != std::string::npos) {
    FileReporter fileReporter(reporter, files[inf]);
    const FileBytes bytes = readThemeFile(request.input / files[inf]);
    if (!bytes.error.empty()) fileReporter.log(bytes.error);
    const CursorScheme scheme = readInstallInf(bytes.bytes, fileReporter);
    found.schemeName = scheme.name;
    for (std::size_t i = 0; i < roleCount; ++i) {
      if (scheme.files[i].empty()) continue;
      found.file[i] = indexOf(scheme.files[i]);
      if (found.file[i] == std::string::npos)
        result.failures.push_back(files[inf] + ": the " + std::string(roles[i].role) + " cursor " + scheme.files[i] +
                                  " is not in the folder");
    }
    if (std::any_of(found.file.begin(), found.file.end(), [](std::size_t f) { return f != std::string::npos; }))
      return found;
    reporter.log(files[inf] + ": no cursor of its scheme is in the folder; the file names decide the roles");
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!isCursorFile(files[i])) continue;
    const CursorRole* role = roleOfWindowsName(stemOf(files[i]));
    if (!role) continue;
    const auto index = static_cast<std::size_t>(role - roles.data());
    if (found.file[index] == std::string::npos)
      found.file[index] = i;
    else
      reporter.log(files[i] + ": " + files[found.file[index]] + " is the " + std::string(role->role) +
                   " cursor already; left out");
  }
  return found;
}

}  // namespace

std::optional<ThemeLayout> themeLayoutOf(const fs::path& folder) {
  std::error_code error;
  if (fs::is_directory(folder / "cursors", error) || fs::is_regular_file(folder / "index.theme", error))
    return ThemeLayout::freedesktop;
  for (const std::string& name : fileNamesIn(folder))
    if (isCursorFile(name) || extensionOf(name) == ".inf") return ThemeLayout::windows;
  return std::nullopt;
}

ThemeConversion freedesktopThemeOfWindowsFolder(const ThemeRequest& request, formats::Reporter& reporter) {
  ThemeConversion result;
  const std::vector<std::string> files = fileNamesIn(request.input);
  if (std::none_of(files.begin(), files.end(), isCursorFile)) {
    result.refusal = request.input.string() + " holds no .cur or .ani files";
    return result;
  }
  result.refusal = outputRefusal(request);
  if (!result.refusal.empty()) return result;
  const RoleFiles roleFiles = roleFilesOf(request, files, result, reporter);
  result.name = roleFiles.schemeName.empty() ? folderName(request.input) : roleFiles.schemeName;

  const fs::path cursors = request.output / "cursors";
  std::error_code error;
  fs::create_directories(cursors, error);
  if (error) {
    result.refusal = cursors.string() + ": " + error.message();
    return result;
  }
  const auto roles = cursorRoles();
  for (std::size_t i = 0; i < roleCount; ++i) {
    const CursorRole& role = roles[i];
    if (roleFiles.file[i] == std::string::npos) {
      result.missingRoles.emplace_back(role.role);
      continue;
    }
    const std::string& source = files[roleFiles.file[i]];
    FileReporter fileReporter(reporter, source);
    model::Document document;
    if (formats::readDocument(request.input / source, document, {}, fileReporter) != formats::ReadOutcome::read) {
      result.failures.push_back(source + ": " + (fileReporter.last().empty() ? "cannot be read" : fileReporter.last()));
      continue;
    }
    const auto xcursor = convert::xcursorFromDocument(document, {}, fileReporter);
    if (!xcursor) {
      result.failures.push_back(source + ": " + fileReporter.last());
      continue;
    }
    const std::string name(role.xcursorName);
    if (std::string failure = writeFile(cursors / name, formats::xcursor::writeXcursor(*xcursor)); !failure.empty()) {
      result.failures.push_back(failure);
      continue;
    }
    ConvertedCursor converted{std::string(role.role), source, "cursors/" + name, {}};
    for (std::string_view alias : role.aliases) {
      if (std::string failure = linkFile(cursors / std::string(alias), name); !failure.empty())
        result.failures.push_back(failure);
      else
        converted.aliases.push_back("cursors/" + std::string(alias));
    }
    result.cursors.push_back(std::move(converted));
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const bool used = std::find(roleFiles.file.begin(), roleFiles.file.end(), i) != roleFiles.file.end();
    if (!used && isCursorFile(files[i])) result.unmatched.push_back(files[i]);
  }

  const std::string index =
      writeThemeIndex({result.name, "Made from the Windows cursor scheme " + result.name, std::string()});
  if (std::string failure = writeFile(request.output / "index.theme",
                                      std::span(reinterpret_cast<const std::uint8_t*>(index.data()), index.size()));
      !failure.empty())
    result.failures.push_back(failure);
  return result;
}

ThemeConversion windowsFolderOfFreedesktopTheme(const ThemeRequest& request, formats::Reporter& reporter) {
  ThemeConversion result;
  std::error_code error;
  const fs::path cursors =
      fs::is_directory(request.input / "cursors", error) ? request.input / "cursors" : request.input;
  const std::vector<std::string> files = fileNamesIn(cursors);
  const auto roles = cursorRoles();
  std::array<std::string, roleCount> sources;
  for (std::size_t i = 0; i < roleCount; ++i) {
    if (std::binary_search(files.begin(), files.end(), std::string(roles[i].xcursorName))) {
      sources[i] = roles[i].xcursorName;
      continue;
    }
    for (std::string_view alias : roles[i].aliases) {
      if (!std::binary_search(files.begin(), files.end(), std::string(alias))) continue;
      sources[i] = alias;
      break;
    }
  }
  if (std::all_of(sources.begin(), sources.end(), [](const std::string& s) { return s.empty(); })) {
    result.refusal = cursors.string() +
                     " holds no cursor under a name of the scheme's cursors (default, left_ptr, "
                     "wait, text, pointer, ...)";
    return result;
  }
  result.refusal = outputRefusal(request);
  if (!result.refusal.empty()) return result;
  const std::string prefix = cursors == request.input ? std::string() : "cursors/";
  const FileBytes indexBytes = readThemeFile(request.input / "index.theme");
  result.name = readThemeIndex(textOfFile(indexBytes.bytes)).name;
  if (result.name.empty()) result.name = folderName(request.input);

  CursorScheme scheme{result.name, {}};
  for (std::size_t i = 0; i < roleCount; ++i) {
    if (sources[i].empty()) {
      result.missingRoles.emplace_back(roles[i].role);
      continue;
    }
    const std::string source = prefix + sources[i];
    FileReporter fileReporter(reporter, source);
    const FileBytes bytes = readThemeFile(cursors / sources[i]);
    formats::xcursor::XcursorFile xcursor;
    if (!bytes.error.empty() || !formats::xcursor::readXcursor(bytes.bytes, xcursor, fileReporter)) {
      result.failures.push_back(source + ": " + (bytes.error.empty() ? fileReporter.last() : bytes.error));
      continue;
    }
    const auto cursor = convert::windowsCursorFromXcursor(xcursor, {}, fileReporter);
    if (!cursor) {
      result.failures.push_back(source + ": " + fileReporter.last());
      continue;
    }
    const std::string name = std::string(roles[i].xcursorName) + (cursor->animated ? ".ani" : ".cur");
    if (std::string failure = writeFile(request.output / name, cursor->bytes); !failure.empty()) {
      result.failures.push_back(failure);
      continue;
    }
    scheme.files[i] = name;
    result.cursors.push_back({std::string(roles[i].role), source, name, {}});
  }
  for (const std::string& file : files)
    if (!roleOfXcursorName(file)) result.unmatched.push_back(prefix + file);

  if (std::string failure = writeFile(request.output / "install.inf", writeInstallInf(scheme)); !failure.empty())
    result.failures.push_back(failure);
  return result;
}

}  // namespace delvix::theme
