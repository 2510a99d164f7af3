#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <vector>

#include "desktop/screen_fit.h"

namespace delvix::app {

namespace {

desktop::Rect rectOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect qRectOf(const desktop::Rect& r) { return {r.x, r.y, r.width, r.height}; }

// What the window system adds around the window, or an estimate while the window has no frame yet.
QMargins frameMargins(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect inside = window.geometry();
  const QMargins margins(inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                         frame.bottom() - inside.bottom());
  if (!margins.isNull()) return margins;
  const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
  const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
  return {border, border + titleBar, border, border};
}

// Fits the window's frame to `screens` (primary first) and sets the geometry that frame leaves inside it.
void fitFrame(QWidget& window, const QRect& inside, const std::vector<desktop::Rect>& screens) {
  const QMargins margins = frameMargins(window);
  const QRect frame = qRectOf(desktop::fitToScreens(rectOf(inside.marginsAdded(margins)), screens));
  const QRect fitted = frame.marginsRemoved(margins);
  if (fitted != window.geometry()) window.setGeometry(fitted);
}

}  // namespace

void keepOnScreen(QWidget& window) {
  if (window.isMaximized() || window.isFullScreen()) return;
  std::vector<desktop::Rect> screens;
  if (const QScreen* primary = QGuiApplication::primaryScreen())
    screens.push_back(rectOf(primary->availableGeometry()));
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen != QGuiApplication::primaryScreen()) screens.push_back(rectOf(screen->availableGeometry()));
  fitFrame(window, window.geometry(), screens);
}

void placeOver(QWidget& window, const QWidget& owner) {
  const QScreen* screen = owner.screen();
  if (!screen) return;
  QRect inside(QPoint(), window.size());
  inside.moveCenter(owner.frameGeometry().center());
  fitFrame(window, inside, {rectOf(screen->availableGeometry())});
}

}  // namespace delvix::app
