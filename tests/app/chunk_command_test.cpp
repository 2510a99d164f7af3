// Add chunk and Remove chunk in the window: the dialog's pages, what OK and Remove chunk change in the tree
// and the thumbnail list, and what is selected afterwards.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <map>

#include "app/secondary_windows.h"
#include "fixtures.h"
#include "support/riff_builder.h"
#include "widgets/picture_box.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

// Counts what a QAbstractItemModelTester finds wrong with the model it watches.
class ModelChecker {
 public:
  explicit ModelChecker(QAbstractItemModel* model) {
    failures_ = 0;
    previous_ = qInstallMessageHandler(&ModelChecker::handle);
    tester_ =
        std::make_unique<QAbstractItemModelTester>(model, QAbstractItemModelTester::FailureReportingMode::Warning);
  }
  ~ModelChecker() {
    tester_.reset();
    qInstallMessageHandler(previous_);
  }
  int failures() const { return failures_; }

 private:
  static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && message.contains("FAIL")) {
      ++failures_;
      ADD_FAILURE() << message.toStdString();
    }
  }
  static inline int failures_ = 0;
  QtMessageHandler previous_ = nullptr;
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

// A mono 8-bit wave file with an INFO list (artist, name) and a chunk kept as it was read.
ByteVector waveWithInfo() {
  return riff("WAVE", {waveFormat({}), chunk("data", ByteVector(64, 0x40)),
                       list("INFO", {chunk("IART", text("Ann")), chunk("INAM", text("Bell"))}),
                       chunk("bext", ByteVector(6, 0))});
}

