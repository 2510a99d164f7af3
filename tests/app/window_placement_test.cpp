#include <QApplication>
#include <QScreen>

#include "window_fixture.h"

namespace delvix::testing {

namespace {

// The offscreen platform's one screen is 800 x 800 pixels.
class WindowPlacement : public WindowTest {
 protected:
  // What Qt saves for a window of that geometry, claiming a screen of that width (Qt refuses to restore a
  // geometry saved on a screen of quite another width).
  static std::vector<std::uint8_t> geometryOf(const QRect& geometry, std::uint32_t screenWidth = 0) {
    QWidget scratch;
    scratch.setGeometry(geometry);
    const QByteArray bytes = scratch.saveGeometry();
    std::vector<std::uint8_t> saved(bytes.begin(), bytes.end());
    for (int i = 0; screenWidth && i < 4; ++i)
      saved.at(46 + i) = static_cast<std::uint8_t>(screenWidth >> (24 - 8 * i));
    return saved;
  }

  void showWindow(std::map<std::string, std::uint32_t> values, std::vector<std::uint8_t> geometry = {}) {
    values["Settings"] |= 0b000010;
    store.values = std::move(values);
    if (!geometry.empty()) store.bytes["Geometry"] = std::move(geometry);
    window().showAsStored();
    QApplication::processEvents();
  }

  static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(WindowPlacement, AWindowStoredLargerOrElsewhereOpensWhollyOnTheScreen) {
  struct Case {
    const char* what;
    std::map<std::string, std::uint32_t> values;
    std::vector<std::uint8_t> geometry;
  };
  const std::vector<Case> cases{
      {"larger than the screen", {}, geometryOf({300, 200, 1500, 950})},
      {"stored by a larger screen", {}, geometryOf({300, 200, 1500, 950}, 1600)},
      {"stored on a screen that is gone", {}, geometryOf({2500, 1400, 700, 400})},
      {"only the old size values", {{"Width Window", 790}, {"Height Window", 780}}, {}},
      {"a geometry that is not one", {}, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    store.bytes.clear();
    showWindow(c.values, c.geometry);
    EXPECT_TRUE(available().contains(window().frameGeometry())) << c.what;
    closeWindow();
  }
  // Refused by Qt, a geometry from another screen still gives place and size where they fit.
  showWindow({{"Width Window", 1500}}, geometryOf({20, 30, 700, 500}, 1600));
  EXPECT_EQ(window().geometry(), QRect(20, 30, 700, 500));
}

TEST_F(WindowPlacement, TheGeometryAndTheMaximisedStateComeBack) {
  showWindow({}, geometryOf({40, 60, 700, 420}));
  EXPECT_EQ(window().geometry(), QRect(40, 60, 700, 420));
  window().showMaximized();
  QApplication::processEvents();
  closeWindow();
  EXPECT_EQ(store.values["Settings"] & 1u, 1u);

  // Stored while maximised, the panes come back at their sizes once the window is maximised again.
  store.values["Width TreeView"] = 150;
  showWindow(store.values);
  EXPECT_TRUE(window().isMaximized());
  EXPECT_EQ(window().normalGeometry(), QRect(40, 60, 700, 420));
  EXPECT_EQ(widget("GroupBox1")->width(), 150);
}

TEST_F(WindowPlacement, EveryPaneGrowsWithTheWindow) {
  showWindow({});
  const char* const panes[] = {"GroupBox1", "GroupBox4", "ScrollBox1", "ListPreview"};
  std::vector<QSize> small;
  for (const char* pane : panes) small.push_back(widget(pane)->size());
  window().resize(1500, 780);
  QApplication::processEvents();
  EXPECT_GT(widget(panes[0])->width(), small[0].width() + 100) << "the tree";
  EXPECT_GT(widget(panes[1])->width(), small[1].width() + 100) << "the field table";
  EXPECT_GT(widget(panes[2])->height(), small[2].height() + 100) << "the preview";
  EXPECT_GT(widget(panes[3])->height(), small[3].height() + 100) << "the thumbnail list";
}

TEST_F(WindowPlacement, StoredPaneSizesAreTakenWhereThePanesFit) {
  // From a larger window they shrink with it, in proportion.
  showWindow({{"Width TreeView", 340}, {"Width ListView", 500}, {"Height ScrollBox", 330}},
             geometryOf({0, 0, 1500, 950}, 1600));
  EXPECT_LT(widget("GroupBox1")->width(), 340);
  EXPECT_GT(widget("PanelRight")->width(), window().width() / 4);
  EXPECT_LT(widget("ScrollBox1")->height(), 330);
  EXPECT_GT(widget("ListPreview")->height(), 150);
  closeWindow();
  // Below what its pane needs, a size gives way to the default.
  store.bytes.clear();
  showWindow({{"Height ScrollBox", 16}, {"Width TreeView", 240}});
  EXPECT_EQ(widget("ScrollBox1")->height(), 130);
  EXPECT_EQ(widget("GroupBox1")->width(), 240);
}

TEST_F(WindowPlacement, TheHelpPagesOpenOnTheScreenOfTheWindow) {
  std::filesystem::create_directory(programFolder.path() / "help");
  programFolder.write("help/index.html", {'h', 'e', 'l', 'p'});
  help.startable = false;
  showWindow({});
  window().ButHelpClick();
  QApplication::processEvents();
  auto* pages = window().findChild<QWidget*>("HelpWindow");
  ASSERT_NE(pages, nullptr);
  EXPECT_TRUE(pages->isVisible() && available().contains(pages->frameGeometry()));
}

}  // namespace

}  // namespace delvix::testing
