// The main window's commands: the menu entries with their shortcuts, the preview's context menu and the tool bar.
#include <QAction>
#include <QGroupBox>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/main_window/main_window.h"
#include "app/shortcut_hint.h"
#include "widgets/pictures.h"
#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

QAction* command(QObject* owner, const char* name, const char* text, const QList<QKeySequence>& shortcuts = {}) {
  auto* action = named(new QAction(QString::fromLatin1(text), owner), name);
  action->setShortcuts(shortcuts);
  return action;
}

QList<QKeySequence> keys(const char* text) { return {QKeySequence(QString::fromLatin1(text))}; }

// The desktop's keys for a standard command, or `fallback` where it has none (Windows has no key for Quit).
QList<QKeySequence> standardKeys(QKeySequence::StandardKey standard, const char* fallback = nullptr) {
  QList<QKeySequence> bindings = QKeySequence::keyBindings(standard);
  if (bindings.isEmpty() && fallback) bindings = keys(fallback);
  return bindings;
}

}  // namespace

// The keys follow the desktop's standard ones. The program's own commands keep off the keys that mean something
// to every program (Cut, Select All, Close, Find), and the text boxes keep theirs (Ctrl+C copies text there, Ctrl+E
// goes to the end of the line on X11). Ctrl+B, Ctrl+I and Ctrl+T stand for Bold, Italic and New Tab elsewhere:
// nothing here formats text or has tabs, so they stay where they were.
void TFormANI::createCommands() {
  Open2 = command(this, "Open2", "&Open", standardKeys(QKeySequence::Open));
  QuickInfoImages1 = command(this, "QuickInfoImages1", "Quick Info (&images)", keys("Ctrl+I"));
  QuickInfoWav1 = command(this, "QuickInfoWav1", "Quick Info (&wav)", keys("Ctrl+Alt+W"));
  CheckTheme1 = command(this, "CheckTheme1", "Check Cursor &Theme...");
  Saveall1 = command(this, "Saveall1", "Save A&ll", standardKeys(QKeySequence::SaveAs, "Ctrl+Shift+S"));
  SaveFrameBlit = command(this, "SaveFrameBlit", "Save &frame", keys("Ctrl+E"));
  SaveAnimation1 = command(this, "SaveAnimation1", "Save &animation");
  AlphaBlending2 = command(this, "AlphaBlending2", "With Alpha &Blending");
  Scaling2 = command(this, "Scaling2", "With Scali&ng");
  Exit1 = command(this, "Exit1", "E&xit", standardKeys(QKeySequence::Quit, "Ctrl+Q"));
  Copy1 = command(this, "Copy1", "&Copy frame", standardKeys(QKeySequence::Copy));
  Addchunk1 = command(this, "Addchunk1", "&Add chunk", keys("Ctrl+Alt+A"));
  Removechunk1 = command(this, "Removechunk1", "Re&move chunk", keys("Ctrl+Alt+D"));
  Options1 = command(this, "Options1", "&Options", keys("Ctrl+Alt+O"));
  Content1 = command(this, "Content1", "&Content", standardKeys(QKeySequence::HelpContents, "F1"));
  TipOfDay1 = command(this, "TipOfDay1", "&Tip of the Day", keys("Ctrl+T"));
  About1 = command(this, "About1", "&About");

  SaveBlitting = command(this, "SaveBlitting", "Save &frame", keys("Ctrl+B"));
  CopyBlitting1 = command(this, "CopyBlitting1", "&Copy frame", standardKeys(QKeySequence::Copy));
  // The Edit menu's "Copy frame" takes Ctrl+C for the whole window; this one only shows the key.
  CopyBlitting1->setShortcutContext(Qt::WidgetShortcut);
  AlphaBlending = command(this, "AlphaBlending", "With Alpha &Blending");
  Scaling = command(this, "Scaling", "With &Scaling");
  for (QAction* toggle : {AlphaBlending, AlphaBlending2, Scaling, Scaling2}) {
    toggle->setCheckable(true);
    toggle->setEnabled(false);
  }
  for (QAction* action :
       {Saveall1, SaveFrameBlit, SaveAnimation1, Copy1, Addchunk1, Removechunk1, SaveBlitting, CopyBlitting1})
    action->setEnabled(false);

  // Zoom works from anywhere in the window; Ctrl+= is Ctrl++ without Shift on most keyboards.
  QList<QKeySequence> zoomIn = standardKeys(QKeySequence::ZoomIn, "Ctrl++");
  if (!zoomIn.contains(QKeySequence("Ctrl+="))) zoomIn.append(QKeySequence("Ctrl+="));
  ZoomIn1 = command(this, "ZoomIn1", "Zoom In", zoomIn);
  ZoomOut1 = command(this, "ZoomOut1", "Zoom Out", standardKeys(QKeySequence::ZoomOut, "Ctrl+-"));
  addAction(ZoomIn1);
  addAction(ZoomOut1);
  // The buttons know whether the zoom can go further; with a wave on show they zoom the wave.
  connect(ZoomIn1, &QAction::triggered, this, [this] { (GroupMusic->isVisible() ? BWaveZoomIn : ButUp)->click(); });
  connect(ZoomOut1, &QAction::triggered, this, [this] { (GroupMusic->isVisible() ? BWaveZoomOut : ButDown)->click(); });

  connect(Open2, &QAction::triggered, this, &TFormANI::ButLoadClick);
  connect(QuickInfoImages1, &QAction::triggered, this, &TFormANI::ToolButton6Click);
  connect(QuickInfoWav1, &QAction::triggered, this, &TFormANI::ToolButton7Click);
  connect(Saveall1, &QAction::triggered, this, &TFormANI::ButSaveAllClick);
  connect(SaveFrameBlit, &QAction::triggered, this, &TFormANI::ButSaveClick);
  connect(SaveAnimation1, &QAction::triggered, this, &TFormANI::SaveAnimationClick);
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
  connect(CheckTheme1, &QAction::triggered, this, &TFormANI::CheckThemeClick);
  connect(Content1, &QAction::triggered, this, &TFormANI::ButHelpClick);
  connect(TipOfDay1, &QAction::triggered, this, &TFormANI::TipOfDayClick);
  connect(About1, &QAction::triggered, this, &TFormANI::ButAboutClick);
}

