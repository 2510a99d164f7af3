// Commands whose work comes with adding and removing chunks.
// They are reachable from the window already and do nothing yet.
#include "app/main_window.h"

namespace delvix::app {

// Adding and removing change what the player steps through: it stops first.
void TFormANI::ButPlusClick() { stopPlayer(); }
void TFormANI::ButMinusClick() { stopPlayer(); }

}  // namespace delvix::app
