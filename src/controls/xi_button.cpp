#include "controls/xi_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>

#include "controls/colour_schemes.h"

namespace delvix::controls {

namespace {

const QString setNames[] = {QString(), QStringLiteral("Over"), QStringLiteral("Down"), QStringLiteral("Disabled")};
// The order in which the colours of a set are listed, and the names they are listed under.
constexpr std::pair<int, const char*> listedColours[] = {
    {colour::face, "ColorFace"}, {colour::grad, "ColorGrad"},     {colour::light, "ColorLight"},
    {colour::dark, "ColorDark"}, {colour::border, "ColorBorder"}, {colour::text, "ColorText"},
};

constexpr int okResult = 1, cancelResult = 2;

bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
bool isSpaceKey(int key) { return key == Qt::Key_Space || key == Qt::Key_Select; }
bool withoutModifiers(const QKeyEvent* event) {
  return !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

QDialog* dialogOf(QWidget* button) {
  for (QWidget* widget = button->parentWidget(); widget; widget = widget->parentWidget()) {
    if (auto* dialog = qobject_cast<QDialog*>(widget)) return dialog;
    if (widget->isWindow()) break;
  }
  return nullptr;
}

}  // namespace

TXiButton::TXiButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  resize(75, 25);
  SetColorScheme(TColorScheme::csNeoDesert);
  for (int set : {colour::overSet, colour::downSet, colour::disabledSet}) look_.colours[set + colour::grad] = 0xFFFFFF;
}

void TXiButton::SetColors(int index, Colour colour) {
  if (index >= 0 && index < colourCount) look_.colours[static_cast<std::size_t>(index)] = colour;
  scheme_ = TColorScheme::csCustom;
  update();
}

Colour TXiButton::colourAt(int index) const {
  return index >= 0 && index < colourCount ? look_.colours[static_cast<std::size_t>(index)] : 0;
}

void TXiButton::SetColorScheme(TColorScheme scheme) {
  scheme_ = scheme;
  if (const auto row = schemeRow(scheme)) look_.gradient = applyScheme(*row, look_.colours);
  update();
}

QStringList TXiButton::GetColorScheme() const {
  QStringList lines;
  for (int set = 0; set < 4; ++set)
    for (const auto& [role, name] : listedColours)
      lines << setNames[set] + QLatin1String(name) + QStringLiteral(":= ") +
                   colourText(look_.colours[set * colour::overSet + role]) + QLatin1Char(';');
  lines << QStringLiteral("ColorFocusRect:=  ") + colourText(look_.colours[colour::focusRect]) + QLatin1Char(';');
  return lines;
}

void TXiButton::setCtl3D(bool on) {
  look_.ctl3D = on;
  update();
}

void TXiButton::setGlyphLayout(TButtonLayout layout) {
  look_.layout = layout;
  update();
}

void TXiButton::setGlyph(const QImage& glyph) {
  look_.glyph = glyph.copy();
  update();
}

void TXiButton::setSpacing(int pixels) {
  look_.spacing = pixels;
  update();
}

void TXiButton::setTransparentGlyph(bool on) {
  look_.transparentGlyph = on;
  update();
}

void TXiButton::setGradient(bool on) {
  look_.gradient = on;
  update();
}

void TXiButton::setHotTrack(bool on) {
  hotTrack_ = on;
  update();
}

ButtonLook TXiButton::look() const {
  ButtonLook look = look_;
  look.width = width();
  look.height = height();
  look.enabled = isEnabled();
  look.focused = hasFocus();
  look.caption = text();
  look.font = font();
  return look;
}

QSize TXiButton::sizeHint() const {
  QSize content = fontMetrics().size(Qt::TextShowMnemonic, text());
  if (!look_.glyph.isNull()) {
    const bool beside = look_.layout == TButtonLayout::blGlyphLeft || look_.layout == TButtonLayout::blGlyphRight;
    const int gap = text().isEmpty() ? 0 : look_.spacing;
    content =
        beside ? QSize(content.width() + gap + look_.glyph.width(), std::max(content.height(), look_.glyph.height()))
               : QSize(std::max(content.width(), look_.glyph.width()), content.height() + gap + look_.glyph.height());
  }
  return QSize(75, 25).expandedTo(content + QSize(16, 8));
}

void TXiButton::setState(TBtnState state) {
  if (look_.state == state) return;
  look_.state = state;
  update();
}

void TXiButton::pointerEntered() {
  pointerInside_ = true;
  if (hotTrack_) setState(pressed_ ? TBtnState::bsDown : TBtnState::bsOver);
}

void TXiButton::pointerLeft() {
  pointerInside_ = false;
  setState(TBtnState::bsNormal);
}

void TXiButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintButton(painter, look());
}

