#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <set>

#include "app/secondary_windows.h"
#include "codecs/png_decode.h"
#include "fixtures.h"
#include "platform/qt_prompter.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

class Saving : public WindowTest {
 protected:
  void SetUp() override {
    windows_ = app::createSecondaryWindows(&window());
    window().setSecondaryWindows(windows_);
    openThroughDialog(write("app.ico", iconFile({16, 32})));
  }
  // Runs a save command, choosing `name` in the files folder; returns what was written there, if anything.
  std::optional<std::vector<std::uint8_t>> saveAs(void (app::TFormANI::*command)(), const std::string& name) {
    prompter.choose((files.path() / name).string());
    (window().*command)();
    return readFileBytes(files.path() / name);
  }
  std::string lastCaption() const { return prompter.fileRequests.back().caption; }

  app::SecondaryWindows windows_;
};

TEST_F(Saving, SaveAllFollowsTheTargetsExtensionAndLogsThePath) {
  const auto cursor = saveAs(&app::TFormANI::ButSaveAllClick, "all.cur");
  ASSERT_TRUE(cursor);
  EXPECT_EQ((*cursor)[2], 2);  // the header's type: a cursor file
  EXPECT_EQ(lastCaption(), "Save all");
  EXPECT_EQ(prompter.fileRequests.back().filter,
            "Icon files (*.ico)|*.ico|Cursor files (*.cur)|*.cur|X cursor files (*)|*");
  EXPECT_TRUE(logged("saving of file: " + (files.path() / "all.cur").string()));

  EXPECT_FALSE(saveAs(&app::TFormANI::ButSaveAllClick, "all.xyz"));
  EXPECT_TRUE(prompter.showed("Unsupported file type: .xyz"));
  EXPECT_TRUE(logged("Unsupported file type: .xyz"));
}

TEST_F(Saving, SaveFrameWritesOneImageOrAPictureOfTheShownFrame) {
  const auto one = saveAs(&app::TFormANI::ButSaveClick, "one.cur");
  ASSERT_TRUE(one);
  EXPECT_EQ(lastCaption(), "Save only current image");
  ASSERT_GE(one->size(), 22u);
  EXPECT_EQ((*one)[2], 2);
  EXPECT_EQ((*one)[4], 1);                // one image
  EXPECT_EQ((*one)[10] | (*one)[11], 0);  // hot spot 0, 0
  EXPECT_TRUE(logged("file for saving: " + (files.path() / "one.cur").string()));

  for (const char* name : {"frame.png", "frame.bmp", "frame.jpeg", "frame.JPG"})
    EXPECT_TRUE(saveAs(&app::TFormANI::ButSaveClick, name)) << name;
  EXPECT_FALSE(saveAs(&app::TFormANI::ButSaveClick, "frame"));
  EXPECT_TRUE(prompter.showed("Unsupported file type: (no extension)"));

  // With alpha blending chosen the alpha-blended picture is saved, under its own title and log line.
  action("AlphaBlending")->trigger();
  EXPECT_TRUE(saveAs(&app::TFormANI::ButSaveClick, "alpha.bmp"));
  EXPECT_EQ(lastCaption(), "Save the image created via alfa-blending ");
  EXPECT_TRUE(logged("file for saving (Alpha-Blending): " + (files.path() / "alpha.bmp").string()));

  // A PNG file holds the picture's own pixels and alpha in both modes, enlarged when scaling is chosen.
  EXPECT_TRUE(prompter.fileRequests.back().filter.ends_with("|PNG files(*.png)|*.png"));
  for (int step = 0; step < 2; ++step) window().findChild<QToolButton*>("ButUp")->click();
  action("Scaling")->trigger();
  const auto png = saveAs(&app::TFormANI::ButSaveClick, "alpha.png");
  ASSERT_TRUE(png);
  const auto picture = codecs::decodePng(*png);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width(), 48);
  EXPECT_EQ(picture->at(47, 47), gfx::rgb(128, 128, 128, 128));
}

TEST_F(Saving, AGifIsWrittenOnlyAfterItsOptionsAreConfirmedAndTheyStayForTheRun) {
  EXPECT_FALSE(saveAs(&app::TFormANI::ButSaveClick, "frame.gif"));
  ASSERT_TRUE(windows_.gifOptions->isVisible());
  auto* reduction = windows_.gifOptions->findChild<QComboBox*>("ComboReduction");
  reduction->setCurrentIndex(reduction->findText("Monochrome"));
  std::set<gfx::Pixel> colours(windows_.gifOptions->reduced().pixels().begin(),
                               windows_.gifOptions->reduced().pixels().end());
  colours.erase(gfx::transparentKey);
  EXPECT_LE(colours.size(), 2u);
  QTest::keyClick(windows_.gifOptions, Qt::Key_Escape);
  EXPECT_FALSE(readFileBytes(files.path() / "frame.gif"));
  EXPECT_EQ(window().gifSettings().reduction, codecs::gif::ColorReduction::rmMonochrome);

  prompter.choose((files.path() / "frame.gif").string());
  window().ButSaveClick();
  ASSERT_TRUE(windows_.gifOptions->isVisible());
  EXPECT_EQ(reduction->currentText(), "Monochrome");
  QTest::mouseClick(windows_.gifOptions->findChild<QPushButton*>("XiButton1"), Qt::LeftButton);
  const auto gif = readFileBytes(files.path() / "frame.gif");
  ASSERT_TRUE(gif);
  EXPECT_EQ(std::string(gif->begin(), gif->begin() + 6), "GIF89a");
}

