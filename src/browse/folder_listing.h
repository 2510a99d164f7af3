#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Listing one folder as the two browsers show it: names and kinds only, quickly; what each file holds is
// asked for row by row (file_summary.h), so that a window can fill its rows a slice at a time.
namespace delvix::browse {

enum class RowKind { parent, folder, file };

struct FolderRow {
  RowKind kind = RowKind::file;
  // " .." for the parent, " " + name for a folder, the name for a file. A name that is not valid UTF-8 shows
  // its bad bytes as U+FFFD here; `path` keeps them.
  std::string caption;
  // Where the row leads, whole: list it (a folder) or open it (a file) from here.
  std::filesystem::path path;
};

// The file extensions a browser lists, lower case without the dot ("ico"); a file's extension is compared
// without regard to case.
class ExtensionFilter {
 public:
  ExtensionFilter() = default;
  explicit ExtensionFilter(std::vector<std::string> lowerCaseExtensions);

  bool accepts(const std::filesystem::path& file) const;
  const std::vector<std::string>& extensions() const { return extensions_; }

 private:
  std::vector<std::string> extensions_;
};

// The image browser's filter boxes, in their order, and the ones ticked at start.
inline constexpr std::string_view imageBrowserExtensions[] = {"ani", "cur", "ico", "cpl", "dll", "exe", "ocx", "scr"};
inline constexpr std::string_view imageBrowserDefaultExtensions[] = {"ani", "cur", "ico"};
// What the wave browser lists.
ExtensionFilter waveBrowserFilter();

struct FolderListing {
  // The folder listed: absolute and lexically normal, without a trailing separator (except the root).
  std::filesystem::path folder;
  // " .." first (not at the root), then the folders, then the accepted files; names in each group ordered
  // without regard to case.
  std::vector<FolderRow> rows;

  std::size_t fileCount() const;
};

struct ListingOutcome {
  std::optional<FolderListing> listing;
  // Why there is no listing: the folder could not be read. The caller keeps what it showed before.
  std::string error;
};

// The folder a browser lists for `folder`: made absolute against the current folder and normalised by its
// text alone, so ".." takes away the name before it even when that is a symbolic link.
std::filesystem::path folderToList(const std::filesystem::path& folder);

// Lists `folder` (see folderToList). Entries other than folders are files: one whose extension `filter`
// accepts gets a row, whatever it is (a FIFO named x.wav too; its summary is then empty). Folders and
// symbolic links to folders are folder rows. Nothing is opened or read but the folder itself.
ListingOutcome listFolder(const std::filesystem::path& folder, const ExtensionFilter& filter);

}  // namespace delvix::browse