void TXiButton::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  pointerEntered();
}

void TXiButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  pointerLeft();
}

void TXiButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    pointerInside_ = true;
    setState(TBtnState::bsDown);
  }
  QPushButton::mousePressEvent(event);
}

// While the button is held the pointer is grabbed and Qt sends no enter or leave, so crossing the edge is
// found here.
void TXiButton::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  if (!pressed_) return;
  const bool inside = rect().contains(event->position().toPoint());
  if (inside && !pointerInside_) pointerEntered();
  if (!inside && pointerInside_) pointerLeft();
}

void TXiButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool left = event->button() == Qt::LeftButton;
  if (left) pressed_ = false;
  const QPoint at = event->position().toPoint();
  QPointer<TXiButton> guard(this);
  QPushButton::mouseReleaseEvent(event);  // clicks
  if (!guard || !left || !isVisible()) return;
  if (at.x() > 0 && at.x() < width() && at.y() > 0 && at.y() < height())
    setState(hotTrack_ ? TBtnState::bsOver : TBtnState::bsNormal);
}

void TXiButton::focusInEvent(QFocusEvent* event) {
  QPushButton::focusInEvent(event);
  update();
}

void TXiButton::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  setState(TBtnState::bsNormal);
  update();
}

void TXiButton::keyPressEvent(QKeyEvent* event) {
  // Enter clicks the focused button here, so that the dialog does not click its default button as well.
  if (isEnterKey(event->key()) && withoutModifiers(event)) {
    event->accept();
    click();
    return;
  }
  if (isSpaceKey(event->key()) && !event->isAutoRepeat()) setState(TBtnState::bsDown);
  QPushButton::keyPressEvent(event);
}

void TXiButton::keyReleaseEvent(QKeyEvent* event) {
  if (isSpaceKey(event->key()) && !event->isAutoRepeat()) setState(TBtnState::bsNormal);
  QPushButton::keyReleaseEvent(event);  // clicks after a Space press
}

void TXiButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
}

void TXiButton::hideEvent(QHideEvent* event) {
  QPushButton::hideEvent(event);
  pressed_ = false;
  pointerInside_ = false;
  setState(TBtnState::bsNormal);
}

// Every click passes here just before clicked() is emitted. The modal result is given by the last slot of
// clicked(), so that the dialog's own handlers (which may read its widgets back) run before it closes.
void TXiButton::nextCheckState() {
  QPushButton::nextCheckState();
  setState(TBtnState::bsNormal);
  disconnect(modalResultConnection_);
  modalResultConnection_ = connect(this, &QAbstractButton::clicked, this, [this] { giveModalResult(); });
}

void TXiButton::giveModalResult() {
  if (modalResult_ == 0) return;
  QDialog* dialog = dialogOf(this);
  if (!dialog) return;
  switch (modalResult_) {
    case okResult: dialog->accept(); break;
    case cancelResult: {
      // This click is the cancel click already: the dialog must not run it again.
      if (auto* xiDialog = qobject_cast<XiDialog*>(dialog)) {
        const QScopedValueRollback rejecting(xiDialog->rejecting_, true);
        dialog->reject();
      } else {
        dialog->reject();
      }
      break;
    }
    default: dialog->done(modalResult_);
  }
}

}  // namespace delvix::controls
