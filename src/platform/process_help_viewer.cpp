#include "platform/process_help_viewer.h"

#include <QElapsedTimer>
#include <algorithm>
#include <memory>

namespace delvix::platform {

namespace {
constexpr int startTimeoutMs = 5000;
constexpr int endTimeoutMs = 1000;
// "xdg-open" gives up at once when nothing can show the page; a browser it waited for may end with any
// status much later, which says nothing about the help.
constexpr qint64 givingUpWithinMs = 10000;
}  // namespace

ProcessHelpViewer::ProcessHelpViewer(QString viewerProgram) : program_(std::move(viewerProgram)) {}

ProcessHelpViewer::~ProcessHelpViewer() { terminate(); }

bool ProcessHelpViewer::start(const std::filesystem::path& page) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(page, error)) return false;
  auto process = std::make_unique<QProcess>();
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->start(program_, {QString::fromStdString(page.string())});
  if (!process->waitForStarted(startTimeoutMs)) return false;
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  QObject::connect(process.get(), &QProcess::finished, process.get(),
                   [this, page, started](int exitCode, QProcess::ExitStatus status) {
                     const bool gaveUp = status == QProcess::NormalExit && exitCode != 0;
                     if (gaveUp && started->elapsed() < givingUpWithinMs && failed) failed(page);
                   });
  processes_.push_back(std::move(process));
  return true;
}

bool ProcessHelpViewer::running() const {
  return std::any_of(processes_.begin(), processes_.end(),
                     [](const auto& process) { return process->state() != QProcess::NotRunning; });
}

void ProcessHelpViewer::terminate() {
  for (auto& process : processes_) {
    if (process->state() == QProcess::NotRunning) continue;
    process->terminate();
    if (!process->waitForFinished(endTimeoutMs)) {
      process->kill();
      process->waitForFinished(endTimeoutMs);
    }
  }
  processes_.clear();
}

}  // namespace delvix::platform
