#include "widgets/message_log.h"

#include <cstdint>
#include <vector>

#include "formats/file_save.h"

namespace delvix::app {

namespace {

// Through the program's one way of saving: an old log stays whole until the new one is complete.
bool writeLines(const MessageLog& log, const std::filesystem::path& file) {
  std::vector<std::uint8_t> text;
  for (const std::string& line : log.lines()) {
    text.insert(text.end(), line.begin(), line.end());
    text.push_back('\n');
  }
  return !formats::replaceFileContents(file, text);
}

}  // namespace

void MessageLog::add(std::string_view line) {
  lines_.emplace_back(line);
  for (const auto& [id, listener] : *listeners_)
    if (listener.added) listener.added(lines_.back());
}

void MessageLog::clear() {
  lines_.clear();
  for (const auto& [id, listener] : *listeners_)
    if (listener.cleared) listener.cleared();
}

MessageLog::Subscription MessageLog::listen(Listener listener) {
  const std::size_t id = nextId_++;
  listeners_->emplace(id, std::move(listener));
  return Subscription(listeners_, id);
}

MessageLog::Subscription& MessageLog::Subscription::operator=(Subscription&& other) noexcept {
  if (this != &other) {
    end();
    listeners_ = std::move(other.listeners_);
    id_ = other.id_;
  }
  return *this;
}

void MessageLog::Subscription::end() {
  if (auto listeners = listeners_.lock()) listeners->erase(id_);
  listeners_.reset();
}

std::optional<std::filesystem::path> saveLogFile(const MessageLog& log, const std::filesystem::path& programFolder,
                                                 const std::filesystem::path& dataFolder) {
  if (!programFolder.empty() && writeLines(log, programFolder / logFileName)) return programFolder / logFileName;
  if (dataFolder.empty()) return std::nullopt;
  std::error_code error;
  std::filesystem::create_directories(dataFolder, error);
  if (writeLines(log, dataFolder / logFileName)) return dataFolder / logFileName;
  return std::nullopt;
}

}  // namespace delvix::app
