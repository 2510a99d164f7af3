#include "theme/theme_lint.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <system_error>

#include "formats/document_reader.h"
#include "formats/file_content.h"
#include "formats/regular_file.h"
#include "formats/xcursor/xcursor_file.h"
#include "model/document.h"
#include "preview/picture_listing.h"
#include "theme/install_inf.h"

namespace delvix::theme {

namespace fs = std::filesystem;

namespace {

// Reading stops telling of a file's damage after this many lines; the rest adds nothing a fix needs.
constexpr std::size_t shownReadProblems = 5;
// index.theme files are a few lines; a larger one is read only this far for its name.
constexpr std::size_t indexThemeLimit = 64 * 1024;

int coordinate(std::uint32_t value) { return static_cast<int>(std::min<std::uint32_t>(value, INT_MAX)); }

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}

struct Entry {
  fs::path path;
  std::string name;
  bool link = false;
};

// The entries of `folder` that are files or links, by name.
std::vector<Entry> filesIn(const fs::path& folder, std::string& error) {
  std::vector<Entry> entries;
  std::error_code code;
  fs::directory_iterator it(folder, code);
  for (; !code && it != fs::directory_iterator(); it.increment(code)) {
    std::error_code statusCode;
    const bool link = it->is_symlink(statusCode);
    if (!link && !it->is_regular_file(statusCode)) continue;
    entries.push_back({it->path(), it->path().filename().string(), link});
  }
  if (code) error = folder.string() + ": " + code.message();
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return entries;
}

bool startsWithXcur(const fs::path& path) {
  const formats::OpenedFile file = formats::openRegularFile(path);
  if (!file.descriptor) return false;
  std::array<std::uint8_t, 4> first{};
  const ssize_t got = ::read(file.descriptor.get(), first.data(), first.size());
  return got == static_cast<ssize_t>(first.size()) && formats::xcursor::isXcursor(first);
}

bool isWindowsCursorName(const std::string& name) {
  const std::string extension = lowerCase(fs::path(name).extension().string());
  return extension == ".cur" || extension == ".ani";
}

void addReadProblems(const std::vector<std::string>& lines, const std::string& cursor, std::vector<Finding>& findings) {
  std::size_t shown = 0;
  for (const std::string& line : lines) {
    // The checks word a hot spot outside the picture themselves, the same way for every format.
    if (line.find("lies outside") != std::string::npos) continue;
    if (shown++ == shownReadProblems) {
      findings.push_back({Severity::fault, cursor, "more problems reading the file", {}});
      break;
    }
    findings.push_back({Severity::fault, cursor, line, {}});
  }
}

// The sizes of an Xcursor file: its images grouped by nominal size, in file order.
std::vector<SizeFacts> xcursorSizes(const formats::xcursor::XcursorFile& file) {
  std::vector<SizeFacts> sizes;
  for (std::uint32_t nominal : formats::xcursor::nominalSizesOf(file)) {
    SizeFacts size;
    size.size = coordinate(nominal);
    const auto frames = formats::xcursor::framesOfSize(file, nominal);
    for (const formats::xcursor::ImageChunk* image : frames) {
      size.frames.push_back(
          {coordinate(image->width), coordinate(image->height), coordinate(image->xHot), coordinate(image->yHot)});
      if (frames.size() > 1) size.delays.push_back(image->delay);
    }
    sizes.push_back(std::move(size));
  }
  return sizes;
}

std::optional<CursorFacts> readXcursorFacts(const fs::path& path, const std::string& name,
                                            std::vector<Finding>& findings) {
  std::string whyNot;
  const auto content = formats::FileContent::read(path, &whyNot);
  if (!content) {
    findings.push_back({Severity::fault, name, "cannot be read: " + whyNot, {}});
    return std::nullopt;
  }
  if (!formats::xcursor::isXcursor(content->bytes())) {
    findings.push_back({Severity::fault, name, "is no X cursor file (it does not begin with \"Xcur\")", {}});
    return std::nullopt;
  }
  formats::xcursor::XcursorFile file;
  formats::RecordingReporter reporter;
  formats::xcursor::readXcursor(content->bytes(), file, reporter);
  addReadProblems(reporter.lines, name, findings);
  CursorFacts cursor;
  cursor.name = name;
  cursor.sizes = xcursorSizes(file);
  if (cursor.sizes.empty()) findings.push_back({Severity::fault, name, "holds no image", {}});
  return cursor;
}

// The name from index.theme's Name= line, or nullopt.
std::optional<std::string> indexThemeName(const fs::path& file) {
  const auto content = formats::FileContent::read(file);
  if (!content) return std::nullopt;
  const auto bytes = content->bytes().first(std::min(content->size(), indexThemeLimit));
  const std::string text(bytes.begin(), bytes.end());
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("Name=", 0) == 0) return line.substr(5);
    start = end + 1;
  }
  return std::string();
}

