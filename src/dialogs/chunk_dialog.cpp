#include "dialogs/chunk_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>
#include <span>
#include <tuple>

#include "formats/regular_file.h"
#include "platform/prompter.h"
#include "preview/frame_render.h"
#include "widgets/command_messages.h"
#include "widgets/message_log.h"
#include "widgets/picture_box.h"
#include "widgets/widget_names.h"

namespace delvix::dialogs {

namespace {

using app::named;

constexpr const char* sourceFilter =
    "Icon and cursor files (*.ico,*.cur)|*.ico;*.cur|Only icons (*.ico)|*.ico|Only cursors (*.cur)|*.cur";

// Icon and cursor files are small; what lies past this is not read, and entries there are reported as not
// held whole.
constexpr qint64 largestSourceFile = qint64{64} << 20;

// The check box and edit names of the INFO items, in the order of edit::offeredInfoItems().
constexpr std::array<std::pair<const char*, const char*>, 10> infoNames{{
    {"CheckBoxINAM", "EditINAM"},
    {"CheckBoxIART", "EditIART"},
    {"CheckDate", "EditDate"},
    {"CheckEngineer", "EditEngineer"},
    {"CheckSoftware", "EditSoftware"},
    {"CheckCopyright", "EditCopyright"},
    {"CheckProduct", "EditProduct"},
    {"CheckSource", "EditSource"},
    {"CheckComments", "EditComments"},
    {"CheckSubject", "EditSubject"},
}};

constexpr int previewMargin = 4;

const edit::InfoChoice* choiceOf(const edit::ChunkOffer& offer, std::string_view id) {
  for (const edit::InfoChoice& choice : offer.info)
    if (choice.id == id) return &choice;
  return nullptr;
}

void setChoice(QCheckBox* box, const edit::ChunkChoice& choice) {
  box->setChecked(choice.checked);
  box->setEnabled(choice.enabled);
}

}  // namespace

TFormChunk::TFormChunk(QWidget* owner) : XiDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormChunk");
  setWindowTitle("Add chunks");
  auto* layout = new QVBoxLayout(this);
  PageControl1 = named(new QTabWidget(this), "PageControl1");
  PageControl1->addTab(createInfoPage(), "List_info");
  PageControl1->addTab(createChunkPage(), "Time, sequence && fact");
  PageControl1->addTab(createImagePage(), "Add image");
  layout->addWidget(PageControl1);
  std::tie(XiButton1, XiButton2) = addOkCancelRow(layout);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TFormChunk::createInfoPage() {
  auto* page = named(new QWidget(PageControl1), "TabInfo");
  auto* grid = new QGridLayout(page);
  const auto& items = edit::offeredInfoItems();
  for (std::size_t i = 0; i < info_.size(); ++i) {
    InfoRow& row = info_[i];
    row.check = named(new QCheckBox(QString::fromLatin1(items[i].second), page), infoNames[i].first);
    row.edit = named(new QLineEdit(page), infoNames[i].second);
    row.edit->setMinimumWidth(220);
    row.edit->setMouseTracking(true);
    row.edit->installEventFilter(this);
    const int line = static_cast<int>(i);
    grid->addWidget(row.check, line, 0);
    grid->addWidget(row.edit, line, 1);
    connect(row.check, &QCheckBox::clicked, this, [this, i] { CheckBoxMouseUp(i); });
  }
  return page;
}

QWidget* TFormChunk::createChunkPage() {
  auto* page = named(new QWidget(PageControl1), "TabChunks");
  auto* column = new QVBoxLayout(page);
  auto* ani = named(new QGroupBox("For ani files", page), "GroupAni");
  auto* aniColumn = new QVBoxLayout(ani);
  CheckBoxrate = named(new QCheckBox("time (rate)", ani), "CheckBoxrate");
  CheckBoxseq = named(new QCheckBox("Sequence (seq)", ani), "CheckBoxseq");
  aniColumn->addWidget(CheckBoxrate);
  aniColumn->addWidget(CheckBoxseq);
  auto* wave = named(new QGroupBox("For wav files", page), "GroupWav");
  auto* waveColumn = new QVBoxLayout(wave);
  CheckFact = named(new QCheckBox("fact", wave), "CheckFact");
  waveColumn->addWidget(CheckFact);
  column->addWidget(ani);
  column->addWidget(wave);
  column->addStretch();
  return page;
}

QWidget* TFormChunk::createImagePage() {
  auto* page = named(new QWidget(PageControl1), "TabImage");
  auto* column = new QVBoxLayout(page);
  auto* fileRow = new QHBoxLayout;
  SpeedButtonAdd = named(new QToolButton(page), "SpeedButtonAdd");
  SpeedButtonAdd->setText("...");
  SpeedButtonAdd->setToolTip("Select file");
  Edit1 = named(new QLineEdit(page), "Edit1");
  Edit1->setReadOnly(true);
  fileRow->addWidget(SpeedButtonAdd);
  fileRow->addWidget(Edit1, 1);
  column->addLayout(fileRow);

  Label2 = named(new QLabel("This file contains the following icons:", page), "Label2");
  column->addWidget(Label2);
  auto* listRow = new QHBoxLayout;
  ListBox1 = named(new QListWidget(page), "ListBox1");
  ListBox1->setFixedWidth(140);
  listRow->addWidget(ListBox1);
  auto* previewColumn = new QVBoxLayout;
  auto* panelRow = new QHBoxLayout;
  Panel1 = named(new QLabel("None", page), "Panel1");
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setFixedWidth(60);
  Panel1->installEventFilter(this);
  panelRow->addWidget(Panel1);
  panelRow->addStretch();
  previewColumn->addLayout(panelRow);
  previewColumn->addWidget(named(new QLabel("Preview: Blitting + Alpha Blending", page), "Label3"));
  ScrollBox1 = named(new QScrollArea(page), "ScrollBox1");
  ScrollBox1->setFixedSize(300, 170);
  ScrollBox1->setWidgetResizable(false);
  auto* canvas = new QWidget;
  PaintBox1 = named(new app::PictureBox(canvas), "PaintBox1");
  PaintBox1->setToolTip("Blitting");
  PaintBox2 = named(new app::PictureBox(canvas), "PaintBox2");
  PaintBox2->setToolTip("Alpha Blending");
  ScrollBox1->setWidget(canvas);
  previewColumn->addWidget(ScrollBox1);
  listRow->addLayout(previewColumn);
  column->addLayout(listRow);

  connect(SpeedButtonAdd, &QToolButton::clicked, this, &TFormChunk::SpeedButtonAddClick);
  connect(ListBox1, &QListWidget::currentRowChanged, this, &TFormChunk::ListBox1Click);
  return page;
}

void TFormChunk::showFor(const model::Document& document, platform::Prompter& prompter, app::MessageLog& log) {
  prompter_ = &prompter;
  log_ = &log;
  if (folder_.empty()) folder_ = std::filesystem::path(document.path).parent_path().string();
  FormShow(document);
  open();
}

void TFormChunk::FormShow(const model::Document& document) {
  const edit::ChunkOffer offer = edit::chunkOffer(document);
  const auto& items = edit::offeredInfoItems();
  for (std::size_t i = 0; i < info_.size(); ++i) {
    const InfoRow& row = info_[i];
    const edit::InfoChoice* choice = choiceOf(offer, items[i].first);
    const bool present = offer.infoEnabled && choice && choice->present;
    row.edit->setText(present ? QString::fromStdString(choice->text) : QString());
    row.check->setChecked(present);
    row.check->setEnabled(offer.infoEnabled && !present);
    row.edit->setEnabled(false);
  }
  setChoice(CheckBoxrate, offer.rate);
  setChoice(CheckBoxseq, offer.sequence);
  setChoice(CheckFact, offer.fact);
  SpeedButtonAdd->setEnabled(offer.imagesEnabled);
  ListBox1->setEnabled(offer.imagesEnabled);
  Panel1Click();
}

void TFormChunk::CheckBoxMouseUp(std::size_t item) {
  const InfoRow& row = info_.at(item);
  const bool use = row.check->isChecked() && row.check->isEnabled();
  row.edit->setEnabled(use);
  if (use) row.edit->setFocus();
}

void TFormChunk::EditMouseMove(QLineEdit* edit) { edit->setToolTip(edit->text()); }

bool TFormChunk::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove)
    for (const InfoRow& row : info_)
      if (watched == row.edit) EditMouseMove(row.edit);
  if (watched == Panel1 && event->type() == QEvent::MouseButtonRelease) Panel1Click();
  return XiDialog::eventFilter(watched, event);
}

