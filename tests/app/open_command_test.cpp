#include <sys/stat.h>

#include <QLineEdit>
#include <QPixmap>
#include <QSlider>
#include <QTreeView>
#include <stdexcept>

#include "app/thumbnail_model.h"
#include "fixtures.h"
#include "preview/thumbnail.h"
#include "support/riff_builder.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

using Strings = std::vector<std::string>;

class OpenCommand : public WindowTest {};

// Thumbnails are drawn for the rows the list asks for, and only the last few hundred are kept.
TEST_F(OpenCommand, ThumbnailsAreKeptForTheRowsShownOnly) {
  openThroughDialog(write("many.ico", iconFile(std::vector<int>(700, 16))));
  auto* list = window().findChild<QTreeView*>("ListPreview");
  auto* thumbnails = dynamic_cast<app::ThumbnailModel*>(list->model());
  ASSERT_NE(thumbnails, nullptr);
  ASSERT_EQ(thumbnails->rowCount(), 700);
  // Fitting the columns measures the rows shown, not hundreds more.
  EXPECT_LT(thumbnails->thumbnailsKept(), 64u);
  for (int row = 0; row < 700; row += 7) {
    list->scrollTo(thumbnails->index(row, 0));
    EXPECT_FALSE(thumbnails->index(row, 0).data(Qt::DecorationRole).isNull());
  }
  EXPECT_LE(thumbnails->thumbnailsKept(), app::ThumbnailModel::thumbnailsKeptAtMost);
  EXPECT_EQ(thumbnails->index(699, 0).data(Qt::DecorationRole).value<QPixmap>().size(),
            QSize(preview::thumbnailBox, preview::thumbnailBox));
  EXPECT_GE(thumbnailColumnWidth(0), preview::thumbnailBox + list->fontMetrics().horizontalAdvance("700"));
}

TEST_F(OpenCommand, AnIconFileShowsItsTreeThumbnailsAndStatusAndSelectsTheFirstPicture) {
  const auto path = write("app.ico", iconFile({16, 32}));
  openThroughDialog(path);

  ASSERT_EQ(prompter.fileRequests.size(), 1u);
  EXPECT_EQ(prompter.fileRequests[0].filter.rfind("All files (*.ani,*.cur,*.ico,*.exe,*.dll,*.ocx,*.cpl,*.wav)|", 0),
            0u);
  EXPECT_TRUE(prompter.messages.empty());

  EXPECT_EQ(treeRows(), (Strings{"header", "picture_1", "picture_2"}));
  EXPECT_EQ(treeRows("header"), (Strings{"icon_dir_1", "icon_dir_2"}));
  EXPECT_EQ(selectedTreeNode(), "picture_1");
  EXPECT_EQ(window().currentPictureIndex(), 0);

  EXPECT_EQ(text("Panel3").toStdString(), " " + files.path().string() + "/");
  EXPECT_EQ(text("Panel4"), " app.ico");
  EXPECT_EQ(hint("Panel4"), " app.ico");
  EXPECT_EQ(text("Panel5").toStdString(), " Size: " + std::to_string(std::filesystem::file_size(path)) + " bytes");
  EXPECT_FALSE(widget("Label6")->isVisibleTo(&window()));

  EXPECT_EQ(thumbnailCaptions(), (Strings{"Frames", "Size", "Bits per pixel"}));
  ASSERT_EQ(thumbnailRowCount(), 2);
  EXPECT_EQ(thumbnailRow(0), (Strings{"1", "16x16", "32"}));
  EXPECT_EQ(thumbnailRow(1), (Strings{"2", "32x32", "32"}));
  auto* list = window().findChild<QTreeView*>("ListPreview");
  // The thumbnail and its number beside it fit the first column; the texts fit theirs.
  EXPECT_EQ(list->iconSize(), QSize(preview::thumbnailBox, preview::thumbnailBox));
  EXPECT_GE(thumbnailColumnWidth(0), preview::thumbnailBox + list->fontMetrics().horizontalAdvance("2"));
  EXPECT_GE(thumbnailColumnWidth(1), list->fontMetrics().horizontalAdvance("32x32"));
  EXPECT_GE(thumbnailColumnWidth(2), list->fontMetrics().horizontalAdvance("Bits per pixel"));
  EXPECT_FALSE(list->model()->index(0, 0).data(Qt::DecorationRole).isNull());
  EXPECT_EQ(list->currentIndex().row(), 0);

  for (const char* on : {"ButSaveAll", "Saveall1", "ButPlus", "Addchunk1", "ButSave", "ButCopy", "SaveBlitting",
                         "SaveFrameBlit", "Copy1", "CopyBlitting1", "ButUp", "ButMinus", "Removechunk1"})
    EXPECT_TRUE(enabled(on)) << on;
  for (const char* off : {"ButDown", "ButStart", "ButForward", "ButBack", "ButApply"})
    EXPECT_FALSE(enabled(off)) << off;
  EXPECT_EQ(hint("ButSaveAll"), "Save all");
  EXPECT_TRUE(widget("GroupImage")->isVisibleTo(&window()));
  EXPECT_FALSE(widget("GroupMusic")->isVisibleTo(&window()));

  const auto& lines = window().messageLog().lines();
  const auto opening = std::find(lines.begin(), lines.end(), "opening of file: " + path.string());
  ASSERT_NE(opening, lines.end());
  ASSERT_NE(opening, lines.begin());
  EXPECT_EQ(*(opening - 1), "--------------");
  ASSERT_NE(opening + 1, lines.end());
  EXPECT_EQ(*(opening + 1), "--------------");
}

