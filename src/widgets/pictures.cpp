#include "widgets/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

#include "model/node.h"
#include "widgets/drawing_kit.h"

namespace delvix::app {

namespace {

using namespace drawing;

QIcon drawn(const std::function<void(QPainter&)>& draw) { return QIcon(drawnPixmap(draw)); }

void page(QPainter& p, QRectF r) {
  p.setBrush(paper);
  p.drawRect(r);
}

void landscape(QPainter& p, QRectF r) {
  p.setBrush(QColor(0xcf, 0xe6, 0xfa));
  p.drawRect(r);
  QPainterPath hill;
  hill.moveTo(r.left(), r.bottom());
  hill.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.45);
  hill.lineTo(r.left() + r.width() * 0.65, r.top() + r.height() * 0.7);
  hill.lineTo(r.right(), r.top() + r.height() * 0.35);
  hill.lineTo(r.right(), r.bottom());
  hill.closeSubpath();
  p.setBrush(green);
  p.drawPath(hill);
  p.setBrush(yellow);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.3), r.width() * 0.1, r.width() * 0.1);
  p.setPen(QPen(ink, 2));
}

void floppy(QPainter& p, QRectF r) {
  p.setBrush(blue);
  p.drawRoundedRect(r, 2, 2);
  p.setBrush(paper);
  p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top(), r.width() * 0.6, r.height() * 0.35));
  p.setBrush(ink);
  p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.6, r.width() * 0.5, r.height() * 0.4));
}

void wave(QPainter& p, QRectF r, const QColor& colour) {
  QPainterPath path;
  path.moveTo(r.left(), r.center().y());
  const int steps = 6;
  for (int i = 0; i < steps; ++i) {
    const double x = r.left() + r.width() * (i + 0.5) / steps;
    const double y = (i % 2 == 0) ? r.top() : r.bottom();
    path.quadTo(QPointF(x, y), QPointF(r.left() + r.width() * (i + 1) / steps, r.center().y()));
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(path);
  p.setPen(QPen(ink, 2));
}

void magnifier(QPainter& p, QPointF centre, double radius, const QString& sign) {
  p.setBrush(QColor(255, 255, 255, 200));
  p.drawEllipse(centre, radius, radius);
  p.setPen(QPen(ink, 3.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.6, radius * 1.6));
  p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
  if (!sign.isEmpty()) p.drawLine(centre - QPointF(radius * 0.5, 0), centre + QPointF(radius * 0.5, 0));
  if (sign == "+") p.drawLine(centre - QPointF(0, radius * 0.5), centre + QPointF(0, radius * 0.5));
  p.setPen(QPen(ink, 2));
}

void badge(QPainter& p, const QColor& colour, const QString& text) {
  p.setBrush(colour);
  p.drawEllipse(QRectF(3, 3, 26, 26));
  QFont font = p.font();
  font.setPixelSize(20);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, text);
  p.setPen(QPen(ink, 2));
}

void sign(QPainter& p, QPointF centre, bool plus, const QColor& colour) {
  p.setBrush(colour);
  p.drawEllipse(centre, 7, 7);
  p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre - QPointF(4, 0), centre + QPointF(4, 0));
  if (plus) p.drawLine(centre - QPointF(0, 4), centre + QPointF(0, 4));
  p.setPen(QPen(ink, 2));
}

void triangle(QPainter& p, QPointF tip, double size, bool right) {
  QPolygonF shape;
  const double dir = right ? 1 : -1;
  shape << tip << tip + QPointF(-dir * size, -size) << tip + QPointF(-dir * size, size);
  p.setBrush(green);
  p.drawPolygon(shape);
}

void chunks(QPainter& p) {
  for (int i = 0; i < 3; ++i) {
    p.setBrush(i == 1 ? blue.lighter(150) : paper);
    p.drawRect(QRectF(4, 4 + i * 8, 18, 6));
  }
}