void TFormChunk::SpeedButtonAddClick() {
  if (!prompter_ || !log_) return;
  const auto chosen = prompter_->openFile({"Open", sourceFilter, folder_});
  if (!chosen) return;
  Edit1->setText(QString::fromStdString(*chosen));
  log_->add("Add: opening of file: " + *chosen);
  folder_ = std::filesystem::path(*chosen).parent_path().string();

  QByteArray bytes;
  // Opened only as a regular file: a FIFO would keep the window waiting for a writer.
  formats::OpenedFile opened = formats::openRegularFile(*chosen);
  QFile file;
  if (opened.descriptor && file.open(opened.descriptor.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
    bytes = file.read(std::min(file.size(), largestSourceFile));
  const std::span<const std::uint8_t> content(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                              static_cast<std::size_t>(bytes.size()));
  app::CommandMessages messages(*log_, *prompter_, std::filesystem::path(*chosen).filename().string(),
                                &commandMessages_);
  source_ = edit::readIconSource(content, messages.reporter());
  const edit::IconSource* read = source();

  const QSignalBlocker quiet(ListBox1);
  ListBox1->clear();
  Label2->setText(read ? QString::fromStdString(read->label) : "This file contains the following icons:");
  if (read)
    for (const std::string& line : read->lines) ListBox1->addItem(QString::fromStdString(line));
  Panel1Click();
  if (ListBox1->count() == 0) return;
  ListBox1->setCurrentRow(0);
  ListBox1Click();
}

void TFormChunk::ListBox1Click() {
  const int row = ListBox1->currentRow();
  const edit::IconSource* read = source();
  if (!read || row < 0 || static_cast<std::size_t>(row) >= read->lines.size()) {
    Panel1->setText("None");
    clearPreviews();
    return;
  }
  const auto entry = static_cast<std::size_t>(row);
  Panel1->setText(QString::number(row + 1));
  if (const std::string problem = edit::sourceEntryProblem(*read, entry); !problem.empty()) {
    clearPreviews();
    showError(problem);
    return;
  }
  showPreview(*read, entry);
}

void TFormChunk::Panel1Click() {
  {
    const QSignalBlocker quiet(ListBox1);
    ListBox1->clearSelection();
    ListBox1->setCurrentRow(-1);
  }
  Panel1->setText("None");
  clearPreviews();
}

void TFormChunk::clearPreviews() {
  PaintBox1->clearPicture();
  PaintBox2->clearPicture();
  PaintBox1->setGeometry(previewMargin, previewMargin, 0, 0);
  PaintBox2->setGeometry(previewMargin, previewMargin, 0, 0);
  ScrollBox1->widget()->resize(0, 0);
}

void TFormChunk::showPreview(const edit::IconSource& read, std::size_t entry) {
  const int index = static_cast<int>(entry);
  const preview::Rendering plain = preview::renderPlain(read.document, index);
  const preview::Rendering alpha = preview::renderAlpha(read.document, index);
  for (const preview::Rendering* drawn : {&plain, &alpha})
    for (const std::string* line : {&drawn->logLine, &drawn->error})
      if (!line->empty() && log_) log_->add(*line);
  const int width = plain.image.width(), height = std::max(plain.image.height(), alpha.image.height());
  PaintBox1->setPicture(plain.image);
  PaintBox2->setPicture(alpha.image);
  PaintBox1->setGeometry(previewMargin, previewMargin, width, plain.image.height());
  PaintBox2->setGeometry(previewMargin + width + previewMargin, previewMargin, alpha.image.width(),
                         alpha.image.height());
  ScrollBox1->widget()->resize(PaintBox2->geometry().right() + 1 + previewMargin, height + 2 * previewMargin);
  ScrollBox1->horizontalScrollBar()->setValue(0);
  ScrollBox1->verticalScrollBar()->setValue(0);
}

void TFormChunk::showError(const std::string& text) {
  if (commandMessages_) {
    commandMessages_->reporter().error(text);
    return;
  }
  if (prompter_) prompter_->show({text, platform::MessageButtons::yes, platform::MessageIcon::error, {}});
  if (log_) log_->add(text);
}

edit::ChunkAdditions TFormChunk::additions() const {
  edit::ChunkAdditions additions;
  const auto& items = edit::offeredInfoItems();
  for (std::size_t i = 0; i < info_.size(); ++i)
    if (info_[i].check->isChecked() && info_[i].check->isEnabled())
      additions.info.push_back({items[i].first, info_[i].edit->text().toStdString()});
  auto used = [](const QCheckBox* box) { return box->isChecked() && box->isEnabled(); };
  additions.rate = used(CheckBoxrate);
  additions.sequence = used(CheckBoxseq);
  additions.fact = used(CheckFact);
  return additions;
}

const edit::IconSource* TFormChunk::imageSource() const { return source(); }

std::optional<std::size_t> TFormChunk::selectedEntry() const {
  const int row = ListBox1->currentRow();
  const edit::IconSource* read = source();
  if (!read || !SpeedButtonAdd->isEnabled() || row < 0 || static_cast<std::size_t>(row) >= read->lines.size())
    return std::nullopt;
  return static_cast<std::size_t>(row);
}

}  // namespace delvix::dialogs
