#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "support/icon_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

TEST(FieldsCommand, PrintsOneNodeOrEveryNodeUnderItsPath) {
  testing::TempDir dir;
  testing::IconFile icon;
  icon.entries.push_back({testing::DibImage{.width = 2, .height = 2, .bitCount = 32}.bytes()});
  const std::string file = dir.write("one.ico", icon.bytes()).string();

  CliRun header({"fields", file, "header"});
  EXPECT_EQ(header.status, exitOk);
  EXPECT_EQ(header.out.str(), "Reserve\t0\tro\nType\t1\tro\nCount\t1\tro\n");

  CliRun all({"fields", file});
  EXPECT_EQ(all.status, exitOk);
  EXPECT_NE(all.out.str().find("header/icon_dir_1\nWidth\t2\tro\n"), std::string::npos);
  EXPECT_NE(all.out.str().find("picture_1/bitm_info\nSize\t40\tro\n"), std::string::npos);

  EXPECT_EQ(CliRun({"fields", file, "picture_9"}).status, exitRefused);
}

}  // namespace
}  // namespace delvix::cli
