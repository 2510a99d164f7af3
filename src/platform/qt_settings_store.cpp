#include "platform/qt_settings_store.h"

#include <limits>

namespace delvix::platform {

QtSettingsStore::QtSettingsStore() : settings_(QSettings::NativeFormat, QSettings::UserScope, "Delvix v.2.2") {}

QtSettingsStore::QtSettingsStore(const QString& iniFile) : settings_(iniFile, QSettings::IniFormat) {}

bool QtSettingsStore::canRead() const {
  return settings_.status() == QSettings::NoError && !settings_.allKeys().isEmpty();
}

std::optional<std::uint32_t> QtSettingsStore::read(const std::string& name) const {
  const QVariant value = settings_.value(QString::fromStdString(name));
  if (!value.isValid()) return std::nullopt;
  bool ok = false;
  const qulonglong number = value.toString().toULongLong(&ok);
  if (!ok || number > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(number);
}

bool QtSettingsStore::canWrite() const { return settings_.isWritable(); }

void QtSettingsStore::write(const std::string& name, std::uint32_t value) {
  settings_.setValue(QString::fromStdString(name), static_cast<uint>(value));
}

std::optional<std::string> QtSettingsStore::readText(const std::string& name) const {
  const QVariant value = settings_.value(QString::fromStdString(name));
  if (!value.isValid()) return std::nullopt;
  return value.toByteArray().toStdString();
}

void QtSettingsStore::writeText(const std::string& name, const std::string& value) {
  const QByteArray bytes = QByteArray::fromStdString(value);
  // Readable text where it is UTF-8; other bytes as a byte array, which QSettings keeps exactly.
  const QString text = QString::fromUtf8(bytes);
  if (text.toUtf8() == bytes)
    settings_.setValue(QString::fromStdString(name), text);
  else
    settings_.setValue(QString::fromStdString(name), bytes);
}

std::optional<std::vector<std::uint8_t>> QtSettingsStore::readBytes(const std::string& name) const {
  const QVariant value = settings_.value(QString::fromStdString(name));
  if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
  const QByteArray bytes = value.toByteArray();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QtSettingsStore::writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  settings_.setValue(QString::fromStdString(name),
                     QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

void QtSettingsStore::flush() { settings_.sync(); }

}  // namespace delvix::platform
