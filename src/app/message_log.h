#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace delvix::app {

// The lines of everything the program reported during the run, in order.
class MessageLog {
 public:
  void add(std::string_view line) { lines_.emplace_back(line); }
  const std::vector<std::string>& lines() const { return lines_; }
  void clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

inline constexpr const char* logFileName = "Log.dat";

// Writes the log as "Log.dat", one line per entry, replacing an older one: into `programFolder` when that
// can be written, else into `dataFolder` (made when missing). Returns the file written, nullopt when neither could be.
std::optional<std::filesystem::path> saveLogFile(const MessageLog& log, const std::filesystem::path& programFolder,
                                                 const std::filesystem::path& dataFolder);

}  // namespace delvix::app