TEST_F(OpenCommand, ACursorFileWithACapitalExtensionIsReadAsAnIconFile) {
  write("POINTER.CUR", iconFile({32}, 2));
  std::filesystem::create_directory(files.path() / "sub");
  openThroughDialog(files.path() / "sub" / ".." / "POINTER.CUR");
  EXPECT_EQ(text("Panel3").toStdString(), " " + files.path().string() + "/");
  EXPECT_EQ(treeRows(), (Strings{"header", "picture_1"}));
  EXPECT_EQ(thumbnailRow(0), (Strings{"1", "32x32", "32"}));
  EXPECT_EQ(selectedTreeNode(), "picture_1");
}

TEST_F(OpenCommand, SelectingAThumbnailSelectsItsPictureAndTheOtherWayRound) {
  openThroughDialog(write("app.ico", iconFile({16, 32, 48})));
  auto* list = window().findChild<QTreeView*>("ListPreview");
  list->setCurrentIndex(list->model()->index(2, 0));
  EXPECT_EQ(selectedTreeNode(), "picture_3");
  EXPECT_EQ(window().currentPictureIndex(), 2);

  auto* tree = window().findChild<QTreeView*>("TreeView1");
  const auto picture = tree->model()->index(1, 0);  // picture_1, below "header"
  tree->setCurrentIndex(tree->model()->index(0, 0, picture));
  EXPECT_EQ(window().currentPictureIndex(), 0);
  EXPECT_EQ(list->currentIndex().row(), 0);
}

TEST_F(OpenCommand, AnAnimatedCursorShowsItsRatesAndEnablesThePlayer) {
  openThroughDialog(write("busy.ani", animatedCursor(3, 3, 8)));
  EXPECT_EQ(treeRows(), (Strings{"RIFF_ACON"}));
  EXPECT_EQ(selectedTreeNode(), "picture_1");
  EXPECT_EQ(text("Panel5").toStdString().rfind(" RIFF size: ", 0), 0u);
  EXPECT_EQ(thumbnailCaptions(), (Strings{"Frames", "Time(jif)", "Bits per pixel"}));
  ASSERT_EQ(thumbnailRowCount(), 3);
  EXPECT_EQ(thumbnailRow(2), (Strings{"3", "8", "8"}));
  EXPECT_TRUE(enabled("ButStart"));
  EXPECT_TRUE(enabled("ButForward"));
  EXPECT_FALSE(enabled("ButBack"));
  EXPECT_TRUE(enabled("ButSaveAll"));
  EXPECT_EQ(hint("ButSaveAll"), "Save all");
}