void grid3(QPainter& p, const QColor& fill) {
  p.setBrush(fill);
  p.drawRect(QRectF(5, 5, 22, 22));
  p.drawLine(QPointF(12.3, 5), QPointF(12.3, 27));
  p.drawLine(QPointF(19.6, 5), QPointF(19.6, 27));
  p.drawLine(QPointF(5, 12.3), QPointF(27, 12.3));
  p.drawLine(QPointF(5, 19.6), QPointF(27, 19.6));
}

}  // namespace

QPixmap programPicture(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / double(grid), size / double(grid));
  p.setPen(QPen(ink, 1.2));
  page(p, QRectF(3, 2, 20, 24));
  p.setPen(Qt::NoPen);
  const QColor cells[] = {blue, green, yellow, red};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      p.fillRect(QRectF(5.5 + column * 4, 5 + row * 4, 3.4, 3.4), cells[(row + column) % 4].lighter(115));
  p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
  magnifier(p, QPointF(19, 19), 7, "");
  return pixmap;
}

QIcon toolIcon(ToolPicture picture) {
  switch (picture) {
    case ToolPicture::open:
      return drawn([](QPainter& p) {
        p.setBrush(yellow.darker(110));
        p.drawRect(QRectF(3, 8, 24, 18));
        p.setBrush(yellow);
        QPolygonF front;
        front << QPointF(3, 26) << QPointF(8, 14) << QPointF(30, 14) << QPointF(27, 26);
        p.drawPolygon(front);
      });
    case ToolPicture::quickInfoImages:
      return drawn([](QPainter& p) {
        landscape(p, QRectF(2, 3, 22, 18));
        magnifier(p, QPointF(20, 19), 6, "");
      });
    case ToolPicture::quickInfoWave:
      return drawn([](QPainter& p) {
        page(p, QRectF(2, 3, 22, 18));
        wave(p, QRectF(4, 7, 18, 10), blue);
        magnifier(p, QPointF(20, 19), 6, "");
      });
    case ToolPicture::saveAll:
      return drawn([](QPainter& p) {
        floppy(p, QRectF(9, 3, 20, 20));
        floppy(p, QRectF(3, 9, 20, 20));
      });
    case ToolPicture::saveFrame:
      return drawn([](QPainter& p) {
        floppy(p, QRectF(3, 3, 20, 20));
        landscape(p, QRectF(15, 15, 15, 13));
      });
    case ToolPicture::copyFrame:
      return drawn([](QPainter& p) {
        page(p, QRectF(3, 3, 17, 19));
        landscape(p, QRectF(12, 10, 17, 19));
      });
    case ToolPicture::addChunk:
      return drawn([](QPainter& p) {
        chunks(p);
        sign(p, QPointF(23, 23), true, green);
      });
    case ToolPicture::removeChunk:
      return drawn([](QPainter& p) {
        chunks(p);
        sign(p, QPointF(23, 23), false, red);
      });
    case ToolPicture::options:
      return drawn([](QPainter& p) {
        p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 8; ++i) {
          p.save();
          p.translate(16, 16);
          p.rotate(i * 45);
          p.drawLine(QPointF(0, 8), QPointF(0, 13));
          p.restore();
        }
        p.setPen(QPen(ink, 2));
        p.setBrush(grey);
        p.drawEllipse(QPointF(16, 16), 9, 9);
        p.setBrush(paper);
        p.drawEllipse(QPointF(16, 16), 3.5, 3.5);
      });
    case ToolPicture::help: return drawn([](QPainter& p) { badge(p, blue, "?"); });
    case ToolPicture::about: return drawn([](QPainter& p) { badge(p, green, "i"); });
    case ToolPicture::zoomIn: return drawn([](QPainter& p) { magnifier(p, QPointF(13, 13), 9, "+"); });
    case ToolPicture::zoomOut: return drawn([](QPainter& p) { magnifier(p, QPointF(13, 13), 9, "-"); });
    case ToolPicture::run: return drawn([](QPainter& p) { triangle(p, QPointF(26, 16), 10, true); });
    case ToolPicture::pause:
      return drawn([](QPainter& p) {
        p.setBrush(blue);
        p.drawRect(QRectF(8, 6, 5, 20));
        p.drawRect(QRectF(19, 6, 5, 20));
      });
    case ToolPicture::stop:
      return drawn([](QPainter& p) {
        p.setBrush(red);
        p.drawRect(QRectF(7, 7, 18, 18));
      });
    case ToolPicture::forward:
      return drawn([](QPainter& p) {
        triangle(p, QPointF(22, 16), 9, true);
        p.setBrush(ink);
        p.drawRect(QRectF(23, 7, 3, 18));
      });
    case ToolPicture::back:
      return drawn([](QPainter& p) {
        triangle(p, QPointF(10, 16), 9, false);
        p.setBrush(ink);
        p.drawRect(QRectF(6, 7, 3, 18));
      });
    case ToolPicture::play:
      return drawn([](QPainter& p) {
        wave(p, QRectF(2, 8, 18, 16), blue);
        triangle(p, QPointF(30, 16), 7, true);
      });
    case ToolPicture::save:
      return drawn([](QPainter& p) {
        floppy(p, QRectF(3, 3, 20, 20));
        wave(p, QRectF(14, 18, 16, 10), green);
      });
    case ToolPicture::cut:
      return drawn([](QPainter& p) {
        wave(p, QRectF(2, 8, 28, 16), blue);
        p.setPen(QPen(red, 2.5));
        p.drawLine(QPointF(10, 3), QPointF(10, 29));
        p.drawLine(QPointF(22, 3), QPointF(22, 29));
      });
  }
  return {};
}

