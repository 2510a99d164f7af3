// The main window's keys and File > Open Recent, used as a user uses them.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeView>
#include <map>
#include <set>

#include "fixtures.h"
#include "window_fixture.h"

namespace delvix::testing {
namespace {

// The key letter of a menu text: the one after a single '&'.
QChar mnemonicOf(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); i += text[i] == '&' ? 2 : 1)
    if (text[i] == '&' && text[i + 1] != '&') return text[i + 1].toLower();
  return {};
}

class Keys : public WindowTest {
 protected:
  // Presses the key with the focus in `where`, as the keyboard sends it.
  void press(const char* where, const QKeySequence& key) {
    widget(where)->setFocus();
    QTest::keyClick(widget(where), key[0].key(), key[0].keyboardModifiers());
  }
  QMenu* recentMenu() { return window().findChild<QMenu*>("OpenRecent1"); }
  std::vector<QString> recentEntries() {
    std::vector<QString> texts;
    for (QAction* entry : recentMenu()->actions()) texts.push_back(entry->text().remove(QRegularExpression("&(?!&)")));
    return texts;
  }
};

TEST_F(Keys, EachKeyHasOneCommandAndTheStandardOnesKeepTheirMeaning) {
  std::map<QKeySequence, std::set<QString>> commands;
  for (QAction* action : window().findChildren<QAction*>())
    if (action->shortcutContext() != Qt::WidgetShortcut)
      for (const QKeySequence& key : action->shortcuts()) commands[key].insert(action->objectName());
  for (const auto& [key, names] : commands) EXPECT_EQ(names.size(), 1u) << key.toString().toStdString();
  // Cut, Select All, Close and Find belong to the text boxes or to no one.
  const std::pair<const char*, const char*> expected[] = {
      {"Ctrl+Q", "Exit1"},   {"Ctrl+O", "Open2"}, {"F1", "Content1"}, {"Ctrl+C", "Copy1"}, {"Ctrl+=", "ZoomIn1"},
      {"Ctrl++", "ZoomIn1"}, {"Ctrl+X", ""},      {"Ctrl+A", ""},     {"Ctrl+W", ""},      {"Ctrl+F", ""}};
  for (const auto& [key, name] : expected) {
    const auto found = commands.find(QKeySequence(key));
    EXPECT_EQ(found == commands.end() ? "" : found->second.begin()->toStdString(), name) << key;
  }
}

TEST_F(Keys, EveryMenuAndEntryHasItsOwnAltKey) {
  std::vector<QMenu*> menus{window().findChild<QMenu*>("PopupBlend"), recentMenu()};
  for (QAction* title : window().menuBar()->actions()) menus.push_back(title->menu());
  std::vector<QList<QAction*>> lists{window().menuBar()->actions()};
  for (const QMenu* menu : menus) lists.push_back(menu->actions());
  for (const auto& entries : lists) {
    std::set<QChar> letters;
    for (const QAction* entry : entries) {
      if (entry->isSeparator()) continue;
      const QChar letter = mnemonicOf(entry->text());
      EXPECT_TRUE(!letter.isNull() && letters.insert(letter).second) << entry->text().toStdString();
    }
  }
}

TEST_F(Keys, KeysReachTheirCommandsFromAnywhereInTheWindow) {
  openThroughDialog(write("app.ico", iconFile({16, 32})));
  window().show();
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  press("TreeView1", QKeySequence("Ctrl+="));
  press("Edit1", QKeySequence("Ctrl++"));
  EXPECT_EQ(window().zoomFactor(), 3);

  // Ctrl+C copies the text where the focus is in text, the frame elsewhere.
  QClipboard* clipboard = QGuiApplication::clipboard();
  selectTreeNode("icon_dir_1");
  auto* table = window().findChild<QTreeView*>("ListView1");
  table->setCurrentIndex(table->model()->index(1, 0));
  press("ListView1", QKeySequence::Copy);
  EXPECT_EQ(clipboard->text(),
            table->model()->index(1, 0).data().toString() + "\t" + table->model()->index(1, 1).data().toString());
  auto* box = window().findChild<QLineEdit*>("Edit1");
  box->setText("1234");
  box->setSelection(1, 2);
  press("Edit1", QKeySequence::Copy);
  EXPECT_EQ(clipboard->text(), "23");
  press("TreeView1", QKeySequence::Copy);
  EXPECT_FALSE(clipboard->image().isNull());
}

TEST_F(Keys, OpenRecentReopensForgetsMissingFilesAndIsKept) {
  const auto first = write("first.ico", iconFile({16})), second = write("second.cur", iconFile({32}, 2));
  const auto gone = files.path() / "gone & lost.ani";
  store.texts = {{"Recent file 1", first.string()}, {"Recent file 2", gone.string()}};
  EXPECT_EQ(recentEntries(), (std::vector<QString>{"1 " + QString::fromStdString(first.string()),
                                                   "2 " + QString::fromStdString(gone.string()), "", "Clear list"}));
  openThroughDialog(second);
  recentMenu()->actions().at(1)->trigger();
  EXPECT_EQ(text("Panel4"), " first.ico");

  recentMenu()->actions().at(2)->trigger();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "File not found:\n" + gone.string() + "\n\nIt was taken off the list of recent files.");
  closeWindow();
  EXPECT_EQ(store.texts["Recent file 1"] + "|" + store.texts["Recent file 2"] + "|" + store.texts["Recent file 3"],
            first.string() + "|" + second.string() + "|");

  window().findChild<QAction*>("ClearRecent1")->trigger();
  EXPECT_EQ(recentEntries(), (std::vector<QString>{"", "Clear list"}));
  EXPECT_FALSE(recentMenu()->menuAction()->isEnabled());
}

}  // namespace
}  // namespace delvix::testing
