#include "app/browsers/browser_pictures.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <functional>

#include "widgets/drawing_kit.h"

namespace delvix::app {

namespace {

using namespace drawing;

QPixmap drawn(const std::function<void(QPainter&)>& draw) { return drawnPixmap(draw); }

QIcon switched(const QPixmap& up, const QPixmap& down) {
  QIcon icon;
  icon.addPixmap(up, QIcon::Normal, QIcon::Off);
  icon.addPixmap(down, QIcon::Normal, QIcon::On);
  return icon;
}

void padlock(QPainter& p, bool closed) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
  QPainterPath shackle;
  const double right = closed ? 22 : 30;
  const double left = closed ? 10 : 18;
  shackle.moveTo(left, 15);
  shackle.lineTo(left, 10);
  shackle.arcTo(QRectF(left, 3, right - left, 14), 180, -180);
  shackle.lineTo(right, closed ? 15 : 11);
  p.drawPath(shackle);
  p.setPen(QPen(ink, 2));
  p.setBrush(yellow);
  p.drawRoundedRect(QRectF(6, 15, 20, 14), 2, 2);
  p.setBrush(ink);
  p.drawEllipse(QPointF(16, 21), 1.5, 1.5);
}

void loudspeaker(QPainter& p, bool muted) {
  QPolygonF body;
  body << QPointF(4, 12) << QPointF(10, 12) << QPointF(17, 5) << QPointF(17, 27) << QPointF(10, 20) << QPointF(4, 20);
  p.setBrush(blue);
  p.drawPolygon(body);
  p.setBrush(Qt::NoBrush);
  if (muted) {
    p.setPen(QPen(red, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21, 11), QPointF(29, 21));
    p.drawLine(QPointF(29, 11), QPointF(21, 21));
    return;
  }
  p.drawArc(QRectF(14, 10, 8, 12), -60 * 16, 120 * 16);
  p.drawArc(QRectF(14, 5, 14, 22), -60 * 16, 120 * 16);
}

QIcon themed(const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

QIcon themed(const char* name, const std::function<void(QPainter&)>& fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name), QIcon(drawn(fallback)));
}

void page(QPainter& p) {
  QPolygonF sheet;
  sheet << QPointF(7, 3) << QPointF(20, 3) << QPointF(26, 9) << QPointF(26, 29) << QPointF(7, 29);
  p.setBrush(paper);
  p.drawPolygon(sheet);
}

// A page with two linked blocks: code for others to use.
void library(QPainter& p) {
  page(p);
  p.setBrush(blue);
  p.drawRect(QRectF(10, 12, 7, 7));
  p.setBrush(yellow);
  p.drawRect(QRectF(15, 18, 7, 7));
}

// An empty program window.
void program(QPainter& p) {
  p.setBrush(paper);
  p.drawRect(QRectF(3, 6, 26, 21));
  p.setBrush(blue);
  p.drawRect(QRectF(3, 6, 26, 6));
}

// A page with two sliders: a settings module.
void controls(QPainter& p) {
  page(p);
  for (const auto& [y, knob] : {std::pair{14.0, 13.0}, std::pair{22.0, 19.0}}) {
    p.drawLine(QPointF(10, y), QPointF(23, y));
    p.setBrush(red);
    p.drawEllipse(QPointF(knob, y), 2.5, 2.5);
  }
}

}  // namespace

QIcon lockPicture() {
  return switched(drawn([](QPainter& p) { padlock(p, false); }), drawn([](QPainter& p) { padlock(p, true); }));
}

QIcon gridLinesPicture() {
  return QIcon(drawn([](QPainter& p) {
    p.setBrush(paper);
    p.drawRect(QRectF(4, 6, 24, 20));
    p.setBrush(blue.lighter(160));
    p.drawRect(QRectF(4, 6, 24, 5));
    for (const double y : {16.0, 21.0}) p.drawLine(QPointF(4, y), QPointF(28, y));
    p.drawLine(QPointF(13, 6), QPointF(13, 26));
  }));
}

QIcon soundSwitchPicture() {
  return switched(drawn([](QPainter& p) { loudspeaker(p, false); }), drawn([](QPainter& p) { loudspeaker(p, true); }));
}

QIcon fixedRowPicture(browse::FixedPicture picture) {
  switch (picture) {
    case browse::FixedPicture::folder: return themed("folder", QStyle::SP_DirIcon);
    case browse::FixedPicture::parentFolder: return themed("go-up", QStyle::SP_FileDialogToParent);
    case browse::FixedPicture::library: return themed("application-x-sharedlib", library);
    case browse::FixedPicture::programWithoutIcon: return themed("application-x-executable", program);
    case browse::FixedPicture::otherWithoutIcon: return themed("image-x-generic", page);
    case browse::FixedPicture::controlModule: return themed("preferences-system", controls);
  }
  return {};
}

QIcon waveFilePicture() { return themed("audio-x-generic", QStyle::SP_MediaVolume); }

}  // namespace delvix::app
