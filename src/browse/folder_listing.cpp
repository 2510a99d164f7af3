#include "browse/folder_listing.h"

#include <algorithm>
#include <system_error>
#include <tuple>

#include "browse/file_names.h"

namespace delvix::browse {

namespace fs = std::filesystem;

namespace {

// The order of the rows: the parent, then folders, then files; names without regard to case, and names
// that differ only in case in byte order, so that the order never depends on the folder's.
struct SortKey {
  RowKind kind;
  std::string folded;
  std::string name;

  bool operator<(const SortKey& other) const {
    return std::tie(kind, folded, name) < std::tie(other.kind, other.folded, other.name);
  }
};

struct KeyedRow {
  SortKey key;
  FolderRow row;
};

KeyedRow rowOf(RowKind kind, const fs::path& path) {
  const std::string name = path.filename().string();
  const std::string caption = kind == RowKind::file ? displayText(name) : " " + displayText(name);
  return {{kind, lowerAscii(name), name}, {kind, caption, path}};
}

std::string cannotRead(const fs::path& folder, const std::error_code& error) {
  return "Cannot read the folder " + displayText(folder.string()) + ": " + error.message() + ".";
}

}  // namespace

ExtensionFilter::ExtensionFilter(std::vector<std::string> lowerCaseExtensions)
    : extensions_(std::move(lowerCaseExtensions)) {}

bool ExtensionFilter::accepts(const fs::path& file) const {
  const std::string extension = lowerExtension(file);
  if (extension.size() < 2) return false;
  return std::find(extensions_.begin(), extensions_.end(), extension.substr(1)) != extensions_.end();
}

ExtensionFilter waveBrowserFilter() { return ExtensionFilter({"wav"}); }

std::size_t FolderListing::fileCount() const {
  return static_cast<std::size_t>(
      std::count_if(rows.begin(), rows.end(), [](const FolderRow& row) { return row.kind == RowKind::file; }));
}

fs::path folderToList(const fs::path& folder) {
  std::error_code error;
  fs::path absolute = fs::absolute(folder, error);
  if (error) absolute = folder;
  fs::path normal = absolute.lexically_normal();
  if (!normal.has_filename() && normal != normal.root_path()) normal = normal.parent_path();
  return normal;
}

ListingOutcome listFolder(const fs::path& folder, const ExtensionFilter& filter) {
  FolderListing listing;
  listing.folder = folderToList(folder);
  std::error_code error;
  fs::directory_iterator entries(listing.folder, error);
  if (error) return {std::nullopt, cannotRead(listing.folder, error)};

  std::vector<KeyedRow> rows;
  if (listing.folder != listing.folder.root_path())
    rows.push_back({{RowKind::parent, {}, {}}, {RowKind::parent, " ..", listing.folder.parent_path()}});
  for (; entries != fs::directory_iterator(); entries.increment(error)) {
    if (error) break;
    const fs::directory_entry& entry = *entries;
    std::error_code kindError;
    // A symbolic link to a folder is listed as a folder; a broken one is a file like any other.
    if (entry.is_directory(kindError))
      rows.push_back(rowOf(RowKind::folder, entry.path()));
    else if (filter.accepts(entry.path()))
      rows.push_back(rowOf(RowKind::file, entry.path()));
  }
  if (error) return {std::nullopt, cannotRead(listing.folder, error)};

  std::sort(rows.begin(), rows.end(), [](const KeyedRow& a, const KeyedRow& b) { return a.key < b.key; });
  listing.rows.reserve(rows.size());
  for (KeyedRow& row : rows) listing.rows.push_back(std::move(row.row));
  return {std::move(listing), {}};
}

}  // namespace delvix::browse
