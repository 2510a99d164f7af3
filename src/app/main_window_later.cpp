// Commands whose work comes with the field editor and the wave view.
// They are reachable from the window already and do nothing yet.
#include "app/main_window.h"

namespace delvix::app {

// Adding and removing change what the player steps through: it stops first.
void TFormANI::ButPlusClick() { stopPlayer(); }
void TFormANI::ButMinusClick() { stopPlayer(); }

void TFormANI::BPlayLeftClick() {}
void TFormANI::BPlayRightClick() {}
void TFormANI::BStopLeftClick() {}
void TFormANI::BStopRightClick() {}
void TFormANI::BStopPlayClick() {}
void TFormANI::BSaveLeftClick() {}
void TFormANI::BSaveRightClick() {}
void TFormANI::BRunPlayClick() {}
void TFormANI::BDeleteClick() {}
void TFormANI::TrackBar1Change(int) {}

}  // namespace delvix::app
