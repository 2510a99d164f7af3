// Editing fields as a user does: selecting a row, typing, Apply, Enter, Add and Remove, then saving.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "app/fixtures.h"
#include "app/window_fixture.h"
#include "support/file_bytes.h"

namespace delvix::testing {
namespace {

class FieldEditing : public WindowTest {
 protected:
  QTreeView* table() { return window().findChild<QTreeView*>("ListView1"); }
  void clickRow(int row) {
    QTreeView* view = table();
    const QRect cell = view->visualRect(view->model()->index(row, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
  }
  QString cell(int row) { return table()->model()->index(row, 1).data().toString(); }
  QLineEdit* box(const char* name) { return window().findChild<QLineEdit*>(name); }
  void type(const char* boxName, const QString& text) {
    QLineEdit* edit = box(boxName);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  void click(const char* button) { QTest::mouseClick(window().findChild<QPushButton*>(button), Qt::LeftButton); }
};

TEST_F(FieldEditing, StepsAreEditedAddedAndRemovedAndSaved) {
  openThroughDialog(write("steps.ani", animatedCursor(3, 3, 6, true)));
  window().show();
  selectTreeNode("sequence");
  ASSERT_EQ(table()->model()->rowCount(), 3);
  EXPECT_FALSE(enabled("ButApply"));
  EXPECT_TRUE(enabled("ButAdd"));

  clickRow(1);
  EXPECT_EQ(box("Edit1")->text(), "2");
  EXPECT_TRUE(enabled("ButApply"));
  EXPECT_TRUE(enabled("ButRemove"));
  // One digit is all a three-frame sequence takes; 4 names no frame.
  type("Edit1", "45");
  EXPECT_EQ(box("Edit1")->text(), "4");
  click("ButApply");
  EXPECT_TRUE(prompter.showed("This value must be greater than 0 and less than 4!"));
  EXPECT_EQ(cell(1), "2");
  type("Edit1", "3");
  click("ButApply");
  EXPECT_EQ(cell(1), "3");

  type("Edit1", "1");
  click("ButAdd");
  ASSERT_EQ(table()->model()->rowCount(), 4);
  EXPECT_EQ(cell(3), "1");
  clickRow(0);
  click("ButRemove");
  ASSERT_EQ(table()->model()->rowCount(), 3);
  EXPECT_EQ(cell(0), "3");
  EXPECT_FALSE(enabled("ButApply"));
  EXPECT_FALSE(enabled("ButRemove"));

  selectTreeNode("ani_header");
  clickRow(2);
  type("Edit1", "0");
  click("ButApply");
  EXPECT_TRUE(prompter.showed("Number of steps must be greater than 0."));
  type("Edit1", "5");
  click("ButApply");
  EXPECT_EQ(cell(2), "5");
  selectTreeNode("sequence");
  EXPECT_EQ(table()->model()->rowCount(), 5);

  prompter.choose((files.path() / "saved.ani").string());
  window().ButSaveAllClick();
  openThroughDialog(files.path() / "saved.ani");
  selectTreeNode("sequence");
  std::vector<QString> frames;
  for (int row = 0; row < table()->model()->rowCount(); ++row) frames.push_back(cell(row));
  EXPECT_EQ(frames, (std::vector<QString>{"3", "3", "1", "1", "2"}));
}

TEST_F(FieldEditing, EnterAppliesOnlyWhereItShould) {
  openThroughDialog(write("one.cur", iconFile({32}, 2)));
  window().show();
  selectTreeNode("icon_dir_1");
  clickRow(4);
  ASSERT_TRUE(enabled("ButApply"));
  type("Edit1", "9");
  QTest::keyClick(box("Edit1"), Qt::Key_Return);
  EXPECT_EQ(cell(4), "9");
  type("Edit1", "8");
  QTest::keyClick(box("Edit1"), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(cell(4), "8");
  type("Edit1", "7");
  click("ButApply");
  EXPECT_EQ(box("Edit1")->text(), "7");
  EXPECT_EQ(cell(4), "7");
  // A read-only row cannot be applied; a node without a table leaves nothing to apply.
  clickRow(6);
  EXPECT_FALSE(enabled("ButApply"));
  clickRow(4);
  selectTreeNode("picture_1");
  EXPECT_FALSE(enabled("ButApply"));
}

}  // namespace
}  // namespace delvix::testing
