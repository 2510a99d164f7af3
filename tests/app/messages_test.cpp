// What the user is told: one box per open with the file's name and the reasons, and the message log live
// in View > Messages.
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "fixtures.h"
#include "formats/le_bytes.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

class Messages : public WindowTest {
 protected:
  QWidget* messagesWindow() { return window().findChild<QWidget*>("MessagesWindow"); }
  QString shownLog() {
    QApplication::processEvents();
    return messagesWindow()->findChild<QPlainTextEdit*>("MessagesView")->toPlainText();
  }
  QString logText(const char* separator = "\n") {
    QStringList lines;
    for (const std::string& line : window().messageLog().lines()) lines << QString::fromStdString(line);
    return lines.join(separator);
  }
};

ByteVector withLe32(ByteVector bytes, std::size_t offset, std::uint32_t value) {
  formats::setLe32(bytes, offset, value);
  return bytes;
}

TEST_F(Messages, ADamagedOrRefusedFileGivesOneBoxWithItsNameAndTheReasons) {
  const ByteVector icon = iconFile({16, 32});
  const ByteVector outside = withLe32(icon, 6 + 12, 0x7FFFFFFFu);
  const ByteVector cut(icon.begin(), icon.begin() + 6 + 32 + 40 + 10);
  // Cut inside the first picture's header: the file is corrupt and the picture cannot be drawn, which were
  // two boxes in a row.
  const ByteVector headerCut(icon.begin(), icon.begin() + 6 + 32 + 20);
  struct Case {
    const char* name;
    ByteVector bytes;
    std::string text;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"outside.ico", outside, "This file is corrupt.",
       "picture_1: the image of " + std::to_string(formats::le32(icon, 6 + 8)) +
           " bytes at offset 2147483647 lies outside the file of " + std::to_string(icon.size()) + " bytes."},
      {"cut.ico", cut, "This file is corrupt.", "picture_2: the image of "},
      {"header-cut.ico", headerCut, "This file is corrupt.", "Error from color bitmap."},
      {"tiny.ico", {0, 0, 1}, "Too little size to be ico(cur)-file.", "This is not ico(cur)-file."},
      {"gone.ico", {}, "File not found.", ""},
      {"notes.xyz", {1}, "Unsupported file type: .xyz", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompter.messages.clear();
    openThroughDialog(c.bytes.empty() ? files.path() / c.name : write(c.name, c.bytes));
    ASSERT_EQ(prompter.messages.size(), 1u);
    const platform::Message& box = prompter.messages[0];
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.details.rfind(std::string(c.name), 0), 0u) << box.details;
    EXPECT_NE(box.details.find(c.reason), std::string::npos) << box.details;
    EXPECT_EQ(box.details.find("opening of file"), std::string::npos) << box.details;
  }
}

TEST_F(Messages, ASaveThatCannotBeWrittenNamesTheFileAndWhy) {
  openThroughDialog(write("app.ico", iconFile({16})));
  const auto target = files.path() / "missing" / "copy.ico";
  prompter.choose(target.string());
  window().ButSaveAllClick();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "Could not open this file.");
  EXPECT_EQ(prompter.messages[0].details.rfind("copy.ico\n" + target.string() + ": ", 0), 0u)
      << prompter.messages[0].details;
}

TEST_F(Messages, TheViewMenuShowsTheLogLiveWithCopyAndClear) {
  QStringList menus;
  for (QAction* menu : window().menuBar()->actions()) menus << menu->text().remove(QLatin1Char('&'));
  EXPECT_EQ(menus, (QStringList{"File", "Edit", "View", "Help"}));
  EXPECT_EQ(action("Messages1")->shortcut(), QKeySequence("Ctrl+L"));

  openThroughDialog(write("first.ico", iconFile({16})));
  action("Messages1")->trigger();
  ASSERT_NE(messagesWindow(), nullptr);
  EXPECT_TRUE(messagesWindow()->isVisible());
  EXPECT_EQ(shownLog(), logText());

  openThroughDialog(write("second.ico", {0, 0, 1}));
  EXPECT_TRUE(shownLog().endsWith("This is not ico(cur)-file."));
  EXPECT_EQ(shownLog(), logText());

  messagesWindow()->findChild<QPushButton*>("MessagesCopy")->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), logText() + "\n");

  messagesWindow()->findChild<QPushButton*>("MessagesClear")->click();
  EXPECT_TRUE(window().messageLog().lines().empty());
  EXPECT_EQ(shownLog(), "");
  openThroughDialog(write("third.ico", iconFile({16})));
  EXPECT_EQ(shownLog(), logText());

  // Hidden, it follows nothing; shown again, it has every line.
  messagesWindow()->hide();
  openThroughDialog(write("fourth.ico", iconFile({16})));
  action("Messages1")->trigger();
  EXPECT_EQ(shownLog(), logText());
  closeWindow();
}

TEST(MessageLogListeners, AreToldUntilTheirSubscriptionEndsEvenAfterTheLogIsGone) {
  std::vector<std::string> heard;
  app::MessageLog::Subscription kept;
  {
    app::MessageLog log;
    kept = log.listen({[&](std::string_view line) { heard.emplace_back(line); }, [&] { heard.emplace_back("-"); }});
    log.add("a");
    log.clear();
    {
      app::MessageLog::Subscription brief = log.listen({[&](std::string_view) { heard.emplace_back("brief"); }, {}});
    }
    log.add("b");
  }
  kept.end();
  EXPECT_EQ(heard, (std::vector<std::string>{"a", "-", "b"}));
}

}  // namespace

}  // namespace delvix::testing
