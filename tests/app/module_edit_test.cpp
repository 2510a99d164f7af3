// A module's resources changed in the window: the tree, the thumbnails and the counters follow, Undo and Redo
// bring each change back, a signed module asks first, and Save writes the module.
#include <QTreeView>

#include "fixtures.h"
#include "support/file_bytes.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

class ModuleEdit : public WindowTest {
 protected:
  std::filesystem::path openModule() {
    const std::filesystem::path path = write("tool.dll", moduleFile());
    openThroughDialog(path);
    return path;
  }
  // Selects the resource row whose name ends in `label` ("[Icon_2]").
  void selectResource(const std::string& label) {
    for (const std::string& row : treeRows())
      if (row.size() >= label.size() && row.compare(row.size() - label.size(), label.size(), label) == 0)
        return selectTreeNode(row.c_str());
    ADD_FAILURE() << "no row " << label;
  }
  std::string counters() { return (text("Label6") + "/" + text("Label7") + "/" + text("Label8")).toStdString(); }
};

TEST_F(ModuleEdit, ReplaceRemoveAndAddFollowTheTreeAndUndo) {
  const std::filesystem::path path = openModule();
  EXPECT_TRUE(enabled("AddIconGroup1"));
  selectResource("[Icon_2]");
  EXPECT_TRUE(enabled("ReplaceResource1"));
  EXPECT_TRUE(enabled("RemoveResource1"));
  selectTreeNode("picture_1");
  EXPECT_FALSE(enabled("ReplaceResource1"));

  selectResource("[Icon_2]");
  prompter.choose(write("three.ico", iconFile({16, 32, 48})).string());
  action("ReplaceResource1")->trigger();
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messages.front().text;
  EXPECT_EQ(thumbnailRowCount(), 7);
  EXPECT_EQ(counters(), "2/1/1");
  EXPECT_TRUE(window().isWindowModified());
  EXPECT_EQ(action("Undo1")->text(), "&Undo Icon group 2 (language 1033) replaced");
  EXPECT_TRUE(logged("Icon group 2 (language 1033) replaced: 3 pictures."));

  selectResource("[Bitmap_1]");
  action("RemoveResource1")->trigger();
  EXPECT_EQ(counters(), "2/1/0");
  EXPECT_EQ(treeRows().size(), 3u);

  action("Undo1")->trigger();
  EXPECT_EQ(counters(), "2/1/1");
  EXPECT_EQ(treeRows().size(), 4u);
  action("Undo1")->trigger();
  EXPECT_EQ(thumbnailRowCount(), 5);
  EXPECT_FALSE(window().isWindowModified());
  action("Redo1")->trigger();
  EXPECT_EQ(thumbnailRowCount(), 7);

  prompter.choose(write("one.ico", iconFile({24})).string());
  action("AddIconGroup1")->trigger();
  EXPECT_EQ(counters(), "3/1/1");
  EXPECT_EQ(thumbnailRowCount(), 8);

  // Save writes the module in place, and it reads back as shown.
  action("Save1")->trigger();
  EXPECT_FALSE(window().isWindowModified());
  EXPECT_NE(readFileBytes(path), moduleFile());
  openThroughDialog(path);
  EXPECT_EQ(counters(), "3/1/1");
  EXPECT_EQ(thumbnailRowCount(), 8);
}

TEST_F(ModuleEdit, AFileOfTheWrongKindIsRefusedWithTheReason) {
  openModule();
  selectResource("[Cursor_1]");
  prompter.choose(write("icon.ico", iconFile({16})).string());
  action("ReplaceResource1")->trigger();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_NE(prompter.messages[0].text.find("a cursor file (.cur)"), std::string::npos) << prompter.messages[0].text;
  EXPECT_FALSE(window().isWindowModified());
  EXPECT_FALSE(enabled("Undo1"));
}

TEST_F(ModuleEdit, ASignedModuleAsksOnceAndNoChangesNothing) {
  ByteVector module = moduleFile();
  // A certificate table at the end: the security directory of the PE32+ header holds its file offset.
  const std::size_t securityEntry = (module[0x3c] | module[0x3d] << 8) + 24 + 112 + 4 * 8;
  const auto at = static_cast<std::uint32_t>(module.size());
  for (int i = 0; i < 4; ++i) module[securityEntry + i] = static_cast<std::uint8_t>(at >> (8 * i));
  module[securityEntry + 4] = 16;
  module.insert(module.end(), {16, 0, 0, 0, 0, 2, 2, 0, 1, 2, 3, 4, 5, 6, 7, 8});
  openThroughDialog(write("signed.dll", module));

  selectResource("[Bitmap_1]");
  prompter.confirmAnswers = {false};
  action("RemoveResource1")->trigger();
  EXPECT_EQ(prompter.confirmations.size(), 1u);
  EXPECT_EQ(counters(), "2/1/1");
  EXPECT_FALSE(window().isWindowModified());

  prompter.confirmAnswers = {true};
  action("RemoveResource1")->trigger();
  EXPECT_EQ(prompter.confirmations.size(), 2u);
  EXPECT_EQ(counters(), "2/1/0");
  EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace

}  // namespace delvix::testing