// The checks' findings and those of reading the files: missing standard cursors (which have no file) first,
// then by cursor.
void addFindings(ThemeLint& lint, std::vector<Finding> checks, const std::vector<Finding>& fileFindings) {
  checks.insert(checks.end(), fileFindings.begin(), fileFindings.end());
  std::stable_sort(checks.begin(), checks.end(), [](const Finding& a, const Finding& b) {
    const bool aMissing = a.what.rfind("missing:", 0) == 0;
    const bool bMissing = b.what.rfind("missing:", 0) == 0;
    if (aMissing != bMissing) return aMissing;
    return !aMissing && a.cursor < b.cursor;
  });
  lint.findings.insert(lint.findings.end(), checks.begin(), checks.end());
}

void lintFreedesktop(const fs::path& cursorsFolder, const fs::path& indexTheme, ThemeLint& lint) {
  std::vector<Finding> fileFindings;
  if (const auto name = indexThemeName(indexTheme)) {
    if (!name->empty()) lint.name = *name;
  } else {
    lint.findings.push_back(
        {Severity::warning, {}, "no index.theme beside cursors/: desktop settings do not list the theme", {}});
  }
  std::string error;
  const std::vector<Entry> entries = filesIn(cursorsFolder, error);
  if (!error.empty()) lint.findings.push_back({Severity::fault, {}, "cannot list " + error, {}});

  std::vector<CursorFacts> cursors;
  std::map<fs::path, std::size_t> cursorOfFile;  // canonical path -> index in cursors
  auto canonical = [](const fs::path& path) {
    std::error_code code;
    fs::path result = fs::canonical(path, code);
    return code ? fs::path() : result;
  };
  for (const Entry& entry : entries) {
    if (entry.link) continue;
    auto cursor = readXcursorFacts(entry.path, entry.name, fileFindings);
    if (!cursor) continue;
    cursorOfFile[canonical(entry.path)] = cursors.size();
    cursors.push_back(std::move(*cursor));
  }
  for (const Entry& entry : entries) {
    if (!entry.link) continue;
    const fs::path target = canonical(entry.path);
    if (target.empty()) {
      std::error_code code;
      const fs::path text = fs::read_symlink(entry.path, code);
      fileFindings.push_back({Severity::fault,
                              entry.name,
                              "links to \"" + text.string() + "\", which does not exist (or links round)",
                              {}});
      continue;
    }
    if (const auto found = cursorOfFile.find(target); found != cursorOfFile.end()) {
      cursors[found->second].aliases.push_back(entry.name);
      continue;
    }
    if (!fs::is_regular_file(target)) continue;
    auto cursor = readXcursorFacts(entry.path, entry.name, fileFindings);
    if (!cursor) continue;
    cursorOfFile[target] = cursors.size();
    cursors.push_back(std::move(*cursor));
  }
  for (CursorFacts& cursor : cursors) {
    if (const CursorRole* role = roleOfXcursorName(cursor.name)) cursor.roles.push_back(role);
    for (const std::string& alias : cursor.aliases)
      if (const CursorRole* role = roleOfXcursorName(alias)) cursor.roles.push_back(role);
  }
  std::sort(cursors.begin(), cursors.end(), [](const CursorFacts& a, const CursorFacts& b) { return a.name < b.name; });
  lint.cursors = cursors.size();
  std::vector<Finding> checks = checkCursors(cursors, ThemeLayout::freedesktop);
  addFindings(lint, std::move(checks), fileFindings);
}

