#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/document_reader.h"
#include "platform/settings_store.h"
#include "widgets/message_log.h"

namespace delvix::app {

// The sizes of the parts of the main window that the user may change, in pixels.
struct Layout {
  int previewHeight = 130;  // ScrollBox1
  int treeWidth = 185;      // GroupBox1
  int fieldsWidth = 284;    // GroupBox4
  int folderPanelWidth = 278;
  int namePanelWidth = 191;
  // The window's size; nullopt keeps the size it was designed with.
  std::optional<int> windowWidth;
  std::optional<int> windowHeight;
  // The window's place, size and state as the toolkit saves them (it wins over the size above); empty when none.
  std::vector<std::uint8_t> windowGeometry;
};

// The settings record of the program, with the values it has when nothing was ever stored.
struct Settings {
  int table = 7;      // state image of "color_table" nodes: 8 lists their values, 7 hides them
  int color = 7;      // ... of "color_bitmap" nodes
  int mask = 7;       // ... of "mask_bitmap" nodes
  int editTable = 1;  // 0: the colour table may be edited, 1: it may not
  int editData = 1;
  int editFact = 1;
  bool saveOptions = true;
  bool icons = true;
  bool cursors = true;
  bool bitmaps = true;
  bool tipsAtStart = true;
  bool maximised = false;
  bool showHotSpot = true;  // View > Show hot spot
  Layout layout;
  // File > Open Recent, most recent first.
  std::vector<std::string> recentFiles;

  formats::ReadSettings readSettings() const;
};

// What reading the stored sizes is checked against.
struct WindowLimits {
  int designedWidth = 817;
  int screenWidth = 0;
  int screenHeight = 0;
};

inline constexpr const char* cannotReadSettings = "Could not read the system registry!";
inline constexpr const char* cannotWriteSettings = "Could not write into system registry!";

// Reads the settings; values out of their ranges are replaced, missing ones take their defaults.
Settings readSettings(const platform::SettingsStore& store, const WindowLimits& limits, MessageLog& log);
// Writes every value; the window's height only when it is not maximised, which "Settings" bit 0 records; the
// window's geometry when there is one.
void writeSettings(platform::SettingsStore& store, const Settings& settings, MessageLog& log);

}  // namespace delvix::app
