// The View menu: the message log in a window of its own, and the hot-spot cross on the preview.
#include <QAction>
#include <QMenuBar>

#include "app/main_window/main_window.h"
#include "app/messages_window.h"
#include "widgets/widget_names.h"

namespace delvix::app {

void TFormANI::createViewMenu() {
  Messages1 = named(new QAction("&Messages", this), "Messages1");
  Messages1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  connect(Messages1, &QAction::triggered, this, &TFormANI::MessagesClick);
  QMenu* view = named(menuBar()->addMenu("&View"), "View1");
  view->addAction(Messages1);
  ShowHotSpot1 = named(new QAction("Show &hot spot", this), "ShowHotSpot1");
  ShowHotSpot1->setCheckable(true);
  ShowHotSpot1->setStatusTip("Mark a cursor's hot spot on the preview with a cross");
  connect(ShowHotSpot1, &QAction::toggled, this, &TFormANI::ShowHotSpotClick);
  view->addAction(ShowHotSpot1);
}

void TFormANI::MessagesClick() {
  if (!messagesWindow_) messagesWindow_ = new MessagesWindow(log_, this);
  messagesWindow_->bringUp();
}

}  // namespace delvix::app
