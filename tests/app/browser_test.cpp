#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/browsers/image_browser.h"
#include "app/browsers/wave_browser.h"
#include "app/secondary_windows.h"
#include "fixtures.h"
#include "support/corpus.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

namespace fs = std::filesystem;

class Browsers : public WindowTest {
 protected:
  app::SecondaryWindows& windows() {
    if (!windows_.info) {
      windows_ = app::createSecondaryWindows(&window());
      window().setSecondaryWindows(windows_);
    }
    return windows_;
  }
  app::TFormInfo& images() { return *windows().info; }
  app::TFormWav& waves() { return *windows().wav; }

  // Lists `folder` and waits for its last row and for what the listing shows after it.
  void list(app::FolderBrowser& browser, const fs::path& folder) {
    browser.showFolder(folder);
    finish(browser);
  }
  static void finish(app::FolderBrowser& browser) {
    QElapsedTimer clock;
    clock.start();
    while (browser.filling() && clock.elapsed() < 30000) QApplication::processEvents();
    EXPECT_FALSE(browser.filling());
    QApplication::processEvents();
  }
  static QTreeWidget& view(app::FolderBrowser& browser) { return *browser.findChild<QTreeWidget*>("FilesBrowse"); }
  // Each row's columns joined by '|'.
  static std::vector<std::string> rows(app::FolderBrowser& browser) {
    std::vector<std::string> texts;
    QTreeWidget& shown = view(browser);
    for (int row = 0; row < shown.topLevelItemCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < shown.columnCount(); ++column) cells << shown.topLevelItem(row)->text(column);
      texts.push_back(cells.join('|').toStdString());
    }
    return texts;
  }
  static QTreeWidgetItem* row(app::FolderBrowser& browser, const QString& caption) {
    const auto found = view(browser).findItems(caption, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
  }
  template <class Child>
  static Child& child(app::FolderBrowser& browser, const char* name) {
    auto* found = browser.findChild<Child*>(name);
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }
  static std::vector<std::string> captions(app::FolderBrowser& browser) {
    std::vector<std::string> texts;
    QTreeWidgetItem* header = view(browser).headerItem();
    for (int column = 0; column < header->columnCount(); ++column) texts.push_back(header->text(column).toStdString());
    return texts;
  }
  fs::path copyFromCorpus(const char* folder, const char* name) {
    for (const fs::path& file : corpusFiles(folder))
      if (file.filename() == name) {
        fs::copy_file(file, files.path() / name);
        return files.path() / name;
      }
    return {};
  }

  app::SecondaryWindows windows_;
};

