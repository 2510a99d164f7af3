#include "widgets/settings.h"

#include "widgets/recent_files.h"

namespace delvix::app {

namespace {

// What the toolkit saves is about 70 bytes; anything much larger is not its.
constexpr std::size_t largestGeometry = 1024;

enum SettingsBit : std::uint32_t {
  maximisedBit = 1u << 0,
  saveOptionsBit = 1u << 1,
  iconsBit = 1u << 2,
  cursorsBit = 1u << 3,
  bitmapsBit = 1u << 4,
  tipsBit = 1u << 5,
};

// A stored value within [low, high]; `rejected` when it is outside, `missing` when there is none.
int readRanged(const platform::SettingsStore& store, const char* name, int low, int high, int rejected, int missing) {
  const auto value = store.read(name);
  if (!value) return missing;
  if (*value < static_cast<std::uint32_t>(low) || *value > static_cast<std::uint32_t>(high)) return rejected;
  return static_cast<int>(*value);
}

int readEither(const platform::SettingsStore& store, const char* name, int first, int second, int fallback) {
  const auto value = store.read(name);
  if (value && (*value == static_cast<std::uint32_t>(first) || *value == static_cast<std::uint32_t>(second)))
    return static_cast<int>(*value);
  return fallback;
}

// "Recent file 1" to "Recent file 10"; an empty one holds no file.
std::string recentFileName(std::size_t index) { return "Recent file " + std::to_string(index + 1); }

std::uint32_t flagsOf(const Settings& s) {
  std::uint32_t bits = 0;
  if (s.maximised) bits |= maximisedBit;
  if (s.saveOptions) bits |= saveOptionsBit;
  if (s.icons) bits |= iconsBit;
  if (s.cursors) bits |= cursorsBit;
  if (s.bitmaps) bits |= bitmapsBit;
  if (s.tipsAtStart) bits |= tipsBit;
  return bits;
}

}  // namespace

formats::ReadSettings Settings::readSettings() const {
  formats::ReadSettings read;
  read.show = {table, color, mask};
  read.resources = {icons, cursors, bitmaps};
  return read;
}

Settings readSettings(const platform::SettingsStore& store, const WindowLimits& limits, MessageLog& log) {
  Settings s;
  if (!store.canRead()) {
    log.add(cannotReadSettings);
    return s;
  }
  const Settings defaults;
  const std::uint32_t bits = store.read("Settings").value_or(flagsOf(defaults));
  s.maximised = bits & maximisedBit;
  s.saveOptions = bits & saveOptionsBit;
  s.icons = bits & iconsBit;
  s.cursors = bits & cursorsBit;
  s.bitmaps = bits & bitmapsBit;
  s.tipsAtStart = bits & tipsBit;

  s.table = readEither(store, "Table", 7, 8, 7);
  s.color = readEither(store, "Color", 7, 8, 7);
  s.mask = readEither(store, "Mask", 7, 8, 7);
  s.editTable = readEither(store, "Edit table", 0, 1, 1);
  s.editData = readEither(store, "Edit data", 0, 1, 1);
  s.editFact = readEither(store, "Edit fact", 0, 1, 1);
  s.showHotSpot = readEither(store, "Show hot spot", 0, 1, 1) == 1;

  const int half = limits.designedWidth / 2;
  Layout& l = s.layout;
  const Layout& d = defaults.layout;
  l.previewHeight = readRanged(store, "Height ScrollBox", 16, 500, half, d.previewHeight);
  l.treeWidth = readRanged(store, "Width TreeView", 100, 500, half, d.treeWidth);
  l.fieldsWidth = readRanged(store, "Width ListView", 150, 500, half, d.fieldsWidth);
  l.folderPanelWidth = readRanged(store, "Width Panel3", 40, 500, half, d.folderPanelWidth);
  l.namePanelWidth = readRanged(store, "Width Panel4", 40, 500, half, d.namePanelWidth);
  if (!s.maximised) {
    if (store.read("Width Window"))
      l.windowWidth = readRanged(store, "Width Window", 400, limits.screenWidth, 690, 690);
    if (store.read("Height Window"))
      l.windowHeight = readRanged(store, "Height Window", 150, limits.screenHeight, 470, 470);
  }
  std::vector<std::string> recent;
  for (std::size_t i = 0; i < maxRecentFiles; ++i)
    if (auto file = store.readText(recentFileName(i))) recent.push_back(std::move(*file));
  s.recentFiles = tidiedRecentFiles(recent);
  if (auto geometry = store.readBytes("Geometry"); geometry && geometry->size() <= largestGeometry)
    l.windowGeometry = std::move(*geometry);
  return s;
}

void writeSettings(platform::SettingsStore& store, const Settings& s, MessageLog& log) {
  if (!store.canWrite()) {
    log.add(cannotWriteSettings);
    return;
  }
  store.write("Table", static_cast<std::uint32_t>(s.table));
  store.write("Color", static_cast<std::uint32_t>(s.color));
  store.write("Mask", static_cast<std::uint32_t>(s.mask));
  store.write("Edit table", static_cast<std::uint32_t>(s.editTable));
  store.write("Edit data", static_cast<std::uint32_t>(s.editData));
  store.write("Edit fact", static_cast<std::uint32_t>(s.editFact));
  store.write("Show hot spot", s.showHotSpot ? 1u : 0u);
  const Layout& l = s.layout;
  store.write("Height ScrollBox", static_cast<std::uint32_t>(l.previewHeight));
  store.write("Width TreeView", static_cast<std::uint32_t>(l.treeWidth));
  store.write("Width ListView", static_cast<std::uint32_t>(l.fieldsWidth));
  store.write("Width Panel3", static_cast<std::uint32_t>(l.folderPanelWidth));
  store.write("Width Panel4", static_cast<std::uint32_t>(l.namePanelWidth));
  if (l.windowWidth) store.write("Width Window", static_cast<std::uint32_t>(*l.windowWidth));
  if (!s.maximised && l.windowHeight) store.write("Height Window", static_cast<std::uint32_t>(*l.windowHeight));
  for (std::size_t i = 0; i < maxRecentFiles; ++i)
    store.writeText(recentFileName(i), i < s.recentFiles.size() ? s.recentFiles[i] : std::string());
  if (!l.windowGeometry.empty()) store.writeBytes("Geometry", l.windowGeometry);
  store.write("Settings", flagsOf(s));
  store.flush();
}

}  // namespace delvix::app