TEST_F(OpenCommand, AnAnimatedCursorWithASequenceShowsTheTimesOfTheStepsOfEachFrame) {
  ByteVector frames{'f', 'r', 'a', 'm'};
  for (int i = 0; i < 3; ++i) {
    ByteVector icon = iconChunk(DibImage{.width = 32, .height = 32, .bitCount = 8});
    frames.insert(frames.end(), icon.begin(), icon.end());
  }
  openThroughDialog(write(
      "seq.ani", riff("ACON", {aniHeader({.frames = 3, .steps = 4, .attributes = 3}), chunk("rate", u32s({5, 6, 7, 8})),
                               chunk("seq ", u32s({0, 1, 0, 1})), chunk("LIST", frames)})));
  ASSERT_EQ(thumbnailRowCount(), 3);
  EXPECT_EQ(thumbnailRow(0), (Strings{"1", "5, 7", "8"}));
  EXPECT_EQ(thumbnailRow(1), (Strings{"2", "6, 8", "8"}));
  EXPECT_EQ(thumbnailRow(2), (Strings{"3", "", "8"}));  // no step shows it
}

TEST_F(OpenCommand, AnAnimatedCursorOfOneStepLeavesThePlayerOff) {
  openThroughDialog(write("still.ani", animatedCursor(2, 1)));
  EXPECT_EQ(thumbnailRowCount(), 2);
  EXPECT_FALSE(enabled("ButStart"));
  EXPECT_FALSE(enabled("ButForward"));
}

TEST_F(OpenCommand, AStereoPcmWaveEnablesBothChannelsAndShowsTheWaveGroup) {
  openThroughDialog(write("tone.wav", waveFile(2, 16)));
  EXPECT_EQ(treeRows(), (Strings{"RIFF_WAVE"}));
  auto* tree = window().findChild<QTreeView*>("TreeView1");
  EXPECT_TRUE(tree->isExpanded(tree->model()->index(0, 0)));
  EXPECT_TRUE(widget("GroupMusic")->isVisibleTo(&window()));
  EXPECT_FALSE(widget("GroupImage")->isVisibleTo(&window()));
  for (const char* on : {"BPlayLeft", "BSaveLeft", "BPlayRight", "BSaveRight", "BRunPlay", "WaveScrollBar", "ButPlus",
                         "Addchunk1", "ButSaveAll", "Saveall1"})
    EXPECT_TRUE(enabled(on)) << on;
  for (const char* off : {"BStopLeft", "BStopRight", "BStopPlay", "BDelete", "ButSave", "ButCopy"})
    EXPECT_FALSE(enabled(off)) << off;
  EXPECT_EQ(hint("ButSaveAll"), "Save");
  EXPECT_EQ(text("PanelForTime"), "0:00:00.000 (0)");
}

TEST_F(OpenCommand, WaveFormatsDecideWhatMayBePlayedAndSaved) {
  openThroughDialog(write("mono.wav", waveFile(1, 8)));
  EXPECT_TRUE(enabled("BPlayLeft"));
  EXPECT_EQ(window().findChild<QWidget*>("BPlayRight"), nullptr);  // one channel, one box

  // 24-bit PCM is drawn, played and saved like 16-bit, channel by channel too.
  openThroughDialog(write("deep.wav", waveFile(2, 24)));
  EXPECT_EQ(treeRows(), (Strings{"RIFF_WAVE"}));
  for (const char* on : {"BRunPlay", "BPlayLeft", "BSaveLeft", "WaveScrollBar", "ButPlus", "ButSaveAll"})
    EXPECT_TRUE(enabled(on)) << on;

  // A compressed format is drawn (decoded), and may be played and saved whole, but its channels are not
  // saved apart.
  openThroughDialog(write("adpcm.wav", waveFile(1, 4, 2)));
  EXPECT_TRUE(enabled("BRunPlay"));
  EXPECT_TRUE(enabled("ButSaveAll"));
  EXPECT_FALSE(enabled("BSaveLeft"));
}

TEST_F(OpenCommand, AWaveWithoutDataIsShownButCannotBeSavedOrPlayed) {
  openThroughDialog(write("empty.wav", waveWithoutData()));
  EXPECT_EQ(treeRows(), (Strings{"RIFF_WAVE"}));
  for (const char* off : {"BRunPlay", "BPlayLeft", "ButSaveAll", "Saveall1", "ButPlus", "Addchunk1"})
    EXPECT_FALSE(enabled(off)) << off;
}

