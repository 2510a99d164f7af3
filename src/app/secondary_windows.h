#pragma once

#include <QWidget>

#include "dialogs/chunk_dialog.h"
#include "dialogs/gif_options_dialog.h"
#include "dialogs/options_dialog.h"
#include "dialogs/tip_dialog.h"

namespace delvix::app {

class TFormInfo;
class TFormWav;
using dialogs::TFormChunk;
using dialogs::TFormOptions;
using dialogs::TFormTip;
using dialogs::TGifOptionForm;

// The program's other windows. Each is made once at start and stays hidden until it is used.
struct SecondaryWindows {
  TFormWav* wav = nullptr;
  TFormChunk* chunk = nullptr;
  TGifOptionForm* gifOptions = nullptr;
  TFormOptions* options = nullptr;
  TFormTip* tip = nullptr;
  TFormInfo* info = nullptr;
};

// Makes the windows in the program's order; the owner (the main window) destroys them with itself.
SecondaryWindows createSecondaryWindows(QWidget* owner);

}  // namespace delvix::app
