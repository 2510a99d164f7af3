#include "widgets/settings.h"

#include <gtest/gtest.h>

#include "platform/memory_settings_store.h"
#include "platform/qt_settings_store.h"
#include "support/temp_dir.h"

namespace delvix::app {

namespace {

constexpr WindowLimits limits{817, 1280, 1024};

class SettingsRead : public ::testing::Test {
 protected:
  Settings read() { return readSettings(store, limits, log); }

  platform::MemorySettingsStore store;
  MessageLog log;
};

TEST_F(SettingsRead, AnUnreadableKeyGivesTheDefaultsAndSaysSo) {
  store.readable = false;
  store.values["Table"] = 8;
  const Settings s = read();
  EXPECT_EQ(log.lines(), std::vector<std::string>{"Could not read the system registry!"});
  EXPECT_EQ(s.table, 7);
  EXPECT_EQ(s.editTable, 1);
  EXPECT_TRUE(s.saveOptions && s.icons && s.cursors && s.bitmaps && s.tipsAtStart);
  EXPECT_FALSE(s.maximised);
  EXPECT_EQ(s.layout.treeWidth, 185);
  EXPECT_EQ(s.layout.previewHeight, 130);
  EXPECT_FALSE(s.layout.windowWidth);
}

TEST_F(SettingsRead, StoredValuesAreTakenWithinTheirRanges) {
  store.values = {{"Settings", 0b011110},
                  {"Table", 8},
                  {"Color", 7},
                  {"Mask", 8},
                  {"Edit table", 0},
                  {"Edit data", 1},
                  {"Edit fact", 0},
                  {"Height ScrollBox", 16},
                  {"Width TreeView", 500},
                  {"Width ListView", 150},
                  {"Width Panel3", 40},
                  {"Width Panel4", 77},
                  {"Width Window", 1280},
                  {"Height Window", 150}};
  const Settings s = read();
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(s.table, 8);
  EXPECT_EQ(s.color, 7);
  EXPECT_EQ(s.mask, 8);
  EXPECT_EQ(s.editTable, 0);
  EXPECT_EQ(s.editData, 1);
  EXPECT_EQ(s.editFact, 0);
  EXPECT_FALSE(s.maximised);
  EXPECT_TRUE(s.saveOptions && s.icons && s.cursors && s.bitmaps);
  EXPECT_FALSE(s.tipsAtStart);
  EXPECT_EQ(s.layout.previewHeight, 16);
  EXPECT_EQ(s.layout.treeWidth, 500);
  EXPECT_EQ(s.layout.fieldsWidth, 150);
  EXPECT_EQ(s.layout.folderPanelWidth, 40);
  EXPECT_EQ(s.layout.namePanelWidth, 77);
  EXPECT_EQ(s.layout.windowWidth, 1280);
  EXPECT_EQ(s.layout.windowHeight, 150);
}

TEST_F(SettingsRead, ValuesOutOfRangeAreReplaced) {
  store.values = {{"Settings", 0},          {"Table", 9},           {"Color", 0},
                  {"Edit data", 2},         {"Width TreeView", 50}, {"Width ListView", 501},
                  {"Height ScrollBox", 15}, {"Width Window", 399},  {"Height Window", 1025}};
  const Settings s = read();
  EXPECT_EQ(s.table, 7);
  EXPECT_EQ(s.color, 7);
  EXPECT_EQ(s.editData, 1);
  // Half the designed width, rounded toward zero.
  EXPECT_EQ(s.layout.treeWidth, 408);
  EXPECT_EQ(s.layout.fieldsWidth, 408);
  EXPECT_EQ(s.layout.previewHeight, 408);
  EXPECT_EQ(s.layout.windowWidth, 690);
  EXPECT_EQ(s.layout.windowHeight, 470);
  EXPECT_FALSE(s.saveOptions || s.icons || s.tipsAtStart);
}

TEST_F(SettingsRead, AMissingValueTakesItsOwnDefaultNotTheValueReadBeforeIt) {
  store.values = {{"Settings", 0b100010}, {"Table", 8}, {"Edit table", 0}, {"Width TreeView", 321}};
  const Settings s = read();
  EXPECT_EQ(s.color, 7);
  EXPECT_EQ(s.mask, 7);
  EXPECT_EQ(s.editData, 1);
  EXPECT_EQ(s.editFact, 1);
  EXPECT_EQ(s.layout.fieldsWidth, 284);
  EXPECT_EQ(s.layout.folderPanelWidth, 278);
  EXPECT_FALSE(s.layout.windowWidth);
}

TEST_F(SettingsRead, AMissingSettingsValueKeepsTheDefaultFlags) {
  store.values = {{"Table", 8}};
  const Settings s = read();
  EXPECT_TRUE(s.saveOptions && s.icons && s.cursors && s.bitmaps && s.tipsAtStart);
  EXPECT_FALSE(s.maximised);
}

TEST_F(SettingsRead, AMaximisedWindowDoesNotReadItsStoredSize) {
  store.values = {{"Settings", 0b000011}, {"Width Window", 900}, {"Height Window", 600}};
  const Settings s = read();
  EXPECT_TRUE(s.maximised);
  EXPECT_FALSE(s.layout.windowWidth);
  EXPECT_FALSE(s.layout.windowHeight);
}

TEST(SettingsWrite, WritesEveryValueInOrderAndSettingsLast) {
  platform::MemorySettingsStore store;
  MessageLog log;
  Settings s;
  s.table = 8;
  s.tipsAtStart = false;
  s.layout.windowWidth = 700;
  s.layout.windowHeight = 500;
  s.recentFiles = {"/b.ani", "/a.ico"};
  writeSettings(store, s, log);
  std::vector<std::string> names({"Table", "Color", "Mask", "Edit table", "Edit data", "Edit fact", "Show hot spot",
                                  "Height ScrollBox", "Width TreeView", "Width ListView", "Width Panel3",
                                  "Width Panel4", "Width Window", "Height Window"});
  for (int i = 1; i <= 10; ++i) names.push_back("Recent file " + std::to_string(i));
  names.push_back("Settings");
  EXPECT_EQ(store.written, names);
  EXPECT_EQ(store.values["Table"], 8u);
  EXPECT_EQ(store.values["Settings"], 0b011110u);
  EXPECT_EQ(store.flushes, 1);

  // What was written reads back the same.
  const Settings back = readSettings(store, limits, log);
  EXPECT_EQ(back.table, 8);
  EXPECT_FALSE(back.tipsAtStart);
  EXPECT_EQ(back.layout.windowWidth, 700);
  EXPECT_EQ(back.recentFiles, s.recentFiles);
  EXPECT_TRUE(log.lines().empty());
}

TEST(SettingsWrite, TheDesktopStoreKeepsFileNamesByteForByte) {
  delvix::testing::TempDir folder;
  const std::string names[] = {"/a, b; c=d.ico", "@ByteArray(x)", "/two\nlines.cur", "/latin1-\xE9\xFF.wav",
                               " spaces "};
  {
    platform::QtSettingsStore store(QString::fromStdString((folder.path() / "settings.ini").string()));
    for (std::size_t i = 0; i < std::size(names); ++i) store.writeText("Recent file " + std::to_string(i), names[i]);
    store.flush();
  }
  platform::QtSettingsStore store(QString::fromStdString((folder.path() / "settings.ini").string()));
  for (std::size_t i = 0; i < std::size(names); ++i)
    EXPECT_EQ(store.readText("Recent file " + std::to_string(i)), names[i]);
  EXPECT_EQ(store.readText("Recent file 99"), std::nullopt);
}

TEST(SettingsWrite, AMaximisedWindowSetsBitZeroAndWritesNoHeight) {
  platform::MemorySettingsStore store;
  MessageLog log;
  Settings s;
  s.maximised = true;
  s.layout.windowWidth = 1280;
  s.layout.windowHeight = 1000;
  writeSettings(store, s, log);
  EXPECT_EQ(store.values["Settings"] & 1u, 1u);
  EXPECT_EQ(store.values.count("Height Window"), 0u);
  EXPECT_EQ(store.values.count("Width Window"), 1u);
}

TEST(SettingsWrite, TheWindowGeometryIsKeptAsBytesOfAPlausibleSize) {
  platform::MemorySettingsStore store;
  MessageLog log;
  Settings s;
  s.layout.windowGeometry = {1, 217, 208, 203, 3, 0};
  writeSettings(store, s, log);
  EXPECT_EQ(readSettings(store, limits, log).layout.windowGeometry, s.layout.windowGeometry);
  store.bytes["Geometry"].resize(4096);
  EXPECT_TRUE(readSettings(store, limits, log).layout.windowGeometry.empty());
}

TEST(SettingsWrite, AnUnwritableKeyWritesNothingAndSaysSo) {
  platform::MemorySettingsStore store;
  store.writable = false;
  MessageLog log;
  writeSettings(store, Settings{}, log);
  EXPECT_TRUE(store.values.empty());
  EXPECT_EQ(log.lines(), std::vector<std::string>{"Could not write into system registry!"});
}

}  // namespace

}  // namespace delvix::app
