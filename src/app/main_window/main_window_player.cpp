// The animation player's buttons and what it shows.
#include <QLabel>
#include <QToolButton>
#include <QTreeView>

#include "app/main_window/main_window.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "gfx/placeholder.h"
#include "preview/frame_render.h"
#include "widgets/picture_box.h"

namespace delvix::app {

void TFormANI::ButStartClick() {
  try {
    clearFieldView();
    player_->run();
  } catch (...) {
    log_.add("Error: button Start");
  }
}

void TFormANI::ButPauseClick() { player_->pause(); }

void TFormANI::ButStopClick() { player_->stop(); }

void TFormANI::ButForwardClick() {
  try {
    player_->forward();
  } catch (...) {
    log_.add("Error: button Forward");
  }
}

void TFormANI::ButBackClick() {
  try {
    player_->back();
  } catch (...) {
    log_.add("Error: button Back");
  }
}

void TFormANI::stopPlayer() { player_->stop(); }

void TFormANI::showPlayerFrame(std::optional<std::size_t> frame) {
  static const gfx::Image placeholder = gfx::makePlaceholder();
  const bool known = frame && *frame < document_.pictures.size() && !document_.pictures[*frame].placeholder;
  preview::Rendering drawn;
  if (known) drawn = preview::renderPlain(document_, static_cast<int>(*frame));
  const bool shown = drawn.ok() && !drawn.image.empty();
  const gfx::Image& picture = shown ? drawn.image : placeholder;
  PreviewBox->setZoom(zoom_);
  PreviewBox->setPicture(picture);
  PreviewBox->resize(picture.width() * zoom_, picture.height() * zoom_);
  showHotSpot(known ? static_cast<int>(*frame) : -1);
}

void TFormANI::selectPictureFromPlayer(std::size_t frame) {
  const int index = static_cast<int>(frame);
  const model::Node* node = preview::pictureNode(document_, index);
  if (!node) return;
  const bool rowWasCurrent = ListPreview->currentIndex().row() == index;
  const QModelIndex nodeIndex = treeModel_->indexOf(*node);
  TreeView1->scrollTo(nodeIndex);
  TreeView1->setCurrentIndex(nodeIndex);
  // The tree's selection moves the thumbnail row, which shows the picture; a row that was selected already
  // is shown again here.
  if (rowWasCurrent) ListPreviewSelectItem(thumbnailModel_->index(index, 0));
  ListPreview->scrollTo(thumbnailModel_->index(index, 0));
}

void TFormANI::enablePlayerButtons(const preview::PlayerButtons& buttons) {
  ButStart->setEnabled(buttons.run);
  ButPause->setEnabled(buttons.pause);
  ButStop->setEnabled(buttons.stop);
  ButForward->setEnabled(buttons.forward);
  ButBack->setEnabled(buttons.back);
}

}  // namespace delvix::app
