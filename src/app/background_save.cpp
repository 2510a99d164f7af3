#include "app/background_save.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>

namespace delvix::app {

namespace {

// Until then a save shows nothing, so that short ones look as they always did.
constexpr int quietMilliseconds = 300;
constexpr int tickMilliseconds = 25;
constexpr int steps = 1000;

// What the window's thread and the saving one share.
struct SaveState {
  std::atomic<std::uint64_t> done{0};
  std::atomic<std::uint64_t> total{0};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> finished{false};
};

int stepOf(const SaveState& state) {
  const std::uint64_t total = state.total.load();
  if (total == 0) return 0;
  return static_cast<int>(std::min<std::uint64_t>(steps, state.done.load() / (total / steps + 1)));
}

}  // namespace

bool runSaveInBackground(QWidget* window, const QString& label, formats::Reporter& reporter, SaveWork work) {
  SaveState state;
  formats::RecordingReporter said;
  bool result = false;
  std::string failure;
  std::thread worker([&] {
    try {
      result = work(said, [&](std::uint64_t done, std::uint64_t total) {
        state.done = done;
        state.total = total;
        return !state.cancelled.load();
      });
    } catch (const std::exception& error) {
      failure = error.what();
    }
    state.finished = true;
  });

  QEventLoop loop;
  std::unique_ptr<QProgressDialog> dialog;
  QElapsedTimer clock;
  clock.start();
  const auto cancel = [&] {
    state.cancelled = true;
    dialog->setLabelText(QObject::tr("Cancelling…"));
    dialog->show();
  };
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (state.finished || (!dialog && clock.elapsed() >= quietMilliseconds)) return loop.quit();
    if (!dialog || state.cancelled) return;
    // Escape or the window's close button end the dialog as its Cancel button does.
    if (dialog->wasCanceled() || dialog->isHidden()) return cancel();
    dialog->setValue(stepOf(state));
  });
  tick.start(tickMilliseconds);
  // The window keeps drawing; what the user does meanwhile waits for the save.
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (!state.finished) {
    dialog = std::make_unique<QProgressDialog>(label, QObject::tr("Cancel"), 0, steps, window);
    dialog->setWindowTitle(QObject::tr("Saving"));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    dialog->setMinimumDuration(0);
    dialog->setValue(stepOf(state));
    QObject::connect(dialog.get(), &QProgressDialog::canceled, &loop, cancel);
    dialog->show();
    loop.exec();
  }
  // The loop may also have ended because the program is quitting: the save stops, and is waited for.
  if (!state.finished) state.cancelled = true;
  worker.join();
  dialog.reset();

  for (const std::string& line : said.lines) reporter.log(line);
  for (const formats::DialogRequest& request : said.dialogs) reporter.dialog(request);
  if (!failure.empty()) throw std::runtime_error(failure);
  return result;
}

}  // namespace delvix::app
