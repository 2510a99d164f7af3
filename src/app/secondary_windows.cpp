#include "app/secondary_windows.h"

namespace delvix::app {

namespace {

void setUp(QWidget* window, const char* name, const char* caption, QSize size) {
  window->setObjectName(name);
  window->setWindowTitle(caption);
  window->resize(size);
}

}  // namespace

TFormChunk::TFormChunk(QWidget* owner) : QWidget(owner, Qt::Dialog) {
  setUp(this, "FormChunk", "Add chunks", {420, 300});
}

SecondaryWindows createSecondaryWindows(QWidget* owner) {
  SecondaryWindows windows;
  windows.wav = new TFormWav(owner);
  windows.chunk = new TFormChunk(owner);
  windows.gifOptions = new TGifOptionForm(owner);
  windows.options = new TFormOptions(owner);
  windows.tip = new TFormTip(owner);
  windows.info = new TFormInfo(owner);
  return windows;
}

}  // namespace delvix::app
