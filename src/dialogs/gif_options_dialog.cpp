#include "dialogs/gif_options_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <tuple>

#include "widgets/picture_box.h"
#include "widgets/widget_names.h"

namespace delvix::dialogs {

namespace {

using app::named;
using codecs::gif::ColorReduction;
using codecs::gif::DitherMode;

// The lists' items in their order, with the codec's values.
constexpr std::pair<const char*, ColorReduction> reductions[] = {
    {"Netscape", ColorReduction::rmNetscape},   {"Monochrome", ColorReduction::rmMonochrome},
    {"GrayScale", ColorReduction::rmGrayScale}, {"WindowsGray", ColorReduction::rmWindowsGray},
    {"Windows20", ColorReduction::rmWindows20}, {"Windows256", ColorReduction::rmWindows256},
    {"Optimized", ColorReduction::rmQuantize},  {"OptimizedWindows", ColorReduction::rmQuantizeWindows},
};
constexpr std::pair<const char*, DitherMode> dithers[] = {
    {"FloydSteinberg", DitherMode::dmFloydSteinberg},
    {"Stucki", DitherMode::dmStucki},
    {"Sierra", DitherMode::dmSierra},
    {"JaJuNi", DitherMode::dmJaJuNI},
    {"SteveArche", DitherMode::dmSteveArche},
    {"Burkes", DitherMode::dmBurkes},
    {"dmNearest", DitherMode::dmNearest},
};
constexpr int smallestPaletteBits = 3;

template <typename Items, typename Value>
int indexOf(const Items& items, Value value) {
  for (int i = 0; i < static_cast<int>(std::size(items)); ++i)
    if (items[i].second == value) return i;
  return 0;
}

// A sunken panel that holds one picture, captioned above.
QFrame* picturePanel(QWidget* owner, QVBoxLayout* column, const char* name, const char* caption,
                     app::PictureBox*& picture, const char* pictureName) {
  column->addWidget(new QLabel(QString::fromLatin1(caption), owner));
  auto* panel = named(new QFrame(owner), name);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setFixedSize(140, 140);
  panel->setAutoFillBackground(true);
  panel->setBackgroundRole(QPalette::Button);
  picture = named(new app::PictureBox(panel), pictureName);
  column->addWidget(panel);
  return panel;
}

}  // namespace

TGifOptionForm::TGifOptionForm(QWidget* owner) : XiDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint) {
  setObjectName("GifOptionForm");
  setWindowTitle("Gif options");
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* lists = new QFormLayout;
  ComboReduction = named(new QComboBox(this), "ComboReduction");
  for (const auto& [caption, value] : reductions) ComboReduction->addItem(caption);
  ComboDither = named(new QComboBox(this), "ComboDither");
  for (const auto& [caption, value] : dithers) ComboDither->addItem(caption);
  ComboColor = named(new QComboBox(this), "ComboColor");
  for (int bits = smallestPaletteBits; bits <= 8; ++bits) ComboColor->addItem(QString::number(1 << bits));
  lists->addRow("Reduction:", ComboReduction);
  lists->addRow("Dither:", ComboDither);
  lists->addRow("Colors:", ComboColor);
  auto* compress = named(new QGroupBox("Compress", this), "CompressGroup");
  auto* choices = new QHBoxLayout(compress);
  CompressGroup = new QButtonGroup(this);
  for (const auto& [id, caption] : {std::pair{0, "LZW"}, std::pair{1, "RLE"}}) {
    auto* choice = new QRadioButton(QString::fromLatin1(caption), compress);
    CompressGroup->addButton(choice, id);
    choices->addWidget(choice);
  }
  lists->addRow(compress);
  top->addLayout(lists);
  auto* before = new QVBoxLayout;
  Panel1 = picturePanel(this, before, "Panel1", "Before", ImageSrc, "ImageSrc");
  auto* after = new QVBoxLayout;
  Panel2 = picturePanel(this, after, "Panel2", "After", ImageGif, "ImageGif");
  top->addLayout(before);
  top->addLayout(after);
  layout->addLayout(top);

  std::tie(XiButton1, XiButton2) = addOkCancelRow(layout);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(ComboReduction, &QComboBox::currentIndexChanged, this, &TGifOptionForm::ComboReductionChange);
  connect(ComboDither, &QComboBox::currentIndexChanged, this, &TGifOptionForm::ComboDitherChange);
  connect(ComboColor, &QComboBox::currentIndexChanged, this, &TGifOptionForm::ComboColorChange);
  connect(CompressGroup, &QButtonGroup::idClicked, this, &TGifOptionForm::CompressGroupClick);
}

void TGifOptionForm::showFor(const gfx::Image& picture, codecs::gif::Settings& settings) {
  settings_ = &settings;
  source_ = picture;
  FormShow();
  open();
}

void TGifOptionForm::FormShow() {
  if (!settings_) return;
  // Both pictures are as large as the source, centred in their panels; a source wider or higher than a panel
  // starts at its top-left corner, and the panel shows what fits.
  auto place = [this](app::PictureBox* box, const QFrame* panel) {
    const QRect inner = panel->contentsRect();
    const int width = source_.width(), height = source_.height();
    const int left = inner.width() - width < 2 ? 2 : inner.left() + (inner.width() - width) / 2;
    const int top = inner.height() - height < 2 ? 2 : inner.top() + (inner.height() - height) / 2;
    box->setGeometry(left, top, std::min(width, inner.width() - 4), std::min(height, inner.height() - 4));
  };
  place(ImageSrc, Panel1);
  place(ImageGif, Panel2);
  ImageSrc->setPicture(source_);
  const QSignalBlocker blockReduction(ComboReduction), blockDither(ComboDither), blockColor(ComboColor);
  ComboReduction->setCurrentIndex(indexOf(reductions, settings_->reduction));
  ComboDither->setCurrentIndex(indexOf(dithers, settings_->dither));
  ComboColor->setCurrentIndex(std::clamp(settings_->reductionBits, smallestPaletteBits, 8) - smallestPaletteBits);
  CompressGroup->button(static_cast<int>(settings_->compression))->setChecked(true);
  ComboReductionChange();
  ComboDitherChange();
  ComboColorChange();
}

void TGifOptionForm::ComboReductionChange() {
  if (!settings_) return;
  settings_->reduction = reductions[std::max(ComboReduction->currentIndex(), 0)].second;
  redraw();
}

void TGifOptionForm::ComboDitherChange() {
  if (!settings_) return;
  settings_->dither = dithers[std::max(ComboDither->currentIndex(), 0)].second;
  redraw();
}

void TGifOptionForm::ComboColorChange() {
  if (!settings_) return;
  settings_->reductionBits = std::max(ComboColor->currentIndex(), 0) + smallestPaletteBits;
  redraw();
}

void TGifOptionForm::CompressGroupClick() {
  if (settings_) settings_->compression = static_cast<codecs::gif::Compression>(CompressGroup->checkedId());
}

void TGifOptionForm::redraw() {
  reduced_ =
      source_.empty() ? gfx::Image() : codecs::gif::renderIndexed(codecs::gif::reduceColours(source_, *settings_));
  ImageGif->setPicture(reduced_);
}

}  // namespace delvix::dialogs
