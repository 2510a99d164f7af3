// Editing pixels as a user does: picking one on the preview, typing its colour, Apply, paging, saving.
#include <QAction>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "app/window_fixture.h"
#include "support/corpus.h"
#include "support/icon_builder.h"

namespace delvix::testing {
namespace {

class PixelEditing : public WindowTest {
 protected:
  PixelEditing() { store.values = {{"Settings", 28}, {"Color", 8}, {"Table", 8}, {"Edit data", 0}, {"Edit table", 0}}; }

  QAbstractItemModel* table() { return window().findChild<QTreeView*>("ListView1")->model(); }
  int selectedRow() {
    const auto rows = window().findChild<QTreeView*>("ListView1")->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  }
  QLineEdit* box(const char* name) { return window().findChild<QLineEdit*>(name); }
  void set(const char* name, const QString& text) {
    box(name)->selectAll();
    QTest::keyClicks(box(name), text);
  }
  void click(const char* button) { QTest::mouseClick(window().findChild<QPushButton*>(button), Qt::LeftButton); }
};

TEST_F(PixelEditing, APickedPixelTakesItsNewColourIntoTheSavedFile) {
  IconFile icon;
  DibImage image{.width = 32, .height = 32, .bitCount = 32};
  image.colourRows.assign(32 * 32 * 4, 0x80);
  icon.entries.push_back({image.bytes()});
  openThroughDialog(write("big.ico", icon.bytes()));
  window().show();
  selectTreeNode("color_bitmap");
  ASSERT_EQ(table()->rowCount(), 360);
  EXPECT_TRUE(enabled("ButNext"));
  EXPECT_FALSE(enabled("ButPrev"));

  // Pixel (9, 3) from the top of a 32-high picture is stored in row 28: item 28 * 32 + 9 = 905, page 2.
  QWidget* preview = widget("PreviewBox");
  QTest::mouseClick(preview, Qt::LeftButton, {}, QPoint(9, 3));
  EXPECT_EQ(table()->index(selectedRow(), 0).data(), "906");
  EXPECT_TRUE(enabled("ButPrev"));
  EXPECT_EQ(box("EditR")->text(), "128");
  EXPECT_TRUE(widget("ShapeBlitting")->isVisible());
  QTest::mouseClick(preview, Qt::RightButton, {}, QPoint(1, 1));
  EXPECT_EQ(table()->index(selectedRow(), 0).data(), "906");

  set("EditRes", "255");
  set("EditR", "300");
  set("EditG", "0");
  set("EditB", "0");
  QTest::keyClick(box("EditG"), Qt::Key_Return);
  EXPECT_EQ(box("EditR")->text(), "255");
  EXPECT_EQ(table()->index(selectedRow(), 1).data(), "255 255 0 0");
  EXPECT_EQ(window().frameBitmap().at(9, 3) & 0xFFFFFF, 0xFF0000u);

  // The row's thumbnail shows the new colour, and loses it again with Undo and takes it back with Redo.
  auto* list = window().findChild<QTreeView*>("ListPreview");
  auto thumbnailPixel = [&](int x) {
    const QImage thumbnail = list->model()->index(0, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
    const int left = (thumbnail.width() - 32) / 2;
    return thumbnail.pixel(left + x, left + 3) & 0xFFFFFFu;
  };
  EXPECT_EQ(thumbnailPixel(9), 0xFF0000u);
  action("Undo1")->trigger();
  EXPECT_EQ(thumbnailPixel(9), thumbnailPixel(10));
  action("Redo1")->trigger();
  EXPECT_EQ(thumbnailPixel(9), 0xFF0000u);

  const auto saved = files.path() / "saved.ico";
  prompter.choose(saved.string());
  window().ButSaveAllClick();
  if (haveProgram("convert")) {
    EXPECT_EQ(runAndCapture("convert '" + saved.string() + "[0]' -format '%[pixel:p{9,3}]' info:"), "srgba(255,0,0,1)");
    EXPECT_EQ(runAndCapture("compare -metric AE '" + (files.path() / "big.ico").string() + "' '" + saved.string() +
                            "' null: 2>&1"),
              "1");
  }
}

TEST_F(PixelEditing, OneBitBoxesTakeZerosAndOnes) {
  IconFile icon;
  icon.entries.push_back({DibImage{.width = 16, .height = 16, .bitCount = 1, .palette = {0, 0xFFFFFF}}.bytes()});
  openThroughDialog(write("mono.ico", icon.bytes()));
  window().show();
  selectTreeNode("color_bitmap");
  QTreeView* view = window().findChild<QTreeView*>("ListView1");
  view->selectionModel()->setCurrentIndex(table()->index(4, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  box("EditColor")->clear();
  QTest::keyClicks(box("EditColor"), "1a0.");
  EXPECT_EQ(box("EditColor")->text(), "1101");
  QTest::keyClick(box("EditColor"), Qt::Key_Backspace);
  EXPECT_EQ(box("EditColor")->text(), "110");
  click("ButApply");
  EXPECT_EQ(box("EditColor")->text(), "11000000");
  EXPECT_EQ(table()->index(4, 1).data(), "11000000");
}

}  // namespace
}  // namespace delvix::testing
