// The main window's panes: the structure tree, the field table with its edit strip, the picture group, the wave
// group and the status bar.
#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/field_table_model.h"
#include "app/main_window/main_window.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "preview/thumbnail.h"
#include "wave/track_scale.h"
#include "widgets/elided_tips.h"
#include "widgets/picture_box.h"
#include "widgets/pictures.h"
#include "widgets/wave_view.h"
#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

QToolButton* toolButton(QToolBar* bar, const char* name, const char* hint, ToolPicture picture) {
  auto* button = named(new QToolButton(bar), name);
  button->setToolTip(QString::fromLatin1(hint));
  button->setIcon(toolIcon(picture));
  button->setAutoRaise(true);
  button->setEnabled(false);
  bar->addWidget(button);
  return button;
}

QLineEdit* editBox(QWidget* owner, QHBoxLayout* row, const char* name, bool digitsOnly) {
  auto* edit = named(new QLineEdit(owner), name);
  if (digitsOnly) edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
  edit->setMaximumWidth(digitsOnly ? 90 : 16777215);
  edit->hide();
  row->addWidget(edit);
  return edit;
}

QPushButton* stripButton(QWidget* owner, QHBoxLayout* row, const char* name, const char* text) {
  auto* button = named(new QPushButton(QString::fromLatin1(text), owner), name);
  button->setEnabled(false);
  // The buttons share what width the pane has, so the pane may be made narrow.
  button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  button->setMinimumWidth(24);
  row->addWidget(button);
  return button;
}

// The selected row stays marked when the view loses the focus.
void keepSelectionVisible(QWidget* view) {
  QPalette palette = view->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  view->setPalette(palette);
}

QLabel* statusPanel(QWidget* owner, const char* name, const QString& text = {}) {
  auto* panel = named(new QLabel(text, owner), name);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setMinimumWidth(40);
  return panel;
}

}  // namespace

QWidget* TFormANI::createTreeGroup() {
  GroupBox1 = named(new QGroupBox("File structure"), "GroupBox1");
  auto* layout = new QVBoxLayout(GroupBox1);
  layout->setContentsMargins(4, 4, 4, 4);
  TreeView1 = named(new QTreeView(GroupBox1), "TreeView1");
  treeModel_ = new TreeModel(this);
  TreeView1->setModel(treeModel_);
  TreeView1->setHeaderHidden(true);
  TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
  TreeView1->setIconSize({16, 16});
  keepSelectionVisible(TreeView1);
  TreeView1->installEventFilter(this);
  connect(TreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    TreeView1Change(current);
    updateModuleCommands();
  });
  TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(TreeView1, &QWidget::customContextMenuRequested, this, &TFormANI::showTreeMenu);
  connect(TreeView1, &QTreeView::collapsed, this, &TFormANI::TreeView1Collapsed);
  connect(TreeView1, &QTreeView::expanded, this, &TFormANI::TreeView1Expanded);
  layout->addWidget(TreeView1);
  return GroupBox1;
}

