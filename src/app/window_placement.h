#pragma once

class QWidget;

namespace delvix::app {

// Moves and shrinks a top-level window that is not maximised so that all of it, frame included, lies on the
// available area of a screen. Before it is first shown its frame is not known: the style's title bar stands for it.
void keepOnScreen(QWidget& window);

// Centres a window over `owner` and keeps it on the available area of owner's screen.
void placeOver(QWidget& window, const QWidget& owner);

}  // namespace delvix::app
