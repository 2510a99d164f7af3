#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QTreeView>

#include "app/secondary_windows.h"
#include "dialogs/tips.h"
#include "fixtures.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

class Dialogs : public WindowTest {
 protected:
  app::TFormANI& windowWithDialogs() {
    app::TFormANI& main = window();
    if (!windows_.options) {
      windows_ = app::createSecondaryWindows(&main);
      main.setSecondaryWindows(windows_);
    }
    return main;
  }
  QCheckBox* box(QWidget* dialog, const char* name) { return dialog->findChild<QCheckBox*>(name); }
  void clickButton(QWidget* dialog, const char* name) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton);
  }
  // Opens the options, ticks or clears the named boxes and leaves with `button`.
  void changeOptions(std::initializer_list<const char*> toggled, const char* button = "XiButton1") {
    windowWithDialogs().ToolButton5Click();
    ASSERT_TRUE(windows_.options->isVisible());
    for (const char* name : toggled) box(windows_.options, name)->click();
    clickButton(windows_.options, button);
    EXPECT_FALSE(windows_.options->isVisible());
  }
  void restart() {
    closeWindow();
    windows_ = {};
  }

  app::SecondaryWindows windows_;
};

TEST_F(Dialogs, OptionsStartFromTheDefaultsAndOkChangesTheTreeAtOnce) {
  openThroughDialog(write("app.ico", iconFile({16, 32})));
  windowWithDialogs().ToolButton5Click();
  for (const char* name :
       {"CheckTable", "CheckColor", "CheckMask", "CheckEditTable", "CheckDataBitmap", "CheckEditFact"})
    EXPECT_FALSE(box(windows_.options, name)->isChecked()) << name;
  for (const char* name : {"CheckIcon", "CheckCursor", "CheckBitmap", "CheckSave"})
    EXPECT_TRUE(box(windows_.options, name)->isChecked()) << name;
  clickButton(windows_.options, "XiButton2");

  auto* tree = window().findChild<QTreeView*>("TreeView1");
  const auto bitmap = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, "color_bitmap", 1,
                                           Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_FALSE(bitmap.isEmpty());
  tree->setCurrentIndex(bitmap.first());
  const int listings = window().fieldRelistings();
  changeOptions({"CheckColor", "CheckDataBitmap"});
  EXPECT_EQ(window().settings().color, 8);
  EXPECT_EQ(window().settings().editData, 0);
  EXPECT_EQ(window().document().tree.findFirst("color_bitmap")->stateImage(), 8);
  EXPECT_EQ(window().fieldRelistings(), listings + 1);
}

TEST_F(Dialogs, CancelEscapeAndTheCloseBoxChangeNothing) {
  const app::Settings before = windowWithDialogs().settings();
  changeOptions({"CheckTable", "CheckIcon"}, "XiButton2");
  windowWithDialogs().ToolButton5Click();
  box(windows_.options, "CheckMask")->click();
  QTest::keyClick(windows_.options, Qt::Key_Escape);
  EXPECT_FALSE(windows_.options->isVisible());
  windowWithDialogs().ToolButton5Click();
  box(windows_.options, "CheckSave")->click();
  windows_.options->close();
  const app::Settings& after = window().settings();
  EXPECT_EQ(after.table, before.table);
  EXPECT_EQ(after.mask, before.mask);
  EXPECT_EQ(after.icons, before.icons);
  EXPECT_EQ(after.saveOptions, before.saveOptions);
}

TEST_F(Dialogs, OptionsOutliveARestartOnlyWhileSaveOptionsIsSet) {
  changeOptions({"CheckTable", "CheckCursor"});
  restart();
  EXPECT_EQ(window().settings().table, 8);
  EXPECT_FALSE(window().settings().cursors);

  changeOptions({"CheckTable", "CheckSave"});
  EXPECT_FALSE(window().settings().saveOptions);
  restart();
  EXPECT_EQ(window().settings().table, 8);
  EXPECT_TRUE(window().settings().saveOptions);
}

TEST_F(Dialogs, TheTipOfTheDayComesAfterTheWindowAndWrapsAround) {
  windowWithDialogs().show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return windows_.tip->isVisible(); }, 2000));
  const QString first = windows_.tip->shownText();
  EXPECT_EQ(first, dialogs::tips[static_cast<std::size_t>(windows_.tip->currentTip())]);
  for (int i = 0; i < dialogs::tipCount; ++i) clickButton(windows_.tip, "XiButton1");
  EXPECT_EQ(windows_.tip->shownText(), first);

  box(windows_.tip, "CheckTips")->click();
  EXPECT_FALSE(window().settings().tipsAtStart);
  clickButton(windows_.tip, "XiButton2");
  EXPECT_FALSE(windows_.tip->isVisible());
  restart();
  windowWithDialogs().show();
  QTest::qWait(50);
  EXPECT_FALSE(windows_.tip->isVisible());
  window().TipOfDayClick();
  EXPECT_TRUE(windows_.tip->isVisible());
}

TEST_F(Dialogs, TheAboutBoxShowsTheVersionAndCloses) {
  window().ButAboutClick();
  auto* about = window().findChild<QDialog*>("FormAbout");
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->findChild<QLabel*>("Label2")->text(), "v.2.2.3");
  QTest::keyClick(about, Qt::Key_Return);
  EXPECT_FALSE(about->isVisible());
}

}  // namespace

}  // namespace delvix::testing
