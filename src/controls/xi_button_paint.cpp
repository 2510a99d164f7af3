#include <QPainter>
#include <cmath>

#include "controls/xi_button.h"

namespace delvix::controls {

namespace {

int red(Colour c) { return static_cast<int>(c & 0xFF); }
int green(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
int blue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// A horizontal or vertical line from `from` towards `to`, the end point left out.
void lineTo(QPainter& painter, QPoint from, QPoint to, const QColor& colour) {
  if (from.y() == to.y()) {
    const int length = to.x() - from.x();
    if (length > 0) painter.fillRect(QRect(from.x(), from.y(), length, 1), colour);
    if (length < 0) painter.fillRect(QRect(to.x() + 1, from.y(), -length, 1), colour);
  } else if (from.x() == to.x()) {
    const int length = to.y() - from.y();
    if (length > 0) painter.fillRect(QRect(from.x(), from.y(), 1, length), colour);
    if (length < 0) painter.fillRect(QRect(from.x(), to.y() + 1, 1, -length), colour);
  }
}

// The outline of the rectangle from (left, top) up to but not including (right, bottom).
void outline(QPainter& painter, int left, int top, int right, int bottom, const QColor& colour) {
  if (right <= left || bottom <= top) return;
  const int width = right - left, height = bottom - top;
  painter.fillRect(QRect(left, top, width, 1), colour);
  painter.fillRect(QRect(left, bottom - 1, width, 1), colour);
  painter.fillRect(QRect(left, top, 1, height), colour);
  painter.fillRect(QRect(right - 1, top, 1, height), colour);
}

// The glyph with every pixel of its top-left pixel's colour made transparent.
QImage keyedGlyph(const QImage& glyph) {
  QImage keyed = glyph.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = keyed.pixel(0, 0) | 0xFF000000u;
  for (int y = 0; y < keyed.height(); ++y)
    for (int x = 0; x < keyed.width(); ++x)
      if ((keyed.pixel(x, y) | 0xFF000000u) == key) keyed.setPixel(x, y, 0);
  return keyed;
}

int firstColourOf(const ButtonLook& look) {
  if (!look.enabled) return colour::disabledSet;
  switch (look.state) {
    case TBtnState::bsOver: return colour::overSet;
    case TBtnState::bsDown: return colour::downSet;
    case TBtnState::bsNormal: break;
  }
  return 0;
}

}  // namespace

QColor toQColor(Colour colour) { return QColor(red(colour), green(colour), blue(colour)); }

void gradientFillRect(QPainter& painter, const QRect& rect, Colour colour1, Colour colour2) {
  const int left = rect.left();
  const int right = rect.left() + rect.width();
  const int lines = rect.height();
  if (lines < 0) return;
  if (lines == 0) {
    painter.fillRect(QRect(left, 0, right, 1), toQColor(colour1));
    return;
  }
  const auto component = [lines](int from, int to, int i) {
    return static_cast<int>(std::nearbyint(from + i * static_cast<double>(to - from) / lines));
  };
  for (int i = 0; i <= lines; ++i) {
    const QColor colour(component(red(colour2), red(colour1), i), component(green(colour2), green(colour1), i),
                        component(blue(colour2), blue(colour1), i));
    painter.fillRect(QRect(left, i, right, 1), colour);
  }
}

FaceLayout layoutFace(const ButtonLook& look, QSize captionSize) {
  const int tw = captionSize.width(), th = captionSize.height();
  QPoint text((look.width - tw) / 2, (look.height - th) / 2);
  QPoint glyph;
  if (!look.glyph.isNull()) {
    const int gw = look.glyph.width(), gh = look.glyph.height(), s = look.spacing;
    const bool caption = !look.caption.isEmpty();
    switch (look.layout) {
      case TButtonLayout::blGlyphLeft:
        glyph = {text.x() - gw / 2, (look.height - gh) / 2};
        text.rx() += gw / 2;
        if (caption) {
          glyph.rx() -= (s + 1) / 2;
          text.rx() += s / 2;
        }
        break;
      case TButtonLayout::blGlyphRight:
        glyph = {text.x() + tw - gw / 2, (look.height - gh) / 2};
        text.rx() -= gw / 2;
        if (caption) {
          glyph.rx() += (s + 1) / 2;
          text.rx() -= s / 2;
        }
        break;
      case TButtonLayout::blGlyphTop:
        glyph = {(look.width - gw) / 2, text.y() - (gh + 1) / 2};
        text.ry() += gh / 2;
        if (caption) {
          glyph.ry() -= (s + 1) / 2;
          text.ry() += s / 2;
        }
        break;
      case TButtonLayout::blGlyphBottom:
        glyph = {(look.width - gw) / 2, text.y() + th - gh / 2};
        text.ry() -= gh / 2;
        if (caption) {
          glyph.ry() += (s + 1) / 2;
          text.ry() -= s / 2;
        }
        break;
    }
  }
  if (look.state == TBtnState::bsDown) {
    glyph += QPoint(1, 1);
    text += QPoint(1, 1);
  }
  return {glyph, QRect(text, captionSize)};
}

void paintButton(QPainter& painter, const ButtonLook& look) {
  const int w = look.width, h = look.height;
  if (w <= 0 || h <= 0) return;
  painter.save();
  const int first = firstColourOf(look);
  const auto colourOf = [&](int role) { return look.colours[first + role]; };

  painter.fillRect(QRect(0, 0, w, h), toQColor(colourOf(colour::face)));
  if (look.gradient) gradientFillRect(painter, QRect(0, 0, w, h), colourOf(colour::grad), colourOf(colour::face));

  painter.setFont(look.font);
  const QSize captionSize = painter.fontMetrics().size(Qt::TextShowMnemonic, look.caption);
  const FaceLayout layout = layoutFace(look, captionSize);
  if (!look.glyph.isNull())
    painter.drawImage(layout.glyph, look.transparentGlyph ? keyedGlyph(look.glyph)
                                                          : look.glyph.convertToFormat(QImage::Format_RGB32));
  if (!look.caption.isEmpty()) {
    painter.setPen(toQColor(colourOf(colour::text)));
    painter.drawText(layout.caption, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip | Qt::TextShowMnemonic,
                     look.caption);
  }

  outline(painter, 0, 0, w, h, toQColor(colourOf(colour::border)));
  if (look.ctl3D) {
    const QColor light = toQColor(colourOf(colour::light)), dark = toQColor(colourOf(colour::dark));
    lineTo(painter, {1, h - 2}, {1, 1}, light);
    lineTo(painter, {1, 1}, {w - 1, 1}, light);
    lineTo(painter, {w - 2, 1}, {w - 2, h - 2}, dark);
    lineTo(painter, {w - 2, h - 2}, {1, h - 2}, dark);
  }
  if (look.focused) outline(painter, 3, 3, w - 3, h - 3, toQColor(look.colours[colour::focusRect]));
  painter.restore();
}

}  // namespace delvix::controls
