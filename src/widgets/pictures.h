#pragma once

#include <QIcon>
#include <QPixmap>

namespace delvix::app {

// The pictures of the tool buttons, drawn by the program itself so that they look the same on every desktop.
enum class ToolPicture {
  open,
  quickInfoImages,
  quickInfoWave,
  saveAll,
  saveFrame,
  copyFrame,
  addChunk,
  removeChunk,
  options,
  help,
  about,
  zoomIn,
  zoomOut,
  run,
  pause,
  stop,
  forward,
  back,
  play,
  save,
  cut,
};

QIcon toolIcon(ToolPicture picture);

// The program's own picture, `size` pixels square: a page of pixels under a magnifying glass.
QPixmap programPicture(int size);

// The picture of a structure-tree state image index (model::state); a null icon for none.
QIcon stateIcon(int stateImage);

}  // namespace delvix::app