TEST_F(OpenCommand, AModuleShowsItsResourcesAndCounters) {
  openThroughDialog(write("tool.dll", moduleFile()));
  const auto rows = treeRows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_NE(rows[0].find("[Icon_1]"), std::string::npos);
  EXPECT_NE(rows[1].find("[Icon_2]"), std::string::npos);
  EXPECT_NE(rows[2].find("[Cursor_1]"), std::string::npos);
  EXPECT_NE(rows[3].find("[Bitmap_1]"), std::string::npos);
  EXPECT_TRUE(widget("Label6")->isVisibleTo(&window()));
  EXPECT_EQ(text("Label6"), "2");
  EXPECT_EQ(text("Label7"), "1");
  EXPECT_EQ(text("Label8"), "1");
  EXPECT_EQ(text("Panel5"), "");
  EXPECT_EQ(thumbnailCaptions(), (Strings{"Frames", "Index", "Bits per pixel"}));
  EXPECT_EQ(thumbnailRowCount(), 5);
  // The module column tells each row's kind, and is as wide as its longest text.
  auto* list = window().findChild<QTreeView*>("ListPreview");
  for (int row = 0; row < 5; ++row) {
    const std::string kind = row < 3 ? "[Icon]" : row == 3 ? "[Cursor]" : "[Bitmap]";
    EXPECT_NE(thumbnailRow(row)[1].find(kind), std::string::npos) << thumbnailRow(row)[1];
    EXPECT_GE(thumbnailColumnWidth(1),
              list->fontMetrics().horizontalAdvance(QString::fromStdString(thumbnailRow(row)[1])));
  }
  EXPECT_EQ(thumbnailRow(0)[0], "1");
  EXPECT_EQ(selectedTreeNode(), "picture_1");
  EXPECT_EQ(hint("ButSaveAll"), "Save group");
  EXPECT_FALSE(enabled("ButPlus"));
  EXPECT_FALSE(enabled("ButStart"));
  EXPECT_TRUE(enabled("ButSave"));
}

TEST_F(OpenCommand, AModuleReadShowsZeroCountersWhileItIsRead) {
  reader = [this](const std::filesystem::path& path, model::Document& document, const formats::ReadSettings& settings,
                  formats::Reporter& reporter) {
    EXPECT_EQ(text("Label6"), "0");
    EXPECT_EQ(text("Label7"), "0");
    EXPECT_EQ(text("Label8"), "0");
    return formats::readDocument(path, document, settings, reporter);
  };
  openThroughDialog(write("first.dll", moduleFile()));
  EXPECT_EQ(text("Label6"), "2");
  openThroughDialog(write("second.dll", moduleFile()));
}

TEST_F(OpenCommand, AModuleReadTakesOnlyTheKindsTheSettingsAllow) {
  window().settings().icons = false;
  openThroughDialog(write("tool.dll", moduleFile()));
  EXPECT_EQ(text("Label6"), "?");
  EXPECT_EQ(thumbnailRowCount(), 2);
}

TEST_F(OpenCommand, AMissingFileIsReportedAndNothingChanges) {
  openThroughDialog(write("app.ico", iconFile({16})));
  const auto linesBefore = window().messageLog().lines().size();
  openThroughDialog(files.path() / "gone.ico");
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "File not found.");
  EXPECT_EQ(prompter.messages[0].buttons, platform::MessageButtons::yes);
  EXPECT_EQ(window().messageLog().lines().size(), linesBefore);
  EXPECT_EQ(treeRows(), (Strings{"header", "picture_1"}));
  EXPECT_EQ(text("Panel4"), " app.ico");
}

TEST_F(OpenCommand, AFifoIsNamedWithoutWaitingAndNothingChanges) {
  openThroughDialog(write("app.ico", iconFile({16})));
  const auto fifo = files.path() / "pipe.ico";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  openThroughDialog(fifo);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "pipe.ico is a FIFO (named pipe), not a regular file.");
  EXPECT_EQ(treeRows(), (Strings{"header", "picture_1"}));
}

TEST_F(OpenCommand, CancellingTheDialogChangesNothing) {
  window().ButLoadClick();
  EXPECT_EQ(prompter.fileRequests.size(), 1u);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(text("Panel3"), " Select ani, ico, cur, exe, dll, ocx, cpl, scr or wav file");
  EXPECT_FALSE(logged("--------------"));
}

