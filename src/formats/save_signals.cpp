#include "formats/save_signals.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

namespace delvix::formats {

namespace {

constexpr std::array<int, 3> endingSignals{SIGINT, SIGTERM, SIGHUP};

// What the handler may touch: a fixed buffer and flags, no allocation.
char watchedPath[PATH_MAX];
std::atomic<bool> watching{false};
std::array<struct sigaction, endingSignals.size()> previousActions{};
std::array<bool, endingSignals.size()> installed{};

void removeTemporaryAndEnd(int signal) {
  const int savedErrno = errno;
  if (watching.load()) ::unlink(watchedPath);
  for (std::size_t i = 0; i < endingSignals.size(); ++i) {
    if (endingSignals[i] != signal) continue;
    // The signal's earlier action takes over again and gets the signal once this handler returns.
    ::sigaction(signal, &previousActions[i], nullptr);
    ::raise(signal);
  }
  errno = savedErrno;
}

sigset_t endingSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : endingSignals) sigaddset(&set, signal);
  return set;
}

}  // namespace

void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

TemporaryFileGuard::TemporaryFileGuard() {
  struct sigaction action {};
  action.sa_handler = removeTemporaryAndEnd;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < endingSignals.size(); ++i) {
    installed[i] = false;
    if (::sigaction(endingSignals[i], nullptr, &previousActions[i]) != 0) continue;
    if (previousActions[i].sa_handler == SIG_IGN) continue;  // e.g. SIGHUP under nohup: it does not end the save
    installed[i] = ::sigaction(endingSignals[i], &action, nullptr) == 0;
  }
}

TemporaryFileGuard::~TemporaryFileGuard() {
  watch({});
  for (std::size_t i = 0; i < endingSignals.size(); ++i)
    if (installed[i]) ::sigaction(endingSignals[i], &previousActions[i], nullptr);
}

void TemporaryFileGuard::watch(const std::filesystem::path& temporary) {
  // The path changes only while the signals are held, so the handler never sees half of one.
  const sigset_t held = endingSignalSet();
  sigset_t previous;
  ::pthread_sigmask(SIG_BLOCK, &held, &previous);
  const std::string& text = temporary.native();
  const bool fits = !text.empty() && text.size() < sizeof watchedPath;
  if (fits) std::memcpy(watchedPath, text.c_str(), text.size() + 1);
  watching.store(fits);
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

SignalsHeld::SignalsHeld() {
  const sigset_t held = endingSignalSet();
  ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalsHeld::~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace delvix::formats
