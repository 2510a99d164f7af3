// The edit history in the window: Undo and Redo through the menu, the modified mark, Save in place, and the
// question before every way of losing changes.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <functional>

#include "fixtures.h"
#include "support/file_bytes.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

class EditHistoryWindow : public WindowTest {
 protected:
  // Opens an icon file of two pictures and removes the second: the document has one change.
  std::filesystem::path openAndChange() {
    const std::filesystem::path path = write("two.ico", iconFile({16, 32}));
    openThroughDialog(path);
    selectTreeNode("picture_2");
    window().ButMinusClick();
    EXPECT_EQ(thumbnailRowCount(), 1);
    EXPECT_TRUE(window().isWindowModified());
    return path;
  }
  void drop(const std::filesystem::path& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window(), &enter);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window(), &event);
    ASSERT_TRUE(event.isAccepted());
    // The file opens once the drop is over.
    QTest::qWait(20);
  }
};

TEST_F(EditHistoryWindow, UndoAndRedoBringBackWhatTheyName) {
  openAndChange();
  EXPECT_EQ(window().windowTitle(), QString("two.ico[*] \u2013 Delvix"));
  EXPECT_EQ(action("Undo1")->text(), "&Undo Remove picture_2");
  EXPECT_FALSE(enabled("Redo1"));
  action("Undo1")->trigger();
  EXPECT_EQ(thumbnailRowCount(), 2);
  EXPECT_EQ(treeRows(), (std::vector<std::string>{"header", "picture_1", "picture_2"}));
  EXPECT_FALSE(window().isWindowModified());
  EXPECT_FALSE(enabled("Undo1"));
  EXPECT_EQ(action("Redo1")->text(), "&Redo Remove picture_2");
  action("Redo1")->trigger();
  EXPECT_EQ(thumbnailRowCount(), 1);
  EXPECT_EQ(treeRows(), (std::vector<std::string>{"header", "picture_1"}));
  EXPECT_TRUE(window().isWindowModified());
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(EditHistoryWindow, SaveWritesTheOpenFileAndSaveAllNamesTheNewOne) {
  const std::filesystem::path path = openAndChange();
  const std::size_t dialogs = prompter.fileRequests.size();
  action("Save1")->trigger();
  EXPECT_EQ(prompter.fileRequests.size(), dialogs) << "the open file is saved without asking";
  EXPECT_FALSE(window().isWindowModified());
  EXPECT_EQ(readFileBytes(path), iconFile({16}));

  action("Undo1")->trigger();
  const std::filesystem::path copy = files.path() / "copy.ico";
  prompter.choose(copy.string());
  action("Saveall1")->trigger();
  EXPECT_EQ(readFileBytes(copy), iconFile({16, 32}));
  EXPECT_EQ(text("Panel4"), " copy.ico");
  EXPECT_EQ(window().windowTitle(), QString("copy.ico[*] \u2013 Delvix"));
  EXPECT_FALSE(window().isWindowModified());
}

// Opening another file (from the dialog, by a drop or from a browser) and closing the window all ask first:
// Save saves and goes on, Discard goes on, Cancel keeps the document and its changes.
TEST_F(EditHistoryWindow, EveryWayOfLosingChangesAsksFirst) {
  const std::filesystem::path other = write("other.ico", iconFile({48}));
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"open", [&] { openThroughDialog(other); }},
      {"drop", [&] { drop(other); }},
      {"browser", [&] { window().openPath(other); }},
      {"exit", [&] { action("Exit1")->trigger(); }},
      {"close",
       [&] {
         QCloseEvent event;
         QCoreApplication::sendEvent(&window(), &event);
         if (event.isAccepted()) window().hide();
       }},
  };
  const platform::UnsavedChoice choices[] = {platform::UnsavedChoice::save, platform::UnsavedChoice::discard,
                                             platform::UnsavedChoice::cancel};
  for (const auto& [way, run] : ways) {
    for (const platform::UnsavedChoice choice : choices) {
      SCOPED_TRACE(std::string(way) + " " + std::to_string(static_cast<int>(choice)));
      window().show();
      const std::filesystem::path path = openAndChange();
      prompter.questions.clear();
      prompter.choices = {choice};
      run();
      ASSERT_EQ(prompter.questions, std::vector<std::string>{"two.ico"});
      const bool goesOn = choice != platform::UnsavedChoice::cancel;
      const bool closing =
          std::string(way) == "exit" || std::string(way) == "close" || std::string(way) == "session end";
      EXPECT_EQ(readFileBytes(path),
                iconFile(choice == platform::UnsavedChoice::save ? std::vector{16} : std::vector{16, 32}));
      if (closing)
        EXPECT_EQ(window().isVisible(), !goesOn);
      else
        EXPECT_EQ(text("Panel4"), goesOn ? " other.ico" : " two.ico");
      // Changes let go by a closing window stay in it until it is gone.
      EXPECT_EQ(window().isWindowModified(), closing ? choice != platform::UnsavedChoice::save : !goesOn);
      write("two.ico", iconFile({16, 32}));
      prompter.choices.clear();
    }
  }
}

TEST_F(EditHistoryWindow, ASessionThatMayNotAskKeepsTheChanges) {
  openAndChange();
  EXPECT_FALSE(window().sessionMayEnd(false));
  EXPECT_TRUE(prompter.questions.empty());
  action("Undo1")->trigger();
  EXPECT_TRUE(window().sessionMayEnd(false));
}

TEST_F(EditHistoryWindow, StandardKeysReachTheHistoryAndTheSave) {
  const auto keysOf = [this](const char* name) { return action(name)->shortcuts(); };
  EXPECT_TRUE(keysOf("Undo1").contains(QKeySequence("Ctrl+Z")));
  EXPECT_TRUE(keysOf("Redo1").contains(QKeySequence("Ctrl+Shift+Z")));
  EXPECT_TRUE(keysOf("Redo1").contains(QKeySequence("Ctrl+Y")));
  EXPECT_TRUE(keysOf("Save1").contains(QKeySequence("Ctrl+S")));
  EXPECT_TRUE(keysOf("Saveall1").contains(QKeySequence("Ctrl+Shift+S")));
  EXPECT_EQ(window().windowTitle(), "Delvix");
}

}  // namespace

}  // namespace delvix::testing