std::optional<CursorFacts> readWindowsFacts(const fs::path& path, const std::string& name,
                                            std::vector<Finding>& findings) {
  model::Document document;
  formats::RecordingReporter reporter;
  const formats::ReadOutcome outcome = formats::readDocument(path, document, {}, reporter);
  std::vector<std::string> problems;
  for (const formats::DialogRequest& dialog : reporter.dialogs) problems.push_back(dialog.text);
  if (outcome != formats::ReadOutcome::read) {
    if (problems.empty()) problems = reporter.lines;
    if (problems.empty()) problems.push_back("cannot be read");
    addReadProblems(problems, name, findings);
    return std::nullopt;
  }
  addReadProblems(problems, name, findings);
  if (document.kind != model::FileKind::iconFile && document.kind != model::FileKind::animatedCursor) {
    findings.push_back({Severity::fault, name, "is no Windows cursor or animated cursor", {}});
    return std::nullopt;
  }
  CursorFacts cursor;
  cursor.name = name;
  const std::vector<preview::PictureFacts> pictures = preview::listPictures(document);
  auto frameOf = [](const preview::PictureFacts& picture) {
    FrameFacts frame{picture.width, picture.height, {}, {}};
    if (picture.hotSpot) {
      frame.xHot = picture.hotSpot->x;
      frame.yHot = picture.hotSpot->y;
    }
    return frame;
  };
  if (document.kind == model::FileKind::iconFile) {
    for (const preview::PictureFacts& picture : pictures)
      cursor.sizes.push_back({picture.width, {frameOf(picture)}, {}});
  } else if (!pictures.empty()) {
    SizeFacts size;
    size.size = pictures.front().width;
    for (const preview::PictureFacts& picture : pictures) size.frames.push_back(frameOf(picture));
    const model::AniState& ani = document.ani;
    // As many steps as the player shows before it repeats what the tables hold.
    const std::size_t steps =
        std::min<std::size_t>(ani.stepCount, std::max(ani.sequence.size(), ani.rates.size()) + ani.framesRead);
    for (std::size_t step = 0; step < steps && steps > 1; ++step) size.delays.push_back(ani.stepDelay(step));
    size.delaysPerStep = true;
    cursor.everySize = false;
    cursor.sizes.push_back(std::move(size));
  }
  if (cursor.sizes.empty()) findings.push_back({Severity::fault, name, "holds no picture", {}});
  return cursor;
}

