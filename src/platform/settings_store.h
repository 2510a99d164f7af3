#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace delvix::platform {

// The per-user store of the program's settings: named unsigned 32-bit values, texts and a few values that are
// bytes (the window's placement as the toolkit records it), under one key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // False when the key cannot be opened for reading (nothing was ever stored, or the store is unreadable).
  virtual bool canRead() const = 0;
  // The stored value, or nullopt when the value is missing or not a number.
  virtual std::optional<std::uint32_t> read(const std::string& name) const = 0;
  // False when the key cannot be opened for writing.
  virtual bool canWrite() const = 0;
  virtual void write(const std::string& name, std::uint32_t value) = 0;
  // Texts are kept byte for byte: a file name need not be valid UTF-8.
  virtual std::optional<std::string> readText(const std::string& name) const = 0;
  virtual void writeText(const std::string& name, const std::string& value) = 0;
  // The stored bytes, or nullopt when the value is missing or not bytes.
  virtual std::optional<std::vector<std::uint8_t>> readBytes(const std::string& name) const = 0;
  virtual void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) = 0;
  // Makes what was written permanent.
  virtual void flush() = 0;
};

}  // namespace delvix::platform
