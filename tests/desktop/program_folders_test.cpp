#include "desktop/program_folders.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace delvix::desktop {
namespace {

TEST(ProgramFolders, TheStateFolderFollowsTheBaseDirectoryRules) {
  EXPECT_EQ(userStateFolder("/x/state", "/home/u"), "/x/state/delvix");
  for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/state"})
    EXPECT_EQ(userStateFolder(unusable, "/home/u"), "/home/u/.local/state/delvix");
  EXPECT_EQ(userStateFolder(nullptr, ""), "");
  EXPECT_EQ(userStateFolder(nullptr, nullptr), "");
}

TEST(ProgramFolders, OnlyTheMarkerFileBesideTheProgramMeansTheBuildTree) {
  testing::TempDir installed;
  testing::TempDir built;
  std::filesystem::create_directory(installed.path() / buildTreeMarker);
  built.write(buildTreeMarker, {});
  EXPECT_FALSE(runsFromBuildTree(installed.path()));
  EXPECT_FALSE(runsFromBuildTree({}));
  EXPECT_TRUE(runsFromBuildTree(built.path()));
}

}  // namespace
}  // namespace delvix::desktop
