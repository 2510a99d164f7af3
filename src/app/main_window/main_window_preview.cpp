// The preview: the shown picture, plainly and through its alpha channel, its zoom and the pixel markers.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>

#include "app/field_table_model.h"
#include "app/main_window/main_window.h"
#include "preview/frame_render.h"
#include "preview/hot_spot.h"
#include "widgets/picture_box.h"

namespace delvix::app {

namespace {

QRect toQRect(const preview::Rect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

}  // namespace

bool TFormANI::renderPicture(int index) {
  preview::Rendering plain = preview::renderPlain(document_, index);
  if (!plain.logLine.empty()) log_.add(plain.logLine);
  if (!plain.logLine.empty() || statusShowsDrawingProblem_)
    showStatusText(plain.logLine.empty() ? document_.statusText : plain.logLine);
  statusShowsDrawingProblem_ = !plain.logLine.empty();
  if (!plain.error.empty()) {
    report(plain.error);
    return false;
  }
  frameBitmap_ = std::move(plain.image);
  alphaShown_ = preview::hasPerPixelAlpha(document_, index);
  alphaFrameBitmap_ = gfx::Image();
  if (alphaShown_) {
    preview::Rendering alpha = preview::renderAlpha(document_, index);
    if (!alpha.logLine.empty()) log_.add(alpha.logLine);
    if (!alpha.error.empty()) report(alpha.error);
    alphaFrameBitmap_ = std::move(alpha.image);
  }
  PreviewBox->setZoom(zoom_);
  PaintAlpha->setZoom(zoom_);
  PreviewBox->setPicture(frameBitmap_);
  PaintAlpha->setPicture(alphaFrameBitmap_);
  showHotSpot(index);
  return true;
}

void TFormANI::showHotSpot(int index) {
  hotSpotPicture_ = index;
  const auto spot = settings_.showHotSpot ? preview::hotSpotOf(document_, index) : std::nullopt;
  PreviewBox->setHotSpot(spot);
  PaintAlpha->setHotSpot(spot);
}

void TFormANI::ShowHotSpotClick(bool shown) {
  settings_.showHotSpot = shown;
  showHotSpot(hotSpotPicture_);
}

void TFormANI::showPicture(int index) {
  ScrollBox1->horizontalScrollBar()->setValue(0);
  ScrollBox1->verticalScrollBar()->setValue(0);
  if (!renderPicture(index)) return;
  applyPreviewLayout(preview::freshLayout(frameBitmap_.width(), frameBitmap_.height(), zoom_, alphaShown_));
}

void TFormANI::applyPreviewLayout(const preview::PreviewLayout& layout) {
  previewLayout_ = layout;
  PreviewBox->setGeometry(toQRect(layout.plain));
  PaintAlpha->setGeometry(toQRect(layout.alpha));
  PaintAlpha->setVisible(alphaShown_);
  const QRect used = PreviewBox->geometry().united(alphaShown_ ? PaintAlpha->geometry() : QRect());
  previewCanvas_->setMinimumSize(used.right() + 1 + layout.plain.left, used.bottom() + 1 + layout.plain.top);
  placePixelMarkers();
}

void TFormANI::selectPixel(int x, int y) {
  selectedPixel_ = {x, y};
  placePixelMarkers();
}

void TFormANI::placePixelMarkers() {
  if (!selectedPixel_) return;
  const preview::MarkerLayout markers =
      preview::markerLayout(shownBitCount_, selectedPixel_->first, selectedPixel_->second, zoom_, previewLayout_);
  ShapeBlitting->setGeometry(toQRect(markers.blitting));
  ShapeBlitting->show();
  ShapeBlitting->raise();
  ScrollBox1->ensureWidgetVisible(ShapeBlitting);
  ShapeAlpha->setVisible(markers.alpha && alphaShown_);
  if (markers.alpha) {
    ShapeAlpha->setGeometry(toQRect(*markers.alpha));
    ShapeAlpha->raise();
  }
}

void TFormANI::hidePixelMarkers() {
  selectedPixel_.reset();
  ShapeBlitting->hide();
  ShapeAlpha->hide();
}

void TFormANI::zoomBy(int step) {
  zoom_ = std::clamp(zoom_ + step, preview::smallestZoom, preview::largestZoom);
  Panel16->setText(QString::fromStdString(preview::zoomLabel(zoom_)));
  ScrollBox1->horizontalScrollBar()->setValue(0);
  ScrollBox1->verticalScrollBar()->setValue(0);
  enableBlendToggles();
  ButUp->setEnabled(zoom_ < preview::largestZoom);
  ButDown->setEnabled(zoom_ > preview::smallestZoom);
  // The picture on show is the current one, whichever node of it (or of its directory entry) is selected.
  if (!preview::pictureNode(document_, currentPictureIndex_)) {
    log_.add("Didn't be found the 'bitm_info' chunk");
    return;
  }
  if (!renderPicture(currentPictureIndex_)) return;
  applyPreviewLayout(preview::zoomedLayout(frameBitmap_.width(), frameBitmap_.height(), zoom_, alphaShown_));
}

void TFormANI::ButUpClick() { zoomBy(1); }

void TFormANI::ButDownClick() { zoomBy(-1); }

void TFormANI::enableBlendToggles() {
  AlphaBlending->setEnabled(alphaShown_);
  AlphaBlending2->setEnabled(alphaShown_);
  Scaling->setEnabled(zoom_ > 1);
  Scaling2->setEnabled(zoom_ > 1);
}

void TFormANI::clearFieldView() {
  fieldModel_->clear();
  ListView1->setColumnHidden(2, true);
  for (QLineEdit* edit : {Edit1, EditInfo, EditR, EditG, EditB, EditRes, EditMask1, EditMask2, EditColor, EditMask})
    edit->clear();
  for (QLineEdit* edit : {Edit1, EditInfo, EditColor, EditMask}) edit->setToolTip({});
  EditColor->hide();
  EditMask->hide();
  for (QPushButton* button : {ButApply, ButAdd, ButRemove, ButNext, ButPrev}) button->setEnabled(false);
  hidePixelMarkers();
}

}  // namespace delvix::app