TEST_F(OpenCommand, AnUnsupportedKindIsNamedAndTheOpenDocumentStays) {
  openThroughDialog(write("app.ico", iconFile({16, 32})));
  openThroughDialog(write("notes.xyz", {1, 2, 3}));
  EXPECT_TRUE(prompter.showed("Unsupported file type: .xyz"));
  EXPECT_TRUE(logged("Unsupported file type: .xyz"));
  EXPECT_FALSE(logged("opening of file: " + (files.path() / "notes.xyz").string()));
  EXPECT_EQ(treeRows(), (Strings{"header", "picture_1", "picture_2"}));
  EXPECT_EQ(thumbnailRowCount(), 2);
  EXPECT_EQ(text("Panel4"), " app.ico");
  EXPECT_TRUE(enabled("ButSaveAll"));
}

TEST_F(OpenCommand, TheFirstBytesDecideTheKindWhateverTheName) {
  const struct {
    const char* name;
    ByteVector bytes;
    Strings rows;
    bool wave;
    bool mismatch;
  } cases[] = {
      {"tone.ico", waveFile(1, 8), {"RIFF_WAVE"}, true, true},
      {"app.wav", iconFile({16}), {"header", "picture_1"}, false, true},
      {"copy", animatedCursor(2, 2), {}, false, false},
      {"tool.bin", moduleFile(), {}, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    prompter.messages.clear();
    const auto path = write(c.name, c.bytes);
    openThroughDialog(path);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
    EXPECT_TRUE(logged("opening of file: " + path.string()));
    if (!c.rows.empty()) EXPECT_EQ(treeRows(), c.rows);
    EXPECT_GT(treeRows().size(), 0u);
    EXPECT_EQ(widget("GroupMusic")->isVisibleTo(&window()), c.wave);
    EXPECT_EQ(logged(path.string() + " holds " +
                     (c.wave ? "a wave file; read as a wave file" : "an icon file; read as an icon file")),
              c.mismatch);
  }
}

TEST_F(OpenCommand, AnErrorEscapingTheReaderIsReportedAndTheViewsStayUsable) {
  reader = [](const std::filesystem::path&, model::Document& document, const formats::ReadSettings&,
              formats::Reporter&) -> formats::ReadOutcome {
    document.tree.addTopLevel("header");
    throw std::runtime_error("reader fault");
  };
  openThroughDialog(write("bad.ico", iconFile({16})));
  EXPECT_TRUE(prompter.showed("Invalid memory block address."));
  EXPECT_TRUE(logged("Invalid memory block address."));
  EXPECT_EQ(treeRows(), (Strings{"header"}));
  EXPECT_FALSE(enabled("ButSaveAll"));
}

TEST_F(OpenCommand, AReaderMessageIsShownAndLoggedAndARefusedFileLeavesTheViewsReset) {
  openThroughDialog(write("app.ico", iconFile({16})));
  openThroughDialog(write("broken.ico", {0, 0, 7, 0, 1, 0, 0, 0}));
  EXPECT_FALSE(prompter.messages.empty());
  EXPECT_TRUE(logged(prompter.messages.back().text));
  EXPECT_EQ(thumbnailRowCount(), 0);
  for (const char* off : {"ButSaveAll", "ButSave", "ButCopy", "ButPlus", "ButUp"}) EXPECT_FALSE(enabled(off)) << off;
  EXPECT_EQ(text("Panel4"), " broken.ico");
}

TEST_F(OpenCommand, ReopeningAFileLogsASecondOpeningAndResetsTheEditStrip) {
  const auto path = write("app.ico", iconFile({16}));
  openThroughDialog(path);
  auto* edit = window().findChild<QLineEdit*>("Edit1");
  edit->setText("12");
  openThroughDialog(path);
  const auto& lines = window().messageLog().lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "opening of file: " + path.string()), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "--------------"), 4);
  EXPECT_TRUE(edit->text().isEmpty());
  EXPECT_TRUE(edit->isVisibleTo(&window()));
  EXPECT_FALSE(widget("EditInfo")->isVisibleTo(&window()));
}

TEST_F(OpenCommand, AnIconFileWithoutImagesLeavesNothingToSelectOrSave) {
  openThroughDialog(write("none.ico", iconFile({})));
  EXPECT_EQ(thumbnailRowCount(), 0);
  EXPECT_FALSE(enabled("ButSave"));
  EXPECT_FALSE(enabled("ButCopy"));
}

}  // namespace

}  // namespace delvix::testing
