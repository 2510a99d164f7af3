#include "app/background_save.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

namespace delvix::testing {
namespace {

// A save that goes on until it is told to stop, a step every few milliseconds.
bool endlessSave(formats::Reporter& said, const formats::WriteProgress& progress) {
  for (std::uint64_t done = 0; progress(done, 1000); ++done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  said.error("The save was cancelled; the file was not changed.");
  return false;
}

TEST(BackgroundSave, AQuickSaveShowsNothingAndALongOneShowsItsProgressUntilCancelled) {
  formats::RecordingReporter reporter;
  const auto windowThread = std::this_thread::get_id();
  bool dialogSeen = false;
  EXPECT_TRUE(app::runSaveInBackground(nullptr, "Saving", reporter, [&](formats::Reporter&, const auto& progress) {
    dialogSeen = QApplication::activeModalWidget() != nullptr;
    return std::this_thread::get_id() != windowThread && progress(1, 1);
  }));
  EXPECT_FALSE(dialogSeen);

  QProgressDialog* shown = nullptr;
  int value = -1;
  QTimer::singleShot(700, [&] {
    shown = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (!shown) return;
    value = shown->value();
    QTest::keyClick(shown, Qt::Key_Escape);
  });
  EXPECT_FALSE(app::runSaveInBackground(nullptr, "Saving a.wav", reporter, endlessSave));
  ASSERT_TRUE(shown);
  EXPECT_GT(value, 0);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // What the save said reaches the window's reporter afterwards.
  EXPECT_TRUE(reporter.showed("The save was cancelled; the file was not changed."));
}

}  // namespace
}  // namespace delvix::testing
