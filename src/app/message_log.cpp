#include "app/message_log.h"

#include <fstream>

namespace delvix::app {

namespace {

bool writeLines(const MessageLog& log, const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (const std::string& line : log.lines()) out << line << '\n';
  out.close();
  return !out.fail();
}

}  // namespace

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
