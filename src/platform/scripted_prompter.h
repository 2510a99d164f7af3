#pragma once

#include <deque>
#include <vector>

#include "platform/prompter.h"

namespace delvix::platform {

// A prompter for tests: answers file dialogs from a script (cancelling when the script is empty) and
// records every request and message box instead of waiting for anyone.
class ScriptedPrompter : public Prompter {
 public:
  std::optional<std::string> openFile(const FileRequest& request) override { return answer(request); }
  std::optional<std::string> saveFile(const FileRequest& request) override { return answer(request); }
  void show(const Message& message) override { messages.push_back(message); }
  // Answers from `choices` in turn, discarding when it is empty.
  UnsavedChoice askToSave(const std::string& documentName) override {
    questions.push_back(documentName);
    if (choices.empty()) return UnsavedChoice::discard;
    const UnsavedChoice next = choices.front();
    choices.pop_front();
    return next;
  }

  // Answers from `confirmAnswers` in turn, No when it is empty.
  bool confirm(const Message& question) override {
    confirmations.push_back(question);
    if (confirmAnswers.empty()) return false;
    const bool next = confirmAnswers.front();
    confirmAnswers.pop_front();
    return next;
  }

  // The next file dialog chooses `path`; nullopt cancels it.
  void choose(std::optional<std::string> path) { answers.push_back(std::move(path)); }
  bool showed(const std::string& text) const {
    for (const Message& message : messages)
      if (message.text == text) return true;
    return false;
  }

  std::deque<std::optional<std::string>> answers;
  std::vector<FileRequest> fileRequests;
  std::vector<Message> messages;
  std::deque<UnsavedChoice> choices;
  // The documents askToSave asked about, in order.
  std::vector<std::string> questions;
  std::vector<Message> confirmations;
  std::deque<bool> confirmAnswers;

 private:
  std::optional<std::string> answer(const FileRequest& request) {
    fileRequests.push_back(request);
    if (answers.empty()) return std::nullopt;
    auto next = answers.front();
    answers.pop_front();
    return next;
  }
};

}  // namespace delvix::platform