QWidget* TFormANI::createFieldGroup() {
  GroupBox4 = named(new QGroupBox("Preview/Edit data"), "GroupBox4");
  auto* layout = new QVBoxLayout(GroupBox4);
  layout->setContentsMargins(4, 4, 4, 4);
  ListView1 = named(new QTreeView(GroupBox4), "ListView1");
  fieldModel_ = new FieldTableModel(ListView1);
  ListView1->setModel(fieldModel_);
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setAllColumnsShowFocus(true);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->header()->setStretchLastSection(false);
  ListView1->header()->setSectionsMovable(false);
  ListView1->setColumnHidden(2, true);
  // Long values (INFO texts, names) are cut to the column; the cell's tooltip shows them whole.
  ListView1->setItemDelegate(new ElidedTipsDelegate(ListView1));
  keepSelectionVisible(ListView1);
  connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { ListView1SelectItem(); });
  connect(ListView1->header(), &QHeaderView::sectionResized, this, &TFormANI::keepFieldColumnInLimits);
  layout->addWidget(ListView1);

  auto* strip = named(new QWidget(GroupBox4), "Panel1");
  auto* rows = new QVBoxLayout(strip);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(0);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(2, 7, 2, 2);
  rows->addLayout(row);
  Edit1 = editBox(strip, row, "Edit1", true);
  Edit1->setMaximumWidth(QWIDGETSIZE_MAX);
  Edit1->show();
  EditInfo = editBox(strip, row, "EditInfo", false);
  EditR = editBox(strip, row, "EditR", true);
  EditG = editBox(strip, row, "EditG", true);
  EditB = editBox(strip, row, "EditB", true);
  EditRes = editBox(strip, row, "EditRes", true);
  EditMask1 = editBox(strip, row, "EditMask1", true);
  EditMask2 = editBox(strip, row, "EditMask2", true);
  EditColor = editBox(strip, row, "EditColor", true);
  EditMask = editBox(strip, row, "EditMask", true);
  editRow_ = row;
  row->setStretchFactor(Edit1, 1);
  row->setStretchFactor(EditInfo, 1);
  for (QLineEdit* edit : {EditInfo, EditR, EditG, EditColor, EditMask}) edit->installEventFilter(this);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(2, 2, 2, 2);
  row->addStretch();
  rows->addLayout(buttons);
  row = buttons;
  ButPrev = stripButton(strip, row, "ButPrev", "Previous");
  ButNext = stripButton(strip, row, "ButNext", "Next");
  ButAdd = stripButton(strip, row, "ButAdd", "Add");
  ButRemove = stripButton(strip, row, "ButRemove", "Remove");
  ButApply = stripButton(strip, row, "ButApply", "Apply");
  layout->addWidget(strip);

  connect(ButAdd, &QPushButton::clicked, this, &TFormANI::ButAddClick);
  connect(ButRemove, &QPushButton::clicked, this, &TFormANI::ButRemoveClick);
  connect(ButApply, &QPushButton::clicked, this, &TFormANI::ButApplyClick);
  connect(ButNext, &QPushButton::clicked, this, &TFormANI::ButNextClick);
  connect(ButPrev, &QPushButton::clicked, this, &TFormANI::ButPrevClick);
  return GroupBox4;
}

