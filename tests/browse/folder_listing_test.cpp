#include "browse/folder_listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "browse/file_summary.h"
#include "support/temp_dir.h"

namespace delvix::browse {
namespace {

namespace fs = std::filesystem;

const ExtensionFilter defaultImages({"ani", "cur", "ico"});

std::vector<std::string> captions(const FolderListing& listing) {
  std::vector<std::string> texts;
  for (const FolderRow& row : listing.rows) texts.push_back(row.caption);
  return texts;
}

FolderListing listed(const fs::path& folder, const ExtensionFilter& filter = defaultImages) {
  ListingOutcome outcome = listFolder(folder, filter);
  EXPECT_TRUE(outcome.listing) << outcome.error;
  return outcome.listing.value_or(FolderListing{});
}

TEST(FolderListing, ParentThenFoldersThenAcceptedFilesEachByNameIgnoringCase) {
  testing::TempDir dir;
  for (const char* folder : {"Zeta", "alpha", "foo..", "Beta.ico"}) fs::create_directory(dir.path() / folder);
  for (const char* file : {"b.ICO", "A.ico", "c.cur", "d.Ani", "readme.txt", "x.wav", "x.wave", "ico", ".ico"})
    dir.write(file, {0});

  const FolderListing images = listed(dir.path());
  EXPECT_EQ(captions(images), (std::vector<std::string>{" ..", " alpha", " Beta.ico", " foo..", " Zeta", "A.ico",
                                                        "b.ICO", "c.cur", "d.Ani"}));
  EXPECT_EQ(images.fileCount(), 4u);
  EXPECT_EQ(images.rows[0].kind, RowKind::parent);
  EXPECT_EQ(images.rows[3].kind, RowKind::folder);
  EXPECT_EQ(images.rows[3].path, dir.path() / "foo..");
  EXPECT_EQ(images.rows[6].path, dir.path() / "b.ICO");

  EXPECT_EQ(captions(listed(dir.path(), waveBrowserFilter())),
            (std::vector<std::string>{" ..", " alpha", " Beta.ico", " foo..", " Zeta", "x.wav"}));
}

TEST(FolderListing, PathsFollowTheListedPathsTextNotTheLinks) {
  testing::TempDir dir;
  fs::create_directories(dir.path() / "a" / "sub");
  fs::create_directories(dir.path() / "elsewhere" / "target");
  fs::create_directory_symlink(dir.path() / "elsewhere" / "target", dir.path() / "a" / "link");

  struct Case {
    fs::path asked;
    fs::path folder;
  };
  const Case cases[] = {
      {dir.path() / "a" / "sub" / "..", dir.path() / "a"},
      {dir.path() / "a" / "link" / "..", dir.path() / "a"},  // not elsewhere
      {dir.path() / "a" / "link", dir.path() / "a" / "link"},
      {dir.path() / "a" / "sub" / "", dir.path() / "a" / "sub"},
      {dir.path() / "a" / "." / "sub", dir.path() / "a" / "sub"},
  };
  for (const Case& c : cases) {
    const FolderListing listing = listed(c.asked);
    EXPECT_EQ(listing.folder, c.folder) << c.asked;
    ASSERT_FALSE(listing.rows.empty());
    EXPECT_EQ(listing.rows[0].path, c.folder.parent_path()) << c.asked;
  }
  // The link is a folder row, and " .." of the folder it leads to goes back where it was listed from.
  EXPECT_EQ(captions(listed(dir.path() / "a")), (std::vector<std::string>{" ..", " link", " sub"}));

  const fs::path current = fs::current_path();
  fs::current_path(dir.path() / "a");
  EXPECT_EQ(listed("sub/..").folder, dir.path() / "a");
  fs::current_path(current);

  const FolderListing root = listed("/");
  EXPECT_EQ(root.folder, fs::path("/"));
  EXPECT_TRUE(root.rows.empty() || root.rows[0].kind != RowKind::parent);
  EXPECT_EQ(listed("/..").folder, fs::path("/"));
}

TEST(FolderListing, NamesThatAreNotUtf8ShowReplacementsAndOpenFromTheirPath) {
  testing::TempDir dir;
  dir.write("caf\xE9.ico", {0, 0, 1, 0, 7, 0});
  dir.write("ok-\xC3\xA9.ico", {0, 0, 1, 0, 2, 0});
  const FolderListing listing = listed(dir.path());
  ASSERT_EQ(listing.rows.size(), 3u);
  EXPECT_EQ(listing.rows[1].caption, "caf\xEF\xBF\xBD.ico");
  EXPECT_EQ(listing.rows[2].caption, "ok-\xC3\xA9.ico");
  EXPECT_EQ(summarizeFile(listing.rows[1].path).images, 7u);
}

TEST(FolderListing, AFolderThatCannotBeReadGivesAnErrorAndNoRows) {
  testing::TempDir dir;
  const fs::path file = dir.write("plain.ico", {0});
  for (const fs::path& folder : {dir.path() / "missing", file}) {
    const ListingOutcome outcome = listFolder(folder, defaultImages);
    EXPECT_FALSE(outcome.listing) << folder;
    EXPECT_NE(outcome.error.find("Cannot read the folder"), std::string::npos) << outcome.error;
  }
  if (::geteuid() == 0) return;  // root reads any folder
  const fs::path locked = dir.path() / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::none);
  EXPECT_FALSE(listFolder(locked, defaultImages).listing);
  fs::permissions(locked, fs::perms::owner_all);
}

}  // namespace
}  // namespace delvix::browse