class ChunkCommand : public WindowTest {
 protected:
  app::TFormChunk& dialog() {
    if (!windows_.chunk) {
      windows_ = app::createSecondaryWindows(&window());
      window().setSecondaryWindows(windows_);
    }
    return *windows_.chunk;
  }
  template <class Widget = QWidget>
  Widget* part(const char* name) {
    auto* found = dialog().findChild<Widget*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QAbstractItemModel* treeModel() { return window().findChild<QTreeView*>("TreeView1")->model(); }
  void openAndAdd(const std::filesystem::path& path) {
    openThroughDialog(path);
    dialog();
    window().ButPlusClick();
    ASSERT_TRUE(dialog().isVisible());
  }
  // Clicks the box's indicator: a box stretched by its layout does not take clicks beyond its caption.
  void tick(const char* name) {
    auto* box = part<QCheckBox>(name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  void clickOk() { QTest::mouseClick(part<QPushButton>("XiButton1"), Qt::LeftButton); }

  app::SecondaryWindows windows_;
};

struct BoxState {
  bool enabled;
  bool checked;
  bool operator==(const BoxState&) const = default;
};

TEST_F(ChunkCommand, TheDialogOffersWhatEachKindOfFileCanTake) {
  struct Case {
    const char* name;
    ByteVector bytes;
    // Text of the INFO items present, by check box; every other item's box shows `otherInfo`.
    std::map<std::string, std::string> present;
    BoxState otherInfo, rate, sequence, fact;
    bool images;
  };
  const std::vector<Case> cases = {
      {"info.wav",
       waveWithInfo(),
       {{"CheckBoxIART", "Ann"}, {"CheckBoxINAM", "Bell"}},
       {true, false},
       {false, false},
       {false, false},
       {true, false},
       false},
      {"seq.ani", animatedCursor(2, 3, 6, true), {}, {true, false}, {true, false}, {false, true}, {false, false}, true},
      {"two.ico", iconFile({16, 32}), {}, {false, false}, {false, false}, {false, false}, {false, false}, true},
  };
  const char* const infoBoxes[] = {"CheckBoxINAM",   "CheckBoxIART", "CheckDate",   "CheckEngineer", "CheckSoftware",
                                   "CheckCopyright", "CheckProduct", "CheckSource", "CheckComments", "CheckSubject"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    openAndAdd(write(c.name, c.bytes));
    for (const char* name : infoBoxes) {
      SCOPED_TRACE(name);
      auto* check = part<QCheckBox>(name);
      const std::string editName =
          std::string("Edit") + (std::string(name).starts_with("CheckBox") ? name + 8 : name + 5);
      auto* edit = part<QLineEdit>(editName.c_str());
      const auto found = c.present.find(name);
      const BoxState expected = found != c.present.end() ? BoxState{false, true} : c.otherInfo;
      EXPECT_EQ((BoxState{check->isEnabled(), check->isChecked()}), expected);
      EXPECT_EQ(edit->text().toStdString(), found != c.present.end() ? found->second : "");
      EXPECT_FALSE(edit->isEnabled());
    }
    auto state = [this](const char* name) {
      auto* box = part<QCheckBox>(name);
      return BoxState{box->isEnabled(), box->isChecked()};
    };
    EXPECT_EQ(state("CheckBoxrate"), c.rate);
    EXPECT_EQ(state("CheckBoxseq"), c.sequence);
    EXPECT_EQ(state("CheckFact"), c.fact);
    EXPECT_EQ(part("SpeedButtonAdd")->isEnabled(), c.images);
    EXPECT_EQ(part<QLabel>("Panel1")->text(), "None");
    part<QPushButton>("XiButton2")->click();
    EXPECT_FALSE(dialog().isVisible());
  }
}

TEST_F(ChunkCommand, OkAddsTheTickedInfoItemsAndFactToAWaveFile) {
  ModelChecker checker(treeModel());
  openAndAdd(write("plain.wav", waveFile(2, 16)));
  tick("CheckBoxINAM");
  ASSERT_TRUE(part("EditINAM")->isEnabled());
  QTest::keyClicks(part("EditINAM"), "Bell");
  tick("CheckComments");
  QTest::keyClicks(part("EditComments"), "Ding");
  tick("CheckEngineer");
  tick("CheckEngineer");
  EXPECT_FALSE(part("EditEngineer")->isEnabled());
  part<QTabWidget>("PageControl1")->setCurrentIndex(1);
  QCoreApplication::processEvents();
  tick("CheckFact");
  clickOk();

  EXPECT_FALSE(dialog().isVisible());
  std::vector<std::string> items = treeRows("List_info");
  std::ranges::sort(items);
  EXPECT_EQ(items, (std::vector<std::string>{"comments", "name"}));
  const std::vector<std::string> riffRows = treeRows("RIFF_WAVE");
  EXPECT_NE(std::ranges::find(riffRows, "fact"), riffRows.end());
  EXPECT_EQ(text("Panel5").toStdString(), window().document().statusText);
  EXPECT_EQ(checker.failures(), 0);
}

TEST_F(ChunkCommand, AnImageFromAnotherFileIsAddedAsTheLastPictureOrRefused) {
  struct Case {
    const char* target;
    ByteVector targetBytes;
    const char* source;
    ByteVector sourceBytes;
    std::vector<std::string> pictures;  // the picture nodes afterwards
    const char* pictureParent;          // nullptr: the top level
    std::string error;
  };
  const std::vector<Case> cases = {
      {"two.ico", iconFile({16, 32}), "big.ico", iconFile({48}), {"picture_1", "picture_2", "picture_3"}, nullptr, ""},
      {"walk.ani",
       animatedCursor(2, 2),
       "frame.ico",
       iconFile({32}),
       {"picture_1", "picture_2", "picture_3"},
       "List_images",
       ""},
      {"run.ani",
       animatedCursor(2, 2),
       "big.cur",
       iconFile({48}, 2),
       {"picture_1", "picture_2"},
       "List_images",
       "Cannot add the image with such size."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    ModelChecker checker(treeModel());
    openAndAdd(write(c.target, c.targetBytes));
    const std::filesystem::path source = write(c.source, c.sourceBytes);
    prompter.choose(source.string());
    part<QToolButton>("SpeedButtonAdd")->click();
    EXPECT_EQ(prompter.fileRequests.back().filter,
              "Icon and cursor files (*.ico,*.cur)|*.ico;*.cur|Only icons (*.ico)|*.ico|Only cursors (*.cur)|*.cur");
    EXPECT_TRUE(logged("Add: opening of file: " + source.string()));
    EXPECT_EQ(part<QLineEdit>("Edit1")->text().toStdString(), source.string());
    EXPECT_EQ(part<QLabel>("Label2")->text(), "This file contains 1 icons.");
    ASSERT_EQ(part<QListWidget>("ListBox1")->count(), 1);
    EXPECT_EQ(part<QLabel>("Panel1")->text(), "1");
    EXPECT_FALSE(part<app::PictureBox>("PaintBox1")->picture().isNull());
    prompter.messages.clear();
    clickOk();

    EXPECT_EQ(thumbnailRowCount(), static_cast<int>(c.pictures.size()));
    std::vector<std::string> pictures = treeRows(c.pictureParent);
    std::erase_if(pictures, [](const std::string& row) { return !row.starts_with("picture_"); });
    EXPECT_EQ(pictures, c.pictures);
    if (c.error.empty()) {
      EXPECT_TRUE(prompter.messages.empty());
      EXPECT_EQ(selectedTreeNode(), c.pictures.back());
      EXPECT_EQ(window().currentPictureIndex(), static_cast<int>(c.pictures.size()) - 1);
    } else {
      EXPECT_TRUE(prompter.showed(c.error));
    }
    EXPECT_EQ(checker.failures(), 0);

    // Shown again, the dialog keeps the file but no line is selected and nothing is previewed.
    window().ButPlusClick();
    EXPECT_EQ(part<QLabel>("Panel1")->text(), "None");
    EXPECT_TRUE(part<app::PictureBox>("PaintBox1")->picture().isNull());
    EXPECT_EQ(part<QListWidget>("ListBox1")->count(), 1);
    part<QPushButton>("XiButton2")->click();
  }
}

TEST_F(ChunkCommand, ADamagedImageSourceGivesOneBoxWithItsNameAndTheReasons) {
  openAndAdd(write("app.ico", iconFile({16})));
  const ByteVector whole = iconFile({16, 32});
  prompter.choose(write("cut.ico", ByteVector(whole.begin(), whole.begin() + 6 + 32 + 20)).string());
  part<QToolButton>("SpeedButtonAdd")->click();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "This file is corrupt.");
  const std::string& details = prompter.messages[0].details;
  EXPECT_EQ(details.rfind("cut.ico\npicture_1: the image of ", 0), 0u) << details;
  EXPECT_NE(details.find("runs past the end of the file of 58 bytes.\nHad been read only 20 bytes."), std::string::npos)
      << details;
  part<QPushButton>("XiButton2")->click();
}

TEST_F(ChunkCommand, RemovingAPictureRenumbersTheRestAndSelectsTheOneInItsPlace) {
  struct Case {
    const char* name;
    ByteVector bytes;
    const char* removed;
    const char* pictureParent;  // nullptr: the top level
    std::vector<std::string> pictures;
    std::string selected;
    bool removableAfter;
  };
  const std::vector<Case> cases = {
      {"three.ico", iconFile({16, 32, 48}), "picture_2", nullptr, {"picture_1", "picture_2"}, "picture_2", true},
      {"two.ico", iconFile({16, 32}), "picture_2", nullptr, {"picture_1"}, "picture_1", false},
      {"three.ani", animatedCursor(3, 3), "picture_3", "List_images", {"picture_1", "picture_2"}, "picture_2", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelChecker checker(treeModel());
    openThroughDialog(write(c.name, c.bytes));
    selectTreeNode(c.removed);
    ASSERT_TRUE(enabled("ButMinus"));
    window().ButMinusClick();

    std::vector<std::string> pictures = treeRows(c.pictureParent);
    std::erase_if(pictures, [](const std::string& row) { return !row.starts_with("picture_"); });
    EXPECT_EQ(pictures, c.pictures);
    EXPECT_EQ(thumbnailRowCount(), static_cast<int>(c.pictures.size()));
    EXPECT_EQ(selectedTreeNode(), c.selected);
    EXPECT_EQ(window().currentPictureIndex(), std::stoi(c.selected.substr(8)) - 1);
    EXPECT_EQ(enabled("ButMinus"), c.removableAfter);
    EXPECT_EQ(enabled("Removechunk1"), c.removableAfter);
    if (std::string(c.name).ends_with(".ico")) {
      std::vector<std::string> entries;
      for (std::size_t i = 1; i <= c.pictures.size(); ++i) entries.push_back("icon_dir_" + std::to_string(i));
      EXPECT_EQ(treeRows("header"), entries);
    } else {
      EXPECT_TRUE(enabled("ButStart"));
      EXPECT_FALSE(enabled("ButForward"));
      EXPECT_FALSE(enabled("ButBack"));
    }
    EXPECT_EQ(checker.failures(), 0);
  }
}

TEST_F(ChunkCommand, RemovingKeptChunksAndInfoItemsKeepsTheTreeViewConsistent) {
  ModelChecker checker(treeModel());
  openThroughDialog(write("info.wav", waveWithInfo()));
  struct Step {
    const char* removed;
    const char* parent;
    std::vector<std::string> rowsAfter;
    std::string selected;  // empty: any node still in the tree
  };
  const std::vector<Step> steps = {
      {"chunk_bext", "RIFF_WAVE", {"fmt", "data", "List_info"}, ""},
      {"name", "List_info", {"artist"}, "artist"},
      {"artist", "RIFF_WAVE", {"fmt", "data"}, "data"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.removed);
    selectTreeNode(step.removed);
    ASSERT_TRUE(enabled("ButMinus"));
    window().ButMinusClick();
    EXPECT_EQ(treeRows(step.parent), step.rowsAfter);
    const std::string selected = selectedTreeNode();
    if (step.selected.empty())
      EXPECT_NE(window().document().tree.findFirst(selected), nullptr) << selected;
    else
      EXPECT_EQ(selected, step.selected);
    EXPECT_EQ(text("Panel5").toStdString(), window().document().statusText);
  }
  EXPECT_EQ(checker.failures(), 0);
}

}  // namespace
}  // namespace delvix::testing
