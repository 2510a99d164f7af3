#pragma once

#include <QSettings>

#include "platform/settings_store.h"

namespace delvix::platform {

// The settings in the desktop's native per-user store through QSettings: on Windows the registry key
// HKEY_CURRENT_USER\Software\Delvix v.2.2, on Linux the file "Delvix v.2.2.conf" in the user's
// configuration folder.
class QtSettingsStore : public SettingsStore {
 public:
  QtSettingsStore();
  // A store in a file of its own (QSettings::IniFormat), for trying the program without touching the user's settings.
  explicit QtSettingsStore(const QString& iniFile);

  bool canRead() const override;
  std::optional<std::uint32_t> read(const std::string& name) const override;
  bool canWrite() const override;
  void write(const std::string& name, std::uint32_t value) override;
  std::optional<std::string> readText(const std::string& name) const override;
  void writeText(const std::string& name, const std::string& value) override;
  std::optional<std::vector<std::uint8_t>> readBytes(const std::string& name) const override;
  void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) override;
  void flush() override;

 private:
  QSettings settings_;
};

}  // namespace delvix::platform