QIcon stateIcon(int stateImage) {
  namespace state = model::state;
  switch (stateImage) {
    case state::listChunk:
      return drawn([](QPainter& p) {
        p.setBrush(yellow);
        p.drawRect(QRectF(3, 8, 26, 18));
        p.drawRect(QRectF(3, 5, 11, 3));
      });
    case state::formatHeader:
      return drawn([](QPainter& p) {
        page(p, QRectF(6, 3, 20, 26));
        p.setBrush(blue);
        p.drawRect(QRectF(6, 3, 20, 7));
        p.drawLine(QPointF(10, 16), QPointF(22, 16));
        p.drawLine(QPointF(10, 22), QPointF(22, 22));
      });
    case state::rate:
      return drawn([](QPainter& p) {
        p.setBrush(paper);
        p.drawEllipse(QPointF(16, 16), 12, 12);
        p.drawLine(QPointF(16, 16), QPointF(16, 8));
        p.drawLine(QPointF(16, 16), QPointF(22, 19));
      });
    case state::sequence:
      return drawn([](QPainter& p) {
        for (int i = 0; i < 3; ++i) {
          p.setBrush(i == 0 ? green : paper);
          p.drawRect(QRectF(3 + i * 9, 10, 8, 12));
        }
      });
    case state::frameList:
      return drawn([](QPainter& p) {
        p.setBrush(ink);
        p.drawRect(QRectF(3, 6, 26, 20));
        p.setBrush(paper);
        for (int i = 0; i < 3; ++i) p.drawRect(QRectF(5 + i * 8.3, 11, 6, 10));
      });
    case state::picture: return drawn([](QPainter& p) { landscape(p, QRectF(3, 5, 26, 22)); });
    case state::valuesHidden: return drawn([](QPainter& p) { grid3(p, grey.lighter(130)); });
    case state::valuesShown:
      return drawn([](QPainter& p) {
        grid3(p, paper);
        p.setBrush(green);
        p.drawRect(QRectF(12.3, 12.3, 7.3, 7.3));
      });
    case state::infoItem:
      return drawn([](QPainter& p) {
        page(p, QRectF(6, 3, 20, 26));
        QFont font = p.font();
        font.setPixelSize(18);
        font.setBold(true);
        p.setFont(font);
        p.setPen(blue);
        p.drawText(QRectF(6, 3, 20, 26), Qt::AlignCenter, "i");
      });
    case state::waveData: return drawn([](QPainter& p) { wave(p, QRectF(3, 6, 26, 20), blue); });
    default: return {};
  }
}

}  // namespace delvix::app
