#include "app/secondary_windows.h"

#include "app/browsers/image_browser.h"
#include "app/browsers/wave_browser.h"

namespace delvix::app {

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