TEST_F(Browsers, TheImageBrowserListsWhatItsFilterBoxesChooseAndTheLockHoldsTheList) {
  fs::create_directory(files.path() / "sub");
  write("a.ico", iconFile({16, 32, 48}));
  write("b.ani", animatedCursor(8, 8));
  write("c.exe", moduleFile());
  write("d.DLL", moduleFile());
  write("readme.txt", {'h', 'i'});
  windows();
  openThroughDialog(files.path() / "a.ico");
  window().ToolButton6Click();
  finish(images());
  EXPECT_EQ(images().currentFolder(), files.path());
  EXPECT_EQ(captions(images()), (std::vector<std::string>{"Name", "icons", "cursors", "bitmaps"}));
  EXPECT_EQ(child<QStatusBar>(images(), "StatusBar1").currentMessage().toStdString(), files.path().string() + "/");

  struct Step {
    const char* box;
    std::vector<std::string> rows;
    const char* count;
  };
  const std::vector<std::string> iconsOnly{" ..|||", " sub|||", "a.ico|3||", "b.ani||8|"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> all = iconsOnly;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  for (const Step& step :
       {Step{nullptr, iconsOnly, "All files: 2"}, Step{"CheckExe", with({"c.exe|2|1|1"}), "All files: 3"},
        Step{"CheckDll", with({"c.exe|2|1|1", "d.DLL|2|1|1"}), "All files: 4"},
        Step{"CheckExe", with({"d.DLL|2|1|1"}), "All files: 3"}}) {
    if (step.box) child<QCheckBox>(images(), step.box).click();
    finish(images());
    EXPECT_EQ(rows(images()), step.rows) << (step.box ? step.box : "at start");
    EXPECT_EQ(child<QLabel>(images(), "Label2").text().toStdString(), step.count);
  }
  EXPECT_FALSE(row(images(), "a.ico")->icon(0).isNull());

  auto& lock = child<QToolButton>(images(), "LockButton");
  lock.click();
  child<QCheckBox>(images(), "CheckDll").click();
  finish(images());
  EXPECT_EQ(rows(images()), with({"d.DLL|2|1|1"}));
  lock.click();
  finish(images());
  EXPECT_EQ(rows(images()), iconsOnly);
}

TEST_F(Browsers, TheWaveBrowserTellsSizeTimeAndFormatOfEachWaveFile) {
  const std::vector<std::pair<const char*, const char*>> expected{
      {"sox-ima-adpcm.wav", "sox-ima-adpcm.wav|17724|1.57|17|1|4|22050"},
      {"sox-s16-stereo-44k.wav", "sox-s16-stereo-44k.wav|176444|1|1|2|16|44100"},
  };
  for (const auto& [name, columns] : expected)
    if (copyFromCorpus("wav", name).empty()) GTEST_SKIP() << "no corpus file " << name;
  write("other.wave", waveFile(1, 16));
  list(waves(), files.path());
  EXPECT_EQ(captions(waves()), (std::vector<std::string>{"Name", "Size (bytes)", "Time (sec)", "Form.", "Chan.",
                                                         "Samp. (bits)", "Samp. (sec)"}));
  EXPECT_EQ(rows(waves()), (std::vector<std::string>{" ..||||||", expected[0].second, expected[1].second}));
}

TEST_F(Browsers, ChoosingAWavePlaysItUntilTheSoundIsSwitchedOffOrTheWindowCloses) {
  sound.supportedFormats = {{8000, 2, 16}, {8000, 1, 16}};
  write("one.wav", waveFile(2, 16));
  write("two.wav", waveFile(2, 16));
  write("wide.wav", waveFile(1, 24));
  waves().show();
  list(waves(), files.path());
  EXPECT_TRUE(sound.played.empty()) << "listing plays nothing";

  QTreeWidget& shown = view(waves());
  shown.setCurrentItem(row(waves(), "one.wav"));
  ASSERT_EQ(sound.played.size(), 1u);
  EXPECT_EQ(sound.played[0].bytes.size(), 64u * 4);
  EXPECT_TRUE(sound.playing());
  shown.setCurrentItem(row(waves(), "two.wav"));
  EXPECT_EQ(sound.played.size(), 2u);
  EXPECT_EQ(sound.stops, 1);

  auto& soundSwitch = child<QToolButton>(waves(), "ButInOutPlay");
  soundSwitch.click();
  EXPECT_FALSE(sound.playing());
  shown.setCurrentItem(row(waves(), "one.wav"));
  EXPECT_EQ(sound.played.size(), 2u) << "silent while the switch is down";
  soundSwitch.click();

  // What the output cannot take is decoded; the sound stops when the window closes.
  shown.setCurrentItem(row(waves(), "wide.wav"));
  ASSERT_EQ(sound.played.size(), 3u);
  EXPECT_EQ(sound.played[2].format, (wave::PcmFormat{8000, 1, 16}));
  EXPECT_EQ(sound.played[2].bytes.size(), 64u * 2);
  waves().close();
  EXPECT_FALSE(sound.playing());
}

TEST_F(Browsers, EnterAndOpenFileOpenAFileRowAndEnterOnAFolderGoesThere) {
  fs::create_directory(files.path() / "sub");
  const fs::path first = write("sub/first.ico", iconFile({16}));
  const fs::path second = write("sub/second.cur", iconFile({32}, 2));
  // A name that is not UTF-8 opens from the path the row keeps.
  const fs::path odd = write("sub/\xff\xfe.ico", iconFile({16}));
  list(images(), files.path());
  QTreeWidget& shown = view(images());

  shown.setCurrentItem(row(images(), " sub"));
  EXPECT_FALSE(child<QToolButton>(images(), "OpenToolButton").isEnabled());
  QTest::keyClick(&shown, Qt::Key_Return);
  finish(images());
  EXPECT_EQ(images().currentFolder(), files.path() / "sub");

  shown.setCurrentItem(row(images(), "first.ico"));
  QTest::keyClick(&shown, Qt::Key_Return);
  EXPECT_EQ(window().document().path, first.string());
  shown.setCurrentItem(row(images(), "second.cur"));
  child<QToolButton>(images(), "OpenToolButton").click();
  EXPECT_EQ(window().document().path, second.string());
  shown.setCurrentItem(row(images(), QString::fromUtf8("\uFFFD\uFFFD.ico")));
  images().OpenToolButtonClick();
  EXPECT_EQ(window().document().path, odd.string());

  shown.setCurrentItem(row(images(), " .."));
  QTest::keyClick(&shown, Qt::Key_Enter);
  finish(images());
  EXPECT_EQ(images().currentFolder(), files.path());
  list(images(), "/");
  EXPECT_NE(rows(images()).front().rfind(" ..", 0), 0u) << "no way up from the root";
}

TEST_F(Browsers, BrokenFilesAreMarkedAndLoggedWithOneMessageBoxAndAFifoDoesNotBlock) {
  write("fake1.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
  write("fake2.wav", {'R', 'I', 'F', 'F'});
  write("good.wav", waveFile(1, 8));
  ASSERT_EQ(::mkfifo((files.path() / "x.wav").c_str(), 0600), 0);
  list(waves(), files.path());

  EXPECT_EQ(prompter.messages.size(), 1u);
  for (const char* name : {"fake1.wav", "fake2.wav"}) {
    QTreeWidgetItem* broken = row(waves(), name);
    ASSERT_NE(broken, nullptr) << name;
    EXPECT_EQ(broken->text(2), " ? ") << name;
    EXPECT_FALSE(broken->toolTip(2).isEmpty()) << name;
    const auto& lines = window().messageLog().lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.rfind((files.path() / name).string(), 0) == 0;
    })) << name;
  }
  EXPECT_TRUE(row(waves(), "good.wav")->toolTip(2).isEmpty());
  ASSERT_NE(row(waves(), "x.wav"), nullptr);
  EXPECT_EQ(row(waves(), "x.wav")->text(1), "");
  view(waves()).setCurrentItem(row(waves(), "x.wav"));
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(Browsers, AFolderThatCannotBeReadKeepsTheListingAndSaysWhy) {
  write("a.ico", iconFile({16}));
  list(images(), files.path());
  const auto before = rows(images());
  list(images(), files.path() / "gone");
  EXPECT_EQ(rows(images()), before);
  EXPECT_EQ(images().currentFolder(), files.path());
  const QString status = child<QStatusBar>(images(), "StatusBar1").currentMessage();
  EXPECT_TRUE(status.startsWith("Cannot read the folder")) << status.toStdString();
  EXPECT_TRUE(logged(status.toStdString()));
}

TEST_F(Browsers, ALargeFolderFillsInSlicesAndListingAnotherDropsTheRest) {
  fs::create_directory(files.path() / "many");
  // Each row draws its icon from a 256-pixel picture.
  const ByteVector icon = iconFile({256});
  for (int i = 0; i < 400; ++i) write("many/" + std::to_string(i) + ".ico", icon);
  write("one.ico", iconFile({16}));
  images().showFolder(files.path() / "many");
  EXPECT_TRUE(images().filling());
  EXPECT_LT(view(images()).topLevelItemCount(), 401);
  list(images(), files.path());
  EXPECT_EQ(rows(images()), (std::vector<std::string>{" ..|||", " many|||", "one.ico|1||"}));
}

}  // namespace

}  // namespace delvix::testing
