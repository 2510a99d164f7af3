#pragma once

#include <csignal>
#include <filesystem>

namespace delvix::formats {

// Makes a write past the file-size limit fail with EFBIG (and so with a message) instead of ending the
// program with SIGXFSZ. Called once when a program starts.
void ignoreFileSizeSignal();

// While one lives, SIGINT, SIGTERM and SIGHUP remove the temporary file of the save under way before they
// take their usual effect, so that an interrupted save leaves nothing behind. Signals that were ignored stay
// ignored. One save at a time: the program saves from one thread.
class TemporaryFileGuard {
 public:
  TemporaryFileGuard();
  ~TemporaryFileGuard();
  TemporaryFileGuard(const TemporaryFileGuard&) = delete;
  TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

  // The file that a signal removes from now on; an empty path for none.
  void watch(const std::filesystem::path& temporary);
};

// Holds SIGINT, SIGTERM and SIGHUP back while it lives (they arrive when it goes), for a step that must not
// stop half way, such as writing a file over its old content.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_{};
};

}  // namespace delvix::formats