void TFormANI::createMenus() {
  QMenu* file = named(menuBar()->addMenu("&File"), "File1");
  file->addAction(Open2);
  file->addMenu(createRecentMenu());
  file->addAction(QuickInfoImages1);
  file->addAction(QuickInfoWav1);
  file->addAction(CheckTheme1);
  file->addSeparator();
  file->addAction(Save1);
  file->addAction(Saveall1);
  file->addAction(SaveFrameBlit);
  file->addAction(SaveAnimation1);
  file->addAction(AlphaBlending2);
  file->addAction(Scaling2);
  file->addSeparator();
  file->addAction(Exit1);

  QMenu* edit = named(menuBar()->addMenu("&Edit"), "Edit2");
  edit->addAction(Undo1);
  edit->addAction(Redo1);
  edit->addSeparator();
  edit->addAction(Copy1);
  edit->addAction(Addchunk1);
  edit->addAction(Removechunk1);
  edit->addSeparator();
  edit->addAction(ReplaceResource1);
  edit->addAction(RemoveResource1);
  edit->addAction(AddIconGroup1);
  edit->addSeparator();
  edit->addAction(Options1);

  createViewMenu();

  QMenu* help = named(menuBar()->addMenu("&Help"), "Help1");
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
  auto button = [this](const char* name, const char* hint, ToolPicture picture, void (TFormANI::*handler)(),
                       const QAction* command) {
    auto* tool = named(new QToolButton(ToolBar1), name);
    tool->setToolTip(QString::fromLatin1(hint));
    showShortcutInHint(tool, command);
    tool->setIcon(toolIcon(picture));
    tool->setAutoRaise(true);
    ToolBar1->addWidget(tool);
    connect(tool, &QToolButton::clicked, this, handler);
    return tool;
  };
  ButLoad = button("ButLoad", "Open", ToolPicture::open, &TFormANI::ButLoadClick, Open2);
  ToolButton6 = button("ToolButton6", "Quick Info (images)", ToolPicture::quickInfoImages, &TFormANI::ToolButton6Click,
                       QuickInfoImages1);
  ToolButton7 =
      button("ToolButton7", "Quick Info (wav)", ToolPicture::quickInfoWave, &TFormANI::ToolButton7Click, QuickInfoWav1);
  ToolBar1->addSeparator();
  ButSaveAll = button("ButSaveAll", "Save all", ToolPicture::saveAll, &TFormANI::ButSaveAllClick, Saveall1);
  ButSave = button("ButSave", "Save frame", ToolPicture::saveFrame, &TFormANI::ButSaveClick, SaveFrameBlit);
  ButCopy = button("ButCopy", "Copy frame", ToolPicture::copyFrame, &TFormANI::ButCopyClick, Copy1);
  ToolBar1->addSeparator();
  ButPlus = button("ButPlus", "Add chunk", ToolPicture::addChunk, &TFormANI::ButPlusClick, Addchunk1);
  ButMinus = button("ButMinus", "Remove chunk", ToolPicture::removeChunk, &TFormANI::ButMinusClick, Removechunk1);
  ToolBar1->addSeparator();
  ToolButton5 = button("ToolButton5", "Options", ToolPicture::options, &TFormANI::ToolButton5Click, Options1);
  ButHelp = button("ButHelp", "Help", ToolPicture::help, &TFormANI::ButHelpClick, Content1);
  ButAbout = button("ButAbout", "About", ToolPicture::about, &TFormANI::ButAboutClick, About1);
  for (QToolButton* idle : {ButSaveAll, ButSave, ButCopy, ButPlus, ButMinus}) idle->setEnabled(false);
}

}  // namespace delvix::app
