#include "cli/output_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "formats/standard_input.h"

namespace delvix::cli {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string text) {
  std::ranges::transform(text, text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::optional<std::string> outputFileProblem(const std::string& path, bool folderAllowed, bool anyName) {
  if (path == formats::standardInputName) return std::nullopt;
  const fs::path target(path);
  std::error_code error;
  if (!folderAllowed && fs::is_directory(target, error))
    return path + ": Is a directory (the file to write is named last, or with -o)";
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!fs::exists(folder, error)) return path + ": No such file or directory (the folder " + folder.string() + ")";
  if (!fs::is_directory(folder, error)) return path + ": Not a directory (" + folder.string() + ")";
  if (anyName) return std::nullopt;
  const std::string extension = lower(target.extension().string());
  constexpr std::array written{".ico", ".cur", ".ani", ".wav"};
  // A module's groups go into a folder: one that is there, or a name without an extension.
  if (folderAllowed && (extension.empty() || fs::is_directory(target, error))) return std::nullopt;
  if (std::ranges::find(written, extension) == written.end())
    return path + ": files are written as .ico, .cur, .ani or .wav" +
           (extension.empty() ? std::string(", and this name has no extension") : ", not as " + extension);
  return std::nullopt;
}

std::optional<std::string> outputFolderProblem(const std::string& path) {
  if (path == formats::standardInputName) return "the pictures go into a folder, not to standard output";
  std::error_code error;
  if (fs::exists(path, error) && !fs::is_directory(path, error)) return path + ": Not a directory";
  return std::nullopt;
}

}  // namespace delvix::cli