TEST_F(Saving, CopyFrameTakesTheZoomedPictureWhenScalingIsChosen) {
  window().ButCopyClick();
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(16, 16));
  for (int step = 0; step < 2; ++step) window().findChild<QToolButton*>("ButUp")->click();
  action("Scaling")->trigger();
  window().ButCopyClick();
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(48, 48));
}

TEST(SaveDialog, ANameWithoutExtensionGetsTheChosenTypes) {
  EXPECT_EQ(platform::defaultSuffixOf("Icon files (*.ico) (*.ico)"), "ico");
  EXPECT_EQ(platform::defaultSuffixOf("JPEG files(*jpg) (*.jpg)"), "jpg");
  EXPECT_EQ(platform::defaultSuffixOf("All (*)"), "");
  // A description's own pattern list gives way to the real one; other parentheses stay.
  EXPECT_EQ(platform::qtNameFilters("Icons (*.ico,*.cur)|*.ico;*.cur|Bitmap (BMP)|*.bmp|JPEG files(*jpg)|*.jpg"),
            QStringList({"Icons (*.ico *.cur)", "Bitmap (BMP) (*.bmp)", "JPEG files (*.jpg)"}));
}

}  // namespace

}  // namespace delvix::testing

namespace delvix::testing {

namespace {

class SavingEveryKind : public WindowTest {
 protected:
  // Selects the first node whose name contains `containing`, or its first child.
  void select(const QString& containing, bool child = false) {
    auto* tree = window().findChild<QTreeView*>("TreeView1");
    const auto found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, containing, 1,
                                            Qt::MatchContains | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty()) << containing.toStdString();
    tree->setCurrentIndex(child ? tree->model()->index(0, 0, found.first()) : found.first());
  }
  std::filesystem::path saveAs(void (app::TFormANI::*command)(), const std::string& name) {
    const auto target = files.path() / name;
    prompter.choose(target.string());
    (window().*command)();
    return target;
  }
  static std::string peer(const std::string& command) { return runAndCapture(command + " 2>&1"); }
};

// A module's cursor group, its bitmap, an animated cursor and a wave file each save as their dialogs promise,
// and the peers read the files.
TEST_F(SavingEveryKind, ModulesAnimatedCursorsAndWavesSaveWhatPeersRead) {
  openThroughDialog(write("app.dll", moduleFile()));
  select("[Cursor_");
  EXPECT_TRUE(enabled("ButSaveAll"));
  const auto group = saveAs(&app::TFormANI::ButSaveAllClick, "group.cur");
  EXPECT_EQ(prompter.fileRequests.back().caption, "Save the group");
  ASSERT_TRUE(std::filesystem::exists(group));
  if (haveProgram("icotool")) {
    EXPECT_NE(peer("icotool -l '" + group.string() + "'").find("--cursor"), std::string::npos);
  }

  select("[Bitmap_", true);
  EXPECT_FALSE(enabled("ButSaveAll"));
  const auto bitmap = saveAs(&app::TFormANI::ButSaveClick, "bitmap.bmp");
  EXPECT_EQ(prompter.fileRequests.back().filter.rfind("Bitmap files(*.bmp)|*.bmp|", 0), 0u);
  ASSERT_TRUE(std::filesystem::exists(bitmap));
  if (haveProgram("identify")) {
    EXPECT_EQ(peer("identify -format '%m %wx%h' '" + bitmap.string() + "'"), "BMP3 2x2");
  }

  openThroughDialog(write("moving.ani", animatedCursor(2, 3, 6, true)));
  const auto ani = saveAs(&app::TFormANI::ButSaveAllClick, "again.ani");
  EXPECT_EQ(prompter.fileRequests.back().filter, "ANI-cursor files (*.ani)|*.ani|X cursor files (*)|*");
  const auto original = readFileBytes(files.path() / "moving.ani");
  EXPECT_EQ(readFileBytes(ani), original);

  // Save animation: only for animated cursors, as GIF or PNG.
  EXPECT_TRUE(enabled("SaveAnimation1"));
  const auto gif = saveAs(&app::TFormANI::SaveAnimationClick, "moving.gif");
  EXPECT_EQ(prompter.fileRequests.back().filter, "GIF files (*.gif)|*.gif|PNG files, animated (*.png)|*.png");
  if (haveProgram("identify")) {
    EXPECT_EQ(peer("identify -format '%T ' '" + gif.string() + "'"), "10 10 10 ");
  }
  EXPECT_FALSE(std::filesystem::exists(saveAs(&app::TFormANI::SaveAnimationClick, "moving.bmp")));
  EXPECT_TRUE(prompter.showed("Unsupported file type: .bmp. An animation is saved as a GIF or a PNG file."));

  openThroughDialog(write("sound.wav", waveFile(2, 16)));
  EXPECT_FALSE(enabled("SaveAnimation1"));
  const auto wave = saveAs(&app::TFormANI::ButSaveAllClick, "again.wav");
  ASSERT_TRUE(std::filesystem::exists(wave));
  if (haveProgram("soxi")) {
    EXPECT_EQ(peer("soxi -c '" + wave.string() + "'"), "2\n");
  }
}

}  // namespace

}  // namespace delvix::testing
