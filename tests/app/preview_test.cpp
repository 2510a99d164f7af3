#include <QAction>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

#include "fixtures.h"
#include "formats/pe/resource_directory.h"
#include "support/corpus.h"
#include "support/pe_builder.h"
#include "widgets/picture_box.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

class Preview : public WindowTest {
 protected:
  QRect box(const char* name) { return widget(name)->geometry(); }
  void click(const char* name) { window().findChild<QToolButton*>(name)->click(); }
};

TEST_F(Preview, ZoomStepsBetween100And1000PercentAndLaysTheViewsOut) {
  openThroughDialog(write("app.ico", iconFile({16, 32})));
  EXPECT_EQ(text("Panel16"), "100%");
  EXPECT_EQ(box("PreviewBox"), QRect(4, 4, 16, 16));
  EXPECT_EQ(box("PaintAlpha"), QRect(24, 4, 16, 16));
  EXPECT_TRUE(enabled("AlphaBlending2"));
  EXPECT_FALSE(enabled("Scaling"));
  EXPECT_FALSE(enabled("ButDown"));

  for (int step = 0; step < 9; ++step) click("ButUp");
  EXPECT_EQ(text("Panel16"), "1000%");
  EXPECT_FALSE(enabled("ButUp"));
  EXPECT_TRUE(enabled("ButDown"));
  EXPECT_TRUE(enabled("Scaling2"));
  EXPECT_EQ(box("PreviewBox"), QRect(40, 40, 160, 160));
  EXPECT_EQ(box("PaintAlpha"), QRect(240, 40, 160, 160));

  // The second picture is shown at the zoom, from the top-left corner again.
  window()
      .findChild<QTreeView*>("ListPreview")
      ->setCurrentIndex(window().findChild<QTreeView*>("ListPreview")->model()->index(1, 0));
  EXPECT_EQ(selectedTreeNode(), "picture_2");
  EXPECT_EQ(box("PreviewBox"), QRect(4, 4, 320, 320));

  for (int step = 0; step < 9; ++step) click("ButDown");
  EXPECT_EQ(text("Panel16"), "100%");
  EXPECT_FALSE(enabled("ButDown"));
  EXPECT_FALSE(enabled("Scaling"));
  EXPECT_EQ(window().frameBitmap().width(), 32);
}

TEST_F(Preview, PressingTheSelectedThumbnailShowsItsPictureAgain) {
  openThroughDialog(write("app.ico", iconFile({16})));
  click("ButUp");
  EXPECT_EQ(box("PreviewBox"), QRect(8, 8, 32, 32));
  auto* list = window().findChild<QTreeView*>("ListPreview");
  const QRect row = list->visualRect(list->model()->index(0, 1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(box("PreviewBox"), QRect(4, 4, 32, 32));
}

TEST_F(Preview, TheBlendTogglesMoveTogether) {
  openThroughDialog(write("app.ico", iconFile({16})));
  action("AlphaBlending")->trigger();
  EXPECT_TRUE(action("AlphaBlending2")->isChecked());
  click("ButUp");
  action("Scaling2")->trigger();
  EXPECT_TRUE(action("Scaling")->isChecked());
  action("AlphaBlending2")->trigger();
  EXPECT_FALSE(action("AlphaBlending")->isChecked());
}

TEST_F(Preview, TheDirectoryEntrySelectsItsPicture) {
  openThroughDialog(write("app.ico", iconFile({16, 32})));
  auto* tree = window().findChild<QTreeView*>("TreeView1");
  const auto entry = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, "icon_dir_2", 1,
                                          Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_FALSE(entry.isEmpty());
  tree->setCurrentIndex(entry.first());
  EXPECT_EQ(window().currentPictureIndex(), 1);
  EXPECT_EQ(window().frameBitmap().width(), 32);
}

TEST_F(Preview, ABitmapThatCannotBeDrawnSaysWhyInTheStatusBarAndTheLog) {
  PeBuilder builder;
  builder.add(formats::pe::rtBitmap, std::uint32_t{1}, bitmapResource(1, 1, 24, 0, 0, {0, 0, 0, 0}));
  builder.add(formats::pe::rtBitmap, std::uint32_t{2}, bitmapResource({.size = 64, .width = 1, .height = 1}, {}));
  openThroughDialog(write("bitmaps.dll", builder.build().bytes));
  const QString shownFirst = text("Panel5");
  const std::string why = "Bitmaps. 2: not decoded: a bitmap header of 64 bytes is not known.";

  selectTreeNode("picture_2");
  EXPECT_EQ(text("Panel5").toStdString(), why);
  const auto& lines = window().messageLog().lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), why), 2);  // at opening and on selection
  selectTreeNode("picture_1");
  EXPECT_EQ(text("Panel5"), shownFirst);
}