QWidget* TFormANI::createImageGroup() {
  GroupImage = named(new QGroupBox("Preview: Blitting + Alpha Blending"), "GroupImage");
  auto* layout = new QVBoxLayout(GroupImage);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);

  ToolBar2 = named(new QToolBar(GroupImage), "ToolBar2");
  ToolBar2->setIconSize({16, 16});
  ButUp = toolButton(ToolBar2, "ButUp", "Zoom In", ToolPicture::zoomIn);
  ButDown = toolButton(ToolBar2, "ButDown", "Zoom Out", ToolPicture::zoomOut);
  connect(ButUp, &QToolButton::clicked, this, &TFormANI::ButUpClick);
  connect(ButDown, &QToolButton::clicked, this, &TFormANI::ButDownClick);

  Panel16 = named(new QLabel(preview::zoomLabel(zoom_).c_str(), ToolBar2), "Panel16");
  Panel16->setFrameShape(QFrame::Panel);
  Panel16->setFrameShadow(QFrame::Sunken);
  Panel16->setAlignment(Qt::AlignCenter);
  Panel16->setMinimumWidth(48);
  Panel16->setAutoFillBackground(true);
  QPalette white = Panel16->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel16->setPalette(white);
  ToolBar2->addWidget(Panel16);
  layout->addWidget(ToolBar2);

  imageSplitter_ = named(new QSplitter(Qt::Vertical, GroupImage), "ImageSplitter");
  ScrollBox1 = named(new QScrollArea(imageSplitter_), "ScrollBox1");
  // The boxes are placed by hand; the canvas keeps them within reach of the scroll bars.
  previewCanvas_ = named(new QWidget, "PreviewCanvas");
  previewCanvas_->setAutoFillBackground(true);
  previewCanvas_->setBackgroundRole(QPalette::Button);
  PreviewBox = named(new PictureBox(previewCanvas_), "PreviewBox");
  PaintAlpha = named(new PictureBox(previewCanvas_), "PaintAlpha");
  PreviewBox->setToolTip("Blitting");
  PaintAlpha->setToolTip("Alpha Blending");
  for (PictureBox* box : {PreviewBox, PaintAlpha}) {
    box->setGeometry(4, 4, 1, 1);
    box->installEventFilter(this);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this,
            [this, box](const QPoint& at) { PopupBlend->popup(box->mapToGlobal(at)); });
  }
  ShapeBlitting = named(new PixelMarker(previewCanvas_), "ShapeBlitting");
  ShapeAlpha = named(new PixelMarker(previewCanvas_), "ShapeAlpha");
  for (PixelMarker* marker : {ShapeBlitting, ShapeAlpha}) marker->hide();
  ScrollBox1->setBackgroundRole(QPalette::Button);
  ScrollBox1->setWidget(previewCanvas_);
  ScrollBox1->setWidgetResizable(true);
  ScrollBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ScrollBox1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupBlend->popup(ScrollBox1->mapToGlobal(at)); });

  auto* lower = new QWidget(imageSplitter_);
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  lowerLayout->setSpacing(2);
  ToolBar4 = named(new QToolBar(lower), "ToolBar4");
  ToolBar4->setIconSize({16, 16});
  ButStart = toolButton(ToolBar4, "ButStart", "Run", ToolPicture::run);
  ButPause = toolButton(ToolBar4, "ButPause", "Pause", ToolPicture::pause);
  ButStop = toolButton(ToolBar4, "ButStop", "Stop", ToolPicture::stop);
  ButBack = toolButton(ToolBar4, "ButBack", "Back", ToolPicture::back);
  ButForward = toolButton(ToolBar4, "ButForward", "Forward", ToolPicture::forward);
  connect(ButStart, &QToolButton::clicked, this, &TFormANI::ButStartClick);
  connect(ButPause, &QToolButton::clicked, this, &TFormANI::ButPauseClick);
  connect(ButStop, &QToolButton::clicked, this, &TFormANI::ButStopClick);
  connect(ButForward, &QToolButton::clicked, this, &TFormANI::ButForwardClick);
  connect(ButBack, &QToolButton::clicked, this, &TFormANI::ButBackClick);
  lowerLayout->addWidget(ToolBar4);

  ListPreview = named(new QTreeView(lower), "ListPreview");
  thumbnailModel_ = new ThumbnailModel(this);
  ListPreview->setModel(thumbnailModel_);
  ListPreview->setRootIsDecorated(false);
  ListPreview->setUniformRowHeights(true);
  ListPreview->setItemsExpandable(false);
  ListPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListPreview->setSelectionMode(QAbstractItemView::SingleSelection);
  ListPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListPreview->setIconSize({preview::thumbnailBox, preview::thumbnailBox});
  ListPreview->header()->setStretchLastSection(false);
  ListPreview->header()->setMinimumSectionSize(20);
  // Columns fit the rows shown (and the last, measured apart): measuring a thousand rows more, as Qt does by
  // default, would draw their thumbnails only to throw them away.
  ListPreview->header()->setResizeContentsPrecision(0);
  ListPreview->setContextMenuPolicy(Qt::CustomContextMenu);
  keepSelectionVisible(ListPreview);
  // A click on the row already selected shows its picture again, which no selection signal reports.
  ListPreview->viewport()->installEventFilter(this);
  connect(ListPreview, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupBlend->popup(ListPreview->viewport()->mapToGlobal(at)); });
  connect(ListPreview->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { ListPreviewSelectItem(current); });
  // Columns keep to the widths their kind of file allows.
  connect(ListPreview->header(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
    if (section < 0 || section >= static_cast<int>(thumbnailColumns_.size())) return;
    const ColumnLimits& limits = thumbnailColumns_[static_cast<std::size_t>(section)];
    if (limits.maximum == 0) return;
    const int bounded = std::clamp(size, limits.minimum, limits.maximum);
    if (bounded != size) ListPreview->header()->resizeSection(section, bounded);
  });
  lowerLayout->addWidget(ListPreview);
  imageSplitter_->setCollapsible(0, false);
  imageSplitter_->setCollapsible(1, false);
  layout->addWidget(imageSplitter_);
  return GroupImage;
}

