#pragma once

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <functional>

// What the program's own pictures are drawn with: a 32 x 32 grid, scaled by the views, and one palette.
namespace delvix::app::drawing {

inline constexpr int grid = 32;
inline const QColor ink(0x2b, 0x3a, 0x55);
inline const QColor blue(0x3d, 0x7d, 0xd8);
inline const QColor green(0x3a, 0x9b, 0x4a);
inline const QColor red(0xc9, 0x4a, 0x3a);
inline const QColor yellow(0xe8, 0xb7, 0x30);
inline const QColor paper(0xfa, 0xfa, 0xf5);
inline const QColor grey(0x9a, 0xa3, 0xb0);

// A picture drawn by `draw` on a transparent grid, antialiased, with the ink's 2-pixel round pen set.
inline QPixmap drawnPixmap(const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(grid, grid);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  draw(p);
  p.end();
  return pixmap;
}

}  // namespace delvix::app::drawing
