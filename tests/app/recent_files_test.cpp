#include "widgets/recent_files.h"

#include <gtest/gtest.h>

namespace delvix::app {
namespace {

using Files = std::vector<std::string>;

TEST(RecentFiles, ListsChangeAsFilesAreOpenedAndFoundMissing) {
  enum Change { opened, missing, read };
  struct Case {
    const char* what;
    Files before;
    Change change;
    std::string file;
    Files after;
  };
  const Files ten{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
  const Case cases[] = {
      {"a new file comes first", {"a", "b"}, opened, "c", {"c", "a", "b"}},
      {"a listed file moves to the front", {"a", "b", "c"}, opened, "c", {"c", "a", "b"}},
      {"the oldest falls off past ten", ten, opened, "k", {"k", "a", "b", "c", "d", "e", "f", "g", "h", "i"}},
      {"the last of ten moves up, none lost", ten, opened, "j", {"j", "a", "b", "c", "d", "e", "f", "g", "h", "i"}},
      {"a missing file goes", {"a", "b", "c"}, missing, "b", {"a", "c"}},
      {"stored repeats and empty names go", {"a", "", "b", "a"}, read, "", {"a", "b"}},
      {"no more than ten are read", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"}, read, "", ten},
  };
  for (const Case& c : cases) {
    Files after;
    switch (c.change) {
      case opened: after = withOpenedFile(c.before, c.file); break;
      case missing: after = withoutMissingFile(c.before, c.file); break;
      case read: after = tidiedRecentFiles(c.before); break;
    }
    EXPECT_EQ(after, c.after) << c.what;
  }
}

}  // namespace
}  // namespace delvix::app