QWidget* TFormANI::createMusicGroup() {
  GroupMusic = named(new QGroupBox("Preview"), "GroupMusic");
  auto* layout = new QVBoxLayout(GroupMusic);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  // Above the channels: where the view is, and its zoom.
  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  PanelForTime = statusPanel(GroupMusic, "PanelForTime", QString::fromStdString(wave::clockText(0)));
  PanelForTime->setToolTip(
      "The time (hours:minutes:seconds.milliseconds) of the first sample shown, and its number in brackets");
  PanelForTime->setMinimumWidth(PanelForTime->fontMetrics().horizontalAdvance("0:00:00.000 (0000000)") + 8);
  top->addWidget(PanelForTime);
  auto* zoomBar = named(new QToolBar(GroupMusic), "ToolBarWaveZoom");
  zoomBar->setIconSize({16, 16});
  BWaveZoomIn =
      toolButton(zoomBar, "BWaveZoomIn", "Zoom in on the wave (Ctrl+wheel over the wave)", ToolPicture::zoomIn);
  BWaveZoomOut = toolButton(zoomBar, "BWaveZoomOut", "Zoom out of the wave", ToolPicture::zoomOut);
  auto textButton = [zoomBar](const char* name, const char* text, const char* hint) {
    auto* button = named(new QToolButton(zoomBar), name);
    button->setText(QString::fromUtf8(text));
    button->setToolTip(QString::fromLatin1(hint));
    button->setAutoRaise(true);
    button->setEnabled(false);
    zoomBar->addWidget(button);
    return button;
  };
  BWaveShowAll = textButton("BWaveShowAll", "All", "Show the whole wave (Ctrl+0)");
  BWaveLouder = textButton("BWaveLouder", "A+", "Amplitude zoom in (Ctrl+Up over the wave)");
  BWaveSofter = textButton("BWaveSofter", "A\u2212", "Amplitude zoom out (Ctrl+Down over the wave)");
  top->addWidget(zoomBar);
  top->addStretch();
  layout->addLayout(top);

  WaveView1 = named(new WaveView(GroupMusic), "WaveView1");
  connect(WaveView1, &WaveView::playClicked, this, &TFormANI::playChannel);
  connect(WaveView1, &WaveView::stopClicked, this, [this] { BStopPlayClick(); });
  connect(WaveView1, &WaveView::saveClicked, this, &TFormANI::saveChannel);
  connect(WaveView1, &WaveView::frameClicked, this, &TFormANI::waveFrameClicked);
  connect(WaveView1, &WaveView::viewChanged, this, &TFormANI::waveViewMoved);
  layout->addWidget(WaveView1, 1);
  connect(BWaveZoomIn, &QToolButton::clicked, WaveView1, [this] { WaveView1->zoom(1); });
  connect(BWaveZoomOut, &QToolButton::clicked, WaveView1, [this] { WaveView1->zoom(-1); });
  connect(BWaveShowAll, &QToolButton::clicked, WaveView1, &WaveView::showAll);
  connect(BWaveLouder, &QToolButton::clicked, WaveView1, &WaveView::amplify);
  connect(BWaveSofter, &QToolButton::clicked, WaveView1, &WaveView::soften);

  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  auto* bar = named(new QToolBar(GroupMusic), "ToolBar3");
  bar->setIconSize({16, 16});
  BRunPlay =
      toolButton(bar, "BRunPlay", "Play (all channels; between the red lines when both are set)", ToolPicture::run);
  BStopPlay = toolButton(bar, "BStopPlay", "Stop", ToolPicture::stop);
  BDelete = toolButton(bar, "BDelete", "Delete between two red lines", ToolPicture::cut);
  connect(BRunPlay, &QToolButton::clicked, this, &TFormANI::BRunPlayClick);
  connect(BStopPlay, &QToolButton::clicked, this, &TFormANI::BStopPlayClick);
  connect(BDelete, &QToolButton::clicked, this, &TFormANI::BDeleteClick);
  row->addWidget(bar);
  Panel9 = statusPanel(GroupMusic, "Panel9", "0");
  Panel9->setToolTip("Selected samples for deleting");
  Panel9->setAutoFillBackground(true);
  QPalette white = Panel9->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel9->setPalette(white);
  Panel9->setMinimumWidth(40);
  row->addWidget(Panel9);
  row->addWidget(new QLabel("  samples", GroupMusic));
  row->addStretch();
  layout->addLayout(row);

  // Ctrl+0 shows the whole wave; Ctrl++ and Ctrl+- zoom the wave when it is on show (main_window_commands.cpp).
  ShowAllWave1 = new QAction("Show the whole wave", this);
  ShowAllWave1->setObjectName("ShowAllWave1");
  ShowAllWave1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  addAction(ShowAllWave1);
  connect(ShowAllWave1, &QAction::triggered, this, [this] {
    if (GroupMusic->isVisible() && BWaveShowAll->isEnabled()) BWaveShowAll->click();
  });
  playCursorTimer_ = new QTimer(this);
  playCursorTimer_->setInterval(40);
  connect(playCursorTimer_, &QTimer::timeout, this, &TFormANI::movePlayCursor);
  return GroupMusic;
}

