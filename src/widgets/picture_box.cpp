#include "widgets/picture_box.h"

#include <QPaintEvent>
#include <QPainter>

namespace delvix::app {

QImage keyedImage(const gfx::Image& picture) {
  if (picture.empty()) return {};
  QImage image(picture.width(), picture.height(), QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      const gfx::Pixel pixel = gfx::withoutAlpha(picture.at(x, y));
      row[x] = pixel == gfx::withoutAlpha(gfx::transparentKey) ? 0u : (pixel | 0xFF000000u);
    }
  }
  return image;
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

void PictureBox::setPicture(const gfx::Image& picture) {
  picture_ = keyedImage(picture);
  update();
}

void PictureBox::clearPicture() {
  picture_ = QImage();
  hotSpot_.reset();
  update();
}

void PictureBox::setHotSpot(std::optional<preview::Point> spot) {
  if (spot == hotSpot_) return;
  hotSpot_ = spot;
  update();
}

std::optional<preview::HotSpotCross> PictureBox::hotSpotCross() const {
  if (!hotSpot_ || picture_.isNull()) return std::nullopt;
  return preview::hotSpotCross(*hotSpot_, picture_.width(), picture_.height(), zoom_);
}

void PictureBox::setZoom(int zoom) {
  zoom_ = std::max(zoom, 1);
  update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
  if (picture_.isNull()) return;
  // The picture pixels under the exposed rectangle, each painted as a zoom x zoom square.
  const QRect exposed = event->rect().intersected(QRect(0, 0, picture_.width() * zoom_, picture_.height() * zoom_));
  if (exposed.isEmpty()) return;
  const QRect source(QPoint(exposed.left() / zoom_, exposed.top() / zoom_),
                     QPoint(exposed.right() / zoom_, exposed.bottom() / zoom_));
  const QRect target(source.left() * zoom_, source.top() * zoom_, source.width() * zoom_, source.height() * zoom_);
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(target, picture_, source);

  if (const auto cross = hotSpotCross()) {
    const auto [x, y] = cross->centre;
    const int arm = cross->arm;
    painter.setClipRect(QRect(0, 0, picture_.width() * zoom_, picture_.height() * zoom_));
    const QColor outline(255, 255, 255);
    painter.fillRect(QRect(x - arm - 1, y - 1, 2 * arm + 3, 3), outline);
    painter.fillRect(QRect(x - 1, y - arm - 1, 3, 2 * arm + 3), outline);
    const QColor line(0, 0, 0);
    painter.fillRect(QRect(x - arm, y, 2 * arm + 1, 1), line);
    painter.fillRect(QRect(x, y - arm, 1, 2 * arm + 1), line);
  }
}

PixelMarker::PixelMarker(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

void PixelMarker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(Qt::red, 1));
  painter.setBrush(QBrush(Qt::red, Qt::BDiagPattern));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace delvix::app
