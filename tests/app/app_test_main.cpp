#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// The window tests need a QApplication; without a display they run on Qt's offscreen platform.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
