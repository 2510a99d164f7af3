// The hot-spot cross on the preview: where it is drawn, the View menu's toggle and the fields that move it.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/fixtures.h"
#include "app/window_fixture.h"
#include "widgets/elided_tips.h"
#include "widgets/picture_box.h"

namespace delvix::testing {
namespace {

constexpr QRgb dark = 0xFF000000, light = 0xFFFFFFFF;

class HotSpotMarker : public WindowTest {
 protected:
  app::PictureBox* box(const char* name) { return window().findChild<app::PictureBox*>(name); }
  QTreeView* table() { return window().findChild<QTreeView*>("ListView1"); }
  void apply(int row, const QString& value) {
    const QRect cell = table()->visualRect(table()->model()->index(row, 1));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
    auto* edit = window().findChild<QLineEdit*>("Edit1");
    edit->selectAll();
    QTest::keyClicks(edit, value);
    QTest::mouseClick(window().findChild<QPushButton*>("ButApply"), Qt::LeftButton);
  }
  // Both views mark pixel `spot` at `zoom`: a dark line through the middle of the pixel to the arms' ends,
  // outlined in a light colour.
  void expectCrossOn(preview::Point spot, int zoom) {
    for (const char* name : {"PreviewBox", "PaintAlpha"}) {
      const auto cross = box(name)->hotSpotCross();
      ASSERT_TRUE(cross) << name << " at " << zoom;
      EXPECT_EQ(cross->centre, (preview::Point{spot.x * zoom + zoom / 2, spot.y * zoom + zoom / 2}));
      const QImage shown = box(name)->grab().toImage();
      const auto [x, y] = cross->centre;
      const int arm = cross->arm;
      // The horizontal arm on the side that lies inside the picture.
      const int side = x + arm + 1 < shown.width() ? 1 : -1;
      EXPECT_EQ(shown.pixel(x, y), dark) << name << " at " << zoom;
      EXPECT_EQ(shown.pixel(x + side * arm, y), dark) << name << " at " << zoom;
      EXPECT_EQ(shown.pixel(x, y - arm), dark) << name << " at " << zoom;
      EXPECT_EQ(shown.pixel(x - 1, y - 1), light) << name << " at " << zoom;
      EXPECT_EQ(shown.pixel(x + side * (arm + 1), y), light) << name << " at " << zoom;
    }
  }
  bool anyCross() { return box("PreviewBox")->hotSpotCross() || box("PaintAlpha")->hotSpotCross(); }
};

TEST_F(HotSpotMarker, DrawnOnBothViewsAtEveryZoomAndMovedByTheFieldsAndTheirUndo) {
  // The entry's hot spot is 1, 32: below a 32-pixel picture, so nothing is marked.
  openThroughDialog(write("arrow.cur", iconFile({32}, 2)));
  window().show();
  EXPECT_FALSE(anyCross());
  selectTreeNode("icon_dir_1");
  apply(5, "20");
  expectCrossOn({1, 20}, 1);
  for (int step = 0; step < 6; ++step) window().findChild<QToolButton*>("ButUp")->click();
  expectCrossOn({1, 20}, 7);
  apply(4, "31");
  expectCrossOn({31, 20}, 7);

  window().UndoClick();
  expectCrossOn({1, 20}, 7);
  window().UndoClick();
  EXPECT_FALSE(anyCross());
  window().RedoClick();
  expectCrossOn({1, 20}, 7);
}

TEST_F(HotSpotMarker, TheViewMenuTurnsItOffForGoodAndIconsHaveNone) {
  IconFile cursor{.type = 2};
  cursor.entries.push_back({.record = DibImage{.width = 8, .height = 8}.bytes(), .planes = 3, .bitCount = 4});
  openThroughDialog(write("small.cur", cursor.bytes()));
  EXPECT_TRUE(action("ShowHotSpot1")->isChecked());
  EXPECT_TRUE(box("PreviewBox")->hotSpotCross());
  action("ShowHotSpot1")->trigger();
  EXPECT_FALSE(anyCross());
  closeWindow();
  EXPECT_EQ(store.values["Show hot spot"], 0u);

  openThroughDialog(write("small.cur", cursor.bytes()));
  EXPECT_FALSE(action("ShowHotSpot1")->isChecked());
  EXPECT_FALSE(anyCross());
  action("ShowHotSpot1")->trigger();
  EXPECT_TRUE(box("PreviewBox")->hotSpotCross());
  // An icon's entry holds planes and bit count there, no hot spot.
  openThroughDialog(write("app.ico", iconFile({32})));
  EXPECT_FALSE(anyCross());
}

TEST_F(HotSpotMarker, FieldTableCellsCutShortShowWholeInTheirTooltip) {
  openThroughDialog(write("arrow.cur", iconFile({32}, 2)));
  window().show();
  selectTreeNode("icon_dir_1");
  auto* delegate = qobject_cast<app::ElidedTipsDelegate*>(table()->itemDelegate());
  ASSERT_TRUE(delegate);
  const QModelIndex caption = table()->model()->index(4, 0);
  EXPECT_EQ(delegate->cutText(*table(), caption), "");
  table()->setColumnWidth(0, 30);
  EXPECT_EQ(delegate->cutText(*table(), caption), "HotPot X");
}

}  // namespace
}  // namespace delvix::testing