TEST_F(Preview, AnAnimationPlaysAtItsOwnSpeedAndStopsOnItsLastFrame) {
  const auto files = corpusFiles("ani");
  const auto file = std::find_if(files.begin(), files.end(),
                                 [](const auto& path) { return path.filename() == "synthetic-seq-rate.ani"; });
  if (file == files.end()) GTEST_SKIP() << "the sample corpus is not there";
  openThroughDialog(*file);
  const preview::AnimationPlayer& player = window().player();
  ASSERT_EQ(player.steps(), 6u);
  int total = 0;
  for (std::size_t step = 0; step < player.steps(); ++step) total += player.stepMilliseconds(step);

  QElapsedTimer clock;
  clock.start();
  click("ButStart");
  EXPECT_FALSE(enabled("ButStart"));
  EXPECT_TRUE(enabled("ButPause"));
  while (player.state() == preview::PlayerState::playing && clock.elapsed() < 10 * total) QTest::qWait(1);
  const qint64 elapsed = clock.elapsed();
  EXPECT_EQ(player.state(), preview::PlayerState::stopped);
  EXPECT_GE(elapsed, total);
  EXPECT_LE(elapsed, total * 105 / 100 + 10 * 6);

  // The sequence 0, 1, 2, 3, 2, 1 ends on frame 1, with the step and the picture selected.
  EXPECT_EQ(player.currentStep(), 1u);
  EXPECT_EQ(selectedTreeNode(), "picture_2");
  EXPECT_TRUE(enabled("ButStart"));
  EXPECT_TRUE(enabled("ButForward"));
  EXPECT_TRUE(enabled("ButBack"));
  click("ButForward");
  EXPECT_EQ(selectedTreeNode(), "picture_3");
  EXPECT_EQ(window().currentPictureIndex(), 2);
}

}  // namespace

}  // namespace delvix::testing

namespace delvix::testing {

namespace {

class FieldTable : public WindowTest {};

TEST_F(FieldTable, SelectingANodeListsItsFieldsWithTheirMarks) {
  openThroughDialog(write("app.cur", iconFile({32}, 2)));
  auto* tree = window().findChild<QTreeView*>("TreeView1");
  const auto entry = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, "icon_dir_1", 1,
                                          Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_FALSE(entry.isEmpty());
  tree->setCurrentIndex(entry.first());
  auto* fields = window().findChild<QTreeView*>("ListView1")->model();
  ASSERT_GE(fields->rowCount(), 8);
  EXPECT_EQ(fields->headerData(0, Qt::Horizontal), "Field");
  EXPECT_EQ(fields->index(4, 0).data(), "HotPot X");
  EXPECT_TRUE(fields->index(4, 0).data(Qt::UserRole).toBool());
  EXPECT_EQ(fields->index(6, 0).data(), "BytesInRes");
  EXPECT_FALSE(fields->index(6, 0).data(Qt::UserRole).toBool());
  EXPECT_EQ(window().editMode(), fieldview::EditMode::directoryEntry);
  EXPECT_TRUE(window().findChild<QWidget*>("Edit1")->isVisibleTo(&window()));
}

}  // namespace

}  // namespace delvix::testing
