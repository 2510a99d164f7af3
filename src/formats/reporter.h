#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace delvix::formats {

enum class Buttons { yes, ok };
enum class BoxKind { error, plain };

// A message box that the program asks the user to see.
struct DialogRequest {
  std::string text;
  Buttons buttons = Buttons::yes;
  BoxKind kind = BoxKind::error;
  std::string caption;
  // Lines shown beneath the text: which file, and why.
  std::string details{};

  bool operator==(const DialogRequest&) const = default;
};

// Where readers and writers send what the user should know: lines for the message log and
// requests for message boxes.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void log(std::string_view line) = 0;
  virtual void dialog(const DialogRequest& request) = 0;

  // The common case: the error box with the same text logged.
  void error(std::string_view text, Buttons buttons = Buttons::yes);
};

// Keeps everything it is told, in order; used by tests and by the command-line tool.
class RecordingReporter : public Reporter {
 public:
  void log(std::string_view line) override { lines.emplace_back(line); }
  void dialog(const DialogRequest& request) override { dialogs.push_back(request); }

  bool logged(std::string_view line) const;
  bool showed(std::string_view text) const;

  std::vector<std::string> lines;
  std::vector<DialogRequest> dialogs;
};

}  // namespace delvix::formats