void TFormANI::createStatusBar() {
  statusSplitter_ = named(new QSplitter(Qt::Horizontal), "StatusSplitter");
  Panel3 = statusPanel(statusSplitter_, "Panel3", " Select ani, ico, cur, exe, dll, ocx, cpl, scr or wav file");
  Panel4 = statusPanel(statusSplitter_, "Panel4");
  auto* sizePanel = new QFrame(statusSplitter_);
  sizePanel->setFrameShape(QFrame::StyledPanel);
  sizePanel->setFrameShadow(QFrame::Sunken);
  auto* row = new QHBoxLayout(sizePanel);
  row->setContentsMargins(0, 0, 4, 0);
  Panel5 = named(new QLabel(sizePanel), "Panel5");
  row->addWidget(Panel5);
  moduleCounters_ = named(new QWidget(sizePanel), "ModuleCounters");
  auto* counters = new QHBoxLayout(moduleCounters_);
  counters->setContentsMargins(0, 0, 0, 0);
  auto counter = [this, counters](const char* captionName, const char* caption, const char* countName) {
    counters->addWidget(named(new QLabel(QString::fromLatin1(caption), moduleCounters_), captionName));
    auto* count = named(new QLabel("0", moduleCounters_), countName);
    count->setMinimumWidth(24);
    counters->addWidget(count);
    return count;
  };
  Label6 = counter("Label2", "Icons:", "Label6");
  Label7 = counter("Label4", "Cursor:", "Label7");
  Label8 = counter("Label5", "Bitmaps:", "Label8");
  moduleCounters_->hide();
  row->addWidget(moduleCounters_);
  row->addStretch();
  for (int i = 0; i < 3; ++i) statusSplitter_->setCollapsible(i, false);
  statusSplitter_->setStretchFactor(2, 1);
  statusBar()->addWidget(statusSplitter_, 1);
  statusBar()->setSizeGripEnabled(true);
}

}  // namespace delvix::app
