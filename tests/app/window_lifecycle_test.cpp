#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBrowser>
#include <QTreeView>
#include <QUrl>
#include <fstream>

#include "fixtures.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

std::vector<std::string> linesOf(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class WindowLife : public WindowTest {};

TEST_F(WindowLife, StartsWithTheDesignedCaptionSizeAndStates) {
  EXPECT_EQ(window().windowTitle(), "Delvix");
  EXPECT_EQ(window().minimumSize(), QSize(650, 250));
  EXPECT_EQ(text("Panel3"), " Select ani, ico, cur, exe, dll, ocx, cpl, scr or wav file");
  for (const char* off : {"ButSaveAll", "ButSave", "ButCopy", "ButPlus", "ButMinus", "ButApply", "ButAdd", "ButRemove",
                          "ButNext", "ButPrev", "ButUp", "ButDown", "ButStart", "AlphaBlending", "Scaling2"})
    EXPECT_FALSE(enabled(off)) << off;
  for (const char* on : {"ButLoad", "ToolButton6", "ToolButton7", "ToolButton5", "ButHelp", "ButAbout"})
    EXPECT_TRUE(enabled(on)) << on;
  EXPECT_EQ(hint("ButLoad"), "Open");
  EXPECT_EQ(hint("ToolButton6"), "Quick Info (images)");
  EXPECT_EQ(action("Open2")->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(action("Removechunk1")->shortcut(), QKeySequence("Ctrl+Alt+D"));
  EXPECT_EQ(action("Content1")->shortcut(), QKeySequence("F1"));
  EXPECT_EQ(action("SaveBlitting")->shortcut(), QKeySequence("Ctrl+B"));
}

TEST_F(WindowLife, TheMenuToggleMarksBothItemsOfItsPair) {
  action("Scaling2")->setEnabled(true);
  action("Scaling2")->trigger();
  EXPECT_TRUE(action("Scaling")->isChecked());
  EXPECT_TRUE(action("Scaling2")->isChecked());
  action("Scaling")->setEnabled(true);
  action("Scaling")->trigger();
  EXPECT_FALSE(action("Scaling2")->isChecked());
}

TEST_F(WindowLife, ClosingWritesTheSettingsAndTheLogIntoTheProgramFolder) {
  store.values = {{"Settings", 0b011110}, {"Table", 8}, {"Width TreeView", 222}};
  window();
  openThroughDialog(write("app.ico", iconFile({16})));
  // The designed width, or less on a screen narrower than that (the offscreen one is 800 pixels wide).
  const int width = window().width();
  EXPECT_LE(width, 817);
  closeWindow();
  EXPECT_EQ(store.values["Table"], 8u);
  EXPECT_EQ(store.values["Width TreeView"], 222u);
  EXPECT_EQ(store.values["Width Window"], static_cast<std::uint32_t>(width));
  EXPECT_EQ(store.values["Settings"], 0b011110u);
  const auto log = linesOf(programFolder.path() / "Log.dat");
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[1], "opening of file: " + (files.path() / "app.ico").string());
  EXPECT_FALSE(std::filesystem::exists(dataFolder / "Log.dat"));
}

TEST_F(WindowLife, TheLogGoesToTheDataFolderWhenTheProgramFolderCannotBeWritten) {
  // A plain file where the program's folder should be: nothing can be written below it, whoever runs the test.
  programPath = write("installed", {});
  store.readable = false;
  window();
  closeWindow();
  const auto log = linesOf(dataFolder / "Log.dat");
  EXPECT_EQ(log, std::vector<std::string>{"Could not read the system registry!"});
}

TEST_F(WindowLife, AnInstalledProgramWritesNothingBesideItself) {
  logBesideProgram = false;
  store.readable = false;
  window();
  closeWindow();
  EXPECT_TRUE(std::filesystem::is_empty(programFolder.path()));
  EXPECT_EQ(linesOf(dataFolder / "Log.dat"), std::vector<std::string>{"Could not read the system registry!"});
}

TEST_F(WindowLife, WithoutSaveOptionsNothingIsWrittenAtExit) {
  store.values = {{"Settings", 0b111101}};
  window();
  store.written.clear();
  closeWindow();
  EXPECT_TRUE(store.written.empty());
  EXPECT_FALSE(std::filesystem::exists(programFolder.path() / "Log.dat"));
  EXPECT_FALSE(std::filesystem::exists(dataFolder / "Log.dat"));
}

TEST_F(WindowLife, AnUnwritableStoreIsLoggedAndTheLogIsStillSaved) {
  store.writable = false;
  window();
  closeWindow();
  const auto log = linesOf(programFolder.path() / "Log.dat");
  EXPECT_EQ(log.back(), "Could not write into system registry!");
}

TEST_F(WindowLife, TheStoredSizesShapeTheWindow) {
  store.values = {{"Settings", 0b000010}, {"Width Window", 700}, {"Height Window", 400}, {"Width TreeView", 150}};
  window().show();
  QApplication::processEvents();
  EXPECT_EQ(window().size(), QSize(700, 400));
  EXPECT_EQ(widget("GroupBox1")->width(), 150);
}

TEST_F(WindowLife, TheTipOfTheDayIsShownOnceTheWindowIsUp) {
  store.values = {{"Settings", 0b100000}};
  auto windows = app::createSecondaryWindows(&window());
  window().setSecondaryWindows(windows);
  QApplication::processEvents();
  EXPECT_FALSE(windows.tip->isVisible());
  window().show();
  QApplication::processEvents();
  EXPECT_TRUE(windows.tip->isVisible());
  EXPECT_EQ(windows.tip->windowTitle(), "Tip of the Day");
}

TEST_F(WindowLife, NoTipWhenItIsSwitchedOff) {
  store.values = {{"Settings", 0b000010}};
  auto windows = app::createSecondaryWindows(&window());
  window().setSecondaryWindows(windows);
  window().show();
  QApplication::processEvents();
  EXPECT_FALSE(windows.tip->isVisible());
}

TEST_F(WindowLife, HelpStartsTheViewerOnThePagesBesideTheProgramAndEndsItAtExit) {
  window().ButHelpClick();
  ASSERT_EQ(help.pages.size(), 1u);
  EXPECT_EQ(help.pages[0], programFolder.path() / "help" / "index.html");
  EXPECT_TRUE(prompter.messages.empty());
  closeWindow();
  EXPECT_EQ(help.terminations, 1);
}

TEST_F(WindowLife, HelpThatCannotStartOrGivesUpShowsThePagesInTheProgramOrSaysWhereTheyAre) {
  // Without its pages there is nothing to show: the message says so, for a viewer that cannot start and for
  // one that starts and then finds nothing to show the page with.
  help.startable = false;
  window().ButHelpClick();
  ASSERT_EQ(prompter.messages.size(), 1u);
  const platform::Message& message = prompter.messages[0];
  EXPECT_EQ(message.text.rfind("Sorry, but our help can't be run successfully under your Windows version.\nFor view "
                               "it:\n\n- Use Windows 98 or later.\n",
                               0),
            0u);
  EXPECT_TRUE(message.text.ends_with("\n\nThe help pages: " + help.pages[0].string()));
  EXPECT_EQ(message.buttons, platform::MessageButtons::ok);
  EXPECT_EQ(message.icon, platform::MessageIcon::information);
  EXPECT_FALSE(logged(message.text));
  help.startable = true;
  window().ButHelpClick();
  help.giveUp();
  EXPECT_EQ(prompter.messages.size(), 2u);

  // With them, the program shows them itself, links followed inside it.
  std::filesystem::create_directory(programFolder.path() / "help");
  const std::string index =
      "<html><head><title>Delvix help</title></head><body><a href=\"two.html\">Two</a></body></html>";
  const std::string two = "<html><head><title>Two - Delvix help</title></head><body>two</body></html>";
  programFolder.write("help/index.html", std::vector<std::uint8_t>(index.begin(), index.end()));
  programFolder.write("help/two.html", std::vector<std::uint8_t>(two.begin(), two.end()));
  window().ButHelpClick();
  help.giveUp();
  EXPECT_EQ(prompter.messages.size(), 2u);
  auto* pages = window().findChild<QWidget*>("HelpWindow");
  ASSERT_NE(pages, nullptr);
  EXPECT_TRUE(pages->isVisible());
  auto* browser = pages->findChild<QTextBrowser*>("HelpBrowser");
  EXPECT_EQ(pages->windowTitle(), "Delvix help");
  browser->setSource(QUrl("two.html"));
  EXPECT_EQ(pages->windowTitle(), "Two - Delvix help");
  EXPECT_TRUE(browser->isBackwardAvailable());
}

TEST_F(WindowLife, EnterOpensAndClosesANodeAndOpeningSelectsIt) {
  openThroughDialog(write("app.ico", iconFile({16})));
  auto* tree = window().findChild<QTreeView*>("TreeView1");
  const QModelIndex header = tree->model()->index(0, 0);
  tree->setCurrentIndex(header);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(tree, &enter);
  EXPECT_TRUE(tree->isExpanded(header));
  QApplication::sendEvent(tree, &enter);
  EXPECT_FALSE(tree->isExpanded(header));

  const QModelIndex picture = tree->model()->index(1, 0);
  tree->expand(picture);
  EXPECT_EQ(selectedTreeNode(), "picture_1");
  tree->expand(header);
  EXPECT_EQ(selectedTreeNode(), "header");
  tree->collapse(picture);
  EXPECT_EQ(selectedTreeNode(), "picture_1");
}

TEST_F(WindowLife, DroppingAFileOpensIt) {
  const auto path = write("drop.ico", iconFile({16, 32}));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  QApplication::processEvents();
  EXPECT_EQ(treeRows(), (std::vector<std::string>{"header", "picture_1", "picture_2"}));
}

}  // namespace

}  // namespace delvix::testing
