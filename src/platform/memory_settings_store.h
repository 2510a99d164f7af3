#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace delvix::platform {

// Settings kept in memory, for tests: what was stored, and whether the key can be opened at all.
class MemorySettingsStore : public SettingsStore {
 public:
  bool canRead() const override { return readable; }
  std::optional<std::uint32_t> read(const std::string& name) const override {
    auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  bool canWrite() const override { return writable; }
  void write(const std::string& name, std::uint32_t value) override {
    values[name] = value;
    written.push_back(name);
  }
  std::optional<std::string> readText(const std::string& name) const override {
    auto found = texts.find(name);
    if (found == texts.end()) return std::nullopt;
    return found->second;
  }
  void writeText(const std::string& name, const std::string& value) override {
    texts[name] = value;
    written.push_back(name);
  }
  std::optional<std::vector<std::uint8_t>> readBytes(const std::string& name) const override {
    auto found = bytes.find(name);
    if (found == bytes.end()) return std::nullopt;
    return found->second;
  }
  void writeBytes(const std::string& name, const std::vector<std::uint8_t>& value) override {
    bytes[name] = value;
    written.push_back(name);
  }
  void flush() override { ++flushes; }

  bool readable = true;
  bool writable = true;
  std::map<std::string, std::uint32_t> values;
  std::map<std::string, std::string> texts;
  std::map<std::string, std::vector<std::uint8_t>> bytes;
  // The names written, in order.
  std::vector<std::string> written;
  int flushes = 0;
};

}  // namespace delvix::platform
