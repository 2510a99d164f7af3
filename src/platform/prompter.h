#pragma once

#include <optional>
#include <string>

namespace delvix::platform {

// What a file dialog asks for. The filter is a list of "description|pattern;pattern" pairs joined by "|".
struct FileRequest {
  std::string caption;
  std::string filter;
  std::string initialPath;
};

enum class MessageButtons { yes, ok };
enum class MessageIcon { error, information, plain };

struct Message {
  std::string text;
  MessageButtons buttons = MessageButtons::yes;
  MessageIcon icon = MessageIcon::error;
  std::string caption;
  // Lines shown beneath the text, such as which file and why.
  std::string details{};

  bool operator==(const Message&) const = default;
};

// The answers to "save the changes first?".
enum class UnsavedChoice { save, discard, cancel };

// Every dialog that waits for the user: the file dialogs and the modal message boxes.
class Prompter {
 public:
  virtual ~Prompter() = default;
  // The chosen file, or nullopt when the user cancelled.
  virtual std::optional<std::string> openFile(const FileRequest& request) = 0;
  virtual std::optional<std::string> saveFile(const FileRequest& request) = 0;
  virtual void show(const Message& message) = 0;
  // Asks whether the changes to the document named `documentName` are saved before they would be lost.
  virtual UnsavedChoice askToSave(const std::string& documentName) = 0;
  // Asks a question that Yes or No answers ("Remove the signature?"): true for Yes.
  virtual bool confirm(const Message& question) = 0;
};

}  // namespace delvix::platform
