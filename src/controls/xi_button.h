#pragma once

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <array>
#include <cstdint>
#include <utility>

class QBoxLayout;
class QPainter;

namespace delvix::controls {

// A colour as 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

enum class TBtnState { bsNormal, bsOver, bsDown };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TColorScheme {
  csNeoDesert,
  csNeoSky,
  csNeoGrass,
  csNeoSilver,
  csNeoRose,
  csNeoSun,
  csDesert,
  csGrass,
  csSky,
  csSun,
  csRose,
  csSilver,
  csCustom
};

// The 25 colours of a button, by index: face, grad, dark, light, border, text of the normal set (0-5), the
// Over set (6-11), the Down set (12-17) and the Disabled set (18-23), then the focus rectangle (24).
inline constexpr int colourCount = 25;
using ButtonColours = std::array<Colour, colourCount>;
namespace colour {
inline constexpr int face = 0, grad = 1, dark = 2, light = 3, border = 4, text = 5;
inline constexpr int overSet = 6, downSet = 12, disabledSet = 18, focusRect = 24;
}  // namespace colour

QColor toQColor(Colour colour);

// Everything that the face of a button depends on.
struct ButtonLook {
  int width = 75;
  int height = 25;
  ButtonColours colours{};
  bool gradient = true;
  bool ctl3D = true;
  bool enabled = true;
  bool focused = false;
  TBtnState state = TBtnState::bsNormal;
  QString caption;  // with its '&' accelerator marker
  QFont font;
  QImage glyph;  // empty: none
  TButtonLayout layout = TButtonLayout::blGlyphLeft;
  int spacing = 4;
  bool transparentGlyph = true;
};

// Where the glyph's top-left corner and the caption go, for a caption of captionSize in the button's font.
struct FaceLayout {
  QPoint glyph;
  QRect caption;
};
FaceLayout layoutFace(const ButtonLook& look, QSize captionSize);

// Draws the whole face of a button at (0, 0), as a widget of look.width x look.height shows it.
void paintButton(QPainter& painter, const ButtonLook& look);
// The vertical gradient: lines 0 .. bottom - top at y = i, from colour2 at the top to colour1 at the bottom.
void gradientFillRect(QPainter& painter, const QRect& rect, Colour colour1, Colour colour2);

// A dialog push button with a flat or gradient face in one of twelve colour schemes, hot tracking and a
// modal result that it gives its dialog when clicked (1 accepts, 2 rejects, other values end it with
// that result, 0 leaves it open).
class TXiButton : public QPushButton {
  Q_OBJECT

 public:
  explicit TXiButton(const QString& caption = {}, QWidget* parent = nullptr);

  // Stores a colour by its index (0 to 24) and makes the scheme csCustom; other indexes store nothing.
  void SetColors(int index, Colour colour);
  Colour colourAt(int index) const;
  const ButtonColours& colours() const { return look_.colours; }
  void SetColorScheme(TColorScheme scheme);
  TColorScheme ColorScheme() const { return scheme_; }
  // The 25 colours as "ColorFace:= clBlack;" lines.
  QStringList GetColorScheme() const;

  void setCtl3D(bool on);
  void setGlyphLayout(TButtonLayout layout);
  void setGlyph(const QImage& glyph);
  void setSpacing(int pixels);
  void setTransparentGlyph(bool on);
  void setGradient(bool on);
  bool gradient() const { return look_.gradient; }
  void setHotTrack(bool on);
  void setCancel(bool on) { cancel_ = on; }
  bool isCancel() const { return cancel_; }
  void setModalResult(int result) { modalResult_ = result; }
  int modalResult() const { return modalResult_; }
  TBtnState state() const { return look_.state; }
  // What paintEvent would draw now.
  ButtonLook look() const;
  // 75 x 25, or more when the caption and glyph need it.
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void nextCheckState() override;

 private:
  void setState(TBtnState state);
  void pointerEntered();
  void pointerLeft();
  void giveModalResult();

  ButtonLook look_;
  TColorScheme scheme_ = TColorScheme::csNeoDesert;
  bool hotTrack_ = true;
  bool pressed_ = false;
  bool cancel_ = false;
  int modalResult_ = 0;
  bool pointerInside_ = false;
  QMetaObject::Connection modalResultConnection_;
};

// A dialog whose Escape and close box run its Cancel button's handler, as a click on it would.
class XiDialog : public QDialog {
  Q_OBJECT

 public:
  explicit XiDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  void reject() override;

  // Adds the row of the dialog's "OK" (named XiButton1) and "Cancel" (XiButton2) buttons, right-aligned.
  std::pair<TXiButton*, TXiButton*> addOkCancelRow(QBoxLayout* layout);

 protected:
  // A caption's accelerator key without Alt clicks its button, unless the focused widget took the key.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class TXiButton;
  bool rejecting_ = false;
};

// The dialogs' OK (csNeoDesert, default, result 1), Cancel (csNeoSky, cancel, result 2) and other buttons
// (csNeoDesert, result 0).
TXiButton* okButton(const QString& caption, QWidget* parent);
TXiButton* cancelButton(const QString& caption, QWidget* parent);
TXiButton* plainButton(const QString& caption, QWidget* parent);

}  // namespace delvix::controls
