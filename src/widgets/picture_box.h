#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

#include "gfx/image.h"
#include "preview/hot_spot.h"

namespace delvix::app {

// A paint box that shows a picture at an integer zoom. Only the part that needs painting is enlarged, so a
// large picture at a high zoom costs no more memory than at 100 %. Pixels of the transparent key colour let
// the face colour behind the box show through. A hot spot is marked with a dark cross outlined in a light
// colour, which shows on any picture.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // Shows `picture` (natural size) from now on; an empty picture shows nothing.
  void setPicture(const gfx::Image& picture);
  void clearPicture();
  void setZoom(int zoom);
  int zoom() const { return zoom_; }
  // Marks pixel `spot` of the picture (natural size) with a cross; nullopt marks none.
  void setHotSpot(std::optional<preview::Point> spot);
  // The cross as it is drawn now; nullopt when there is none or the spot lies outside the picture.
  std::optional<preview::HotSpotCross> hotSpotCross() const;
  // What the box shows, at natural size, with the key colour made transparent.
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
  int zoom_ = 1;
  std::optional<preview::Point> hotSpot_;
};

// A pixel marker over the preview: a red rectangle with a backward-diagonal hatch, which lets mouse clicks
// through to the picture beneath.
class PixelMarker : public QWidget {
  Q_OBJECT

 public:
  explicit PixelMarker(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// `picture` as a QImage with the key colour transparent and every other pixel opaque.
QImage keyedImage(const gfx::Image& picture);

}  // namespace delvix::app
