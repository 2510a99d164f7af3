#pragma once

#include <QIcon>

#include "browse/file_icon.h"

// The pictures of the two folder browsers: their tool buttons and the rows that show no icon of their own.
namespace delvix::app {

// Check-style tool buttons: the "on" state is the button held down.
QIcon lockPicture();         // an open padlock, closed while down
QIcon gridLinesPicture();    // a table with its lines
QIcon soundSwitchPicture();  // a loudspeaker, crossed out while down

// The rows' fixed pictures, from the desktop's icon theme when it has them.
QIcon fixedRowPicture(browse::FixedPicture picture);
QIcon waveFilePicture();

}  // namespace delvix::app
