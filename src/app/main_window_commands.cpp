// The main window's commands: the menu entries with their shortcuts, the preview's context menu and the tool bar.
#include <QAction>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/main_window.h"
#include "app/pictures.h"
#include "app/widget_names.h"

namespace delvix::app {

namespace {

QAction* command(QObject* owner, const char* name, const char* text, const QKeySequence& shortcut = {}) {
  auto* action = named(new QAction(QString::fromLatin1(text), owner), name);
  action->setShortcut(shortcut);
  return action;
}

QKeySequence keys(const char* text) { return QKeySequence(QString::fromLatin1(text)); }

}  // namespace

void TFormANI::createCommands() {
  Open2 = command(this, "Open2", "Open", keys("Ctrl+O"));
  QuickInfoImages1 = command(this, "QuickInfoImages1", "Quick Info (images)", keys("Ctrl+I"));
  QuickInfoWav1 = command(this, "QuickInfoWav1", "Quick Info (wav)", keys("Ctrl+W"));
  Saveall1 = command(this, "Saveall1", "Save All", keys("Ctrl+S"));
  SaveFrameBlit = command(this, "SaveFrameBlit", "Save frame", keys("Ctrl+F"));
  AlphaBlending2 = command(this, "AlphaBlending2", "With Alpha Blending");
  Scaling2 = command(this, "Scaling2", "With Scaling");
  Exit1 = command(this, "Exit1", "Exit", keys("Ctrl+X"));
  Copy1 = command(this, "Copy1", "Copy frame", keys("Ctrl+C"));
  Addchunk1 = command(this, "Addchunk1", "Add chunk", keys("Ctrl+Alt+A"));
  Removechunk1 = command(this, "Removechunk1", "Remove chunk", keys("Ctrl+Alt+D"));
  Options1 = command(this, "Options1", "Options", keys("Ctrl+Alt+O"));
  Content1 = command(this, "Content1", "Content", keys("F1"));
  TipOfDay1 = command(this, "TipOfDay1", "Tip of the Day", keys("Ctrl+T"));
  About1 = command(this, "About1", "About", keys("Ctrl+A"));

  SaveBlitting = command(this, "SaveBlitting", "Save frame", keys("Ctrl+B"));
  CopyBlitting1 = command(this, "CopyBlitting1", "Copy frame", keys("Ctrl+C"));
  // The Edit menu's "Copy frame" takes Ctrl+C for the whole window; this one only shows the key.
  CopyBlitting1->setShortcutContext(Qt::WidgetShortcut);
  AlphaBlending = command(this, "AlphaBlending", "With Alpha Blending");
  Scaling = command(this, "Scaling", "With Scaling");
  for (QAction* toggle : {AlphaBlending, AlphaBlending2, Scaling, Scaling2}) {
    toggle->setCheckable(true);
    toggle->setEnabled(false);
  }
  for (QAction* action : {Saveall1, SaveFrameBlit, Copy1, Addchunk1, Removechunk1, SaveBlitting, CopyBlitting1})
    action->setEnabled(false);

  connect(Open2, &QAction::triggered, this, &TFormANI::ButLoadClick);
  connect(QuickInfoImages1, &QAction::triggered, this, &TFormANI::ToolButton6Click);
  connect(QuickInfoWav1, &QAction::triggered, this, &TFormANI::ToolButton7Click);
  connect(Saveall1, &QAction::triggered, this, &TFormANI::ButSaveAllClick);
  connect(SaveFrameBlit, &QAction::triggered, this, &TFormANI::ButSaveClick);
  connect(SaveBlitting, &QAction::triggered, this, &TFormANI::ButSaveClick);
  connect(AlphaBlending2, &QAction::triggered, this, &TFormANI::AlphaBlendingClick);
  connect(AlphaBlending, &QAction::triggered, this, &TFormANI::AlphaBlendingClick);
  connect(Scaling2, &QAction::triggered, this, &TFormANI::ScalingClick);
  connect(Scaling, &QAction::triggered, this, &TFormANI::ScalingClick);
  connect(Exit1, &QAction::triggered, this, &TFormANI::Exit1Click);
  connect(Copy1, &QAction::triggered, this, &TFormANI::ButCopyClick);
  connect(CopyBlitting1, &QAction::triggered, this, &TFormANI::ButCopyClick);
  connect(Addchunk1, &QAction::triggered, this, &TFormANI::ButPlusClick);
  connect(Removechunk1, &QAction::triggered, this, &TFormANI::ButMinusClick);
  connect(Options1, &QAction::triggered, this, &TFormANI::ToolButton5Click);
  connect(Content1, &QAction::triggered, this, &TFormANI::ButHelpClick);
  connect(TipOfDay1, &QAction::triggered, this, &TFormANI::TipOfDayClick);
  connect(About1, &QAction::triggered, this, &TFormANI::ButAboutClick);
}

void TFormANI::createMenus() {
  QMenu* file = named(menuBar()->addMenu("File"), "File1");
  file->addAction(Open2);
  file->addAction(QuickInfoImages1);
  file->addAction(QuickInfoWav1);
  file->addSeparator();
  file->addAction(Saveall1);
  file->addAction(SaveFrameBlit);
  file->addAction(AlphaBlending2);
  file->addAction(Scaling2);
  file->addSeparator();
  file->addAction(Exit1);

  QMenu* edit = named(menuBar()->addMenu("Edit"), "Edit2");
  edit->addAction(Copy1);
  edit->addAction(Addchunk1);
  edit->addAction(Removechunk1);
  edit->addSeparator();
  edit->addAction(Options1);

  createViewMenu();

  QMenu* help = named(menuBar()->addMenu("Help"), "Help1");
  help->addAction(Content1);
  help->addAction(TipOfDay1);
  help->addSeparator();
  help->addAction(About1);

  PopupBlend = named(new QMenu(this), "PopupBlend");
  PopupBlend->addAction(SaveBlitting);
  PopupBlend->addAction(CopyBlitting1);
  PopupBlend->addSeparator();
  PopupBlend->addAction(AlphaBlending);
  PopupBlend->addAction(Scaling);
  // The context menu is not part of the window, so its Ctrl+B is given to the window as well.
  addAction(SaveBlitting);
}

void TFormANI::createToolBar() {
  ToolBar1 = named(addToolBar("Commands"), "ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setIconSize({24, 24});
  auto button = [this](const char* name, const char* hint, ToolPicture picture, void (TFormANI::*handler)()) {
    auto* tool = named(new QToolButton(ToolBar1), name);
    tool->setToolTip(QString::fromLatin1(hint));
    tool->setIcon(toolIcon(picture));
    tool->setAutoRaise(true);
    ToolBar1->addWidget(tool);
    connect(tool, &QToolButton::clicked, this, handler);
    return tool;
  };
  ButLoad = button("ButLoad", "Open", ToolPicture::open, &TFormANI::ButLoadClick);
  ToolButton6 = button("ToolButton6", "Quick Info (images)", ToolPicture::quickInfoImages, &TFormANI::ToolButton6Click);
  ToolButton7 = button("ToolButton7", "Quick Info (wav)", ToolPicture::quickInfoWave, &TFormANI::ToolButton7Click);
  ToolBar1->addSeparator();
  ButSaveAll = button("ButSaveAll", "Save all", ToolPicture::saveAll, &TFormANI::ButSaveAllClick);
  ButSave = button("ButSave", "Save frame", ToolPicture::saveFrame, &TFormANI::ButSaveClick);
  ButCopy = button("ButCopy", "Copy frame", ToolPicture::copyFrame, &TFormANI::ButCopyClick);
  ToolBar1->addSeparator();
  ButPlus = button("ButPlus", "Add chunk", ToolPicture::addChunk, &TFormANI::ButPlusClick);
  ButMinus = button("ButMinus", "Remove chunk", ToolPicture::removeChunk, &TFormANI::ButMinusClick);
  ToolBar1->addSeparator();
  ToolButton5 = button("ToolButton5", "Options", ToolPicture::options, &TFormANI::ToolButton5Click);
  ButHelp = button("ButHelp", "Help", ToolPicture::help, &TFormANI::ButHelpClick);
  ButAbout = button("ButAbout", "About", ToolPicture::about, &TFormANI::ButAboutClick);
  for (QToolButton* idle : {ButSaveAll, ButSave, ButCopy, ButPlus, ButMinus}) idle->setEnabled(false);
}

}  // namespace delvix::app