// The scheme of the folder's install.inf; without one, a warning and nullopt. A file the scheme names that
// the folder lacks is a fault: Windows installs the scheme without that cursor.
std::optional<CursorScheme> schemeOf(const std::vector<Entry>& entries, ThemeLint& lint,
                                     std::vector<Finding>& findings) {
  const auto inf =
      std::find_if(entries.begin(), entries.end(), [](const Entry& e) { return lowerCase(e.name) == "install.inf"; });
  if (inf == entries.end()) {
    lint.findings.push_back({Severity::warning, {}, "no install.inf: the roles are guessed from the file names", {}});
    return std::nullopt;
  }
  std::string whyNot;
  const auto content = formats::FileContent::read(inf->path, &whyNot);
  if (!content) {
    lint.findings.push_back({Severity::fault, inf->name, "cannot be read: " + whyNot, {}});
    return std::nullopt;
  }
  formats::RecordingReporter reporter;
  CursorScheme scheme = readInstallInf(content->bytes(), reporter);
  addReadProblems(reporter.lines, inf->name, findings);
  if (!scheme.name.empty()) lint.name = scheme.name;
  for (std::size_t i = 0; i < roleCount && i < cursorRoles().size(); ++i) {
    const std::string& file = scheme.files[i];
    if (file.empty()) continue;
    const bool present = std::any_of(entries.begin(), entries.end(),
                                     [&](const Entry& e) { return lowerCase(e.name) == lowerCase(file); });
    if (!present)
      findings.push_back({Severity::fault,
                          inf->name,
                          "names \"" + file + "\" for the role " + std::string(cursorRoles()[i].role) +
                              ", which the folder does not hold",
                          {}});
  }
  return scheme;
}

void lintWindows(const std::vector<Entry>& entries, ThemeLint& lint) {
  std::vector<Finding> fileFindings;
  std::vector<CursorFacts> cursors;
  const std::optional<CursorScheme> scheme = schemeOf(entries, lint, fileFindings);
  for (const Entry& entry : entries) {
    if (!isWindowsCursorName(entry.name)) continue;
    auto cursor = readWindowsFacts(entry.path, entry.name, fileFindings);
    if (!cursor) continue;
    if (scheme) {
      for (std::size_t i = 0; i < roleCount && i < cursorRoles().size(); ++i)
        if (lowerCase(scheme->files[i]) == lowerCase(entry.name)) cursor->roles.push_back(&cursorRoles()[i]);
    } else if (const CursorRole* role = roleOfWindowsName(fs::path(entry.name).stem().string())) {
      cursor->roles.push_back(role);
    }
    cursors.push_back(std::move(*cursor));
  }
  lint.cursors = cursors.size();
  std::vector<Finding> checks = checkCursors(cursors, ThemeLayout::windows);
  addFindings(lint, std::move(checks), fileFindings);
}

}  // namespace

ThemeLintOutcome lintThemeFolder(const fs::path& folder) {
  ThemeLintOutcome outcome;
  std::error_code code;
  const fs::file_status status = fs::status(folder, code);
  if (code || !fs::exists(status)) {
    outcome.refusal = folder.string() + ": " + (code ? code.message() : "No such file or directory");
    return outcome;
  }
  if (!fs::is_directory(status)) {
    outcome.refusal = folder.string() + " is not a folder";
    return outcome;
  }
  ThemeLint lint;
  fs::path named = fs::absolute(folder, code).lexically_normal();
  if (!named.has_filename()) named = named.parent_path();
  lint.name = named.filename().string();
  if (fs::is_directory(folder / "cursors", code)) {
    lint.layout = ThemeLayout::freedesktop;
    lintFreedesktop(folder / "cursors", folder / "index.theme", lint);
    outcome.lint = std::move(lint);
    return outcome;
  }
  std::string error;
  const std::vector<Entry> entries = filesIn(folder, error);
  if (!error.empty()) {
    outcome.refusal = error;
    return outcome;
  }
  if (std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return isWindowsCursorName(e.name); })) {
    lint.layout = ThemeLayout::windows;
    lintWindows(entries, lint);
    outcome.lint = std::move(lint);
    return outcome;
  }
  if (std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return startsWithXcur(e.path); })) {
    // The cursors/ folder of a theme, given itself.
    lint.layout = ThemeLayout::freedesktop;
    lint.name = named.parent_path().filename().string();
    lintFreedesktop(folder, named.parent_path() / "index.theme", lint);
    outcome.lint = std::move(lint);
    return outcome;
  }
  outcome.refusal =
      folder.string() + " is no cursor theme: it holds no cursors folder, no .cur or .ani files and no X cursor files";
  return outcome;
}

}  // namespace delvix::theme
