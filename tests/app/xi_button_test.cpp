#include "controls/xi_button.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

namespace delvix::controls {

namespace {

constexpr QRgb untouched = 0xFF000000;
using Log = std::vector<std::string>;

QImage painted(int width, int height, const std::function<void(QPainter&)>& paint) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(untouched);
  QPainter painter(&image);
  paint(painter);
  return image;
}

QImage paintedFace(const ButtonLook& look) {
  return painted(look.width, look.height, [&](QPainter& painter) { paintButton(painter, look); });
}

ButtonLook desertLook() {
  TXiButton button;
  ButtonLook look = button.look();
  look.focused = false;
  return look;
}

TEST(XiButton, ANewButtonIsADesertGradientButtonWithWhiteGradsOutsideItsNormalSet) {
  const TXiButton button("OK");
  EXPECT_EQ(button.size(), QSize(75, 25));
  EXPECT_EQ(button.ColorScheme(), TColorScheme::csNeoDesert);
  EXPECT_TRUE(button.gradient());
  EXPECT_EQ(button.colourAt(colour::grad), 0x37BEFFu);
  for (int set : {colour::overSet, colour::downSet, colour::disabledSet})
    EXPECT_EQ(button.colourAt(set + colour::grad), 0xFFFFFFu) << set;

  const QStringList lines = button.GetColorScheme();
  ASSERT_EQ(lines.size(), 25);
  EXPECT_EQ(lines[0], "ColorFace:= $00C6ECFF;");
  EXPECT_EQ(lines[2], "ColorLight:= $00B9E7FF;");
  EXPECT_EQ(lines[3], "ColorDark:= $00009CE8;");
  EXPECT_EQ(lines[11], "OverColorText:= clBlack;");
  EXPECT_EQ(lines[13], "DownColorGrad:= clWhite;");
  EXPECT_EQ(lines[23], "DisabledColorText:= clGray;");
  EXPECT_EQ(lines[24], "ColorFocusRect:=  $004080FF;");
}

// The face runs from cream at the top to orange at the bottom; edges and focus rectangle keep to their pixels.
TEST(XiButton, TheFacePaintsEachPixelOfTheEdgesOnce) {
  ButtonLook look = desertLook();
  const QRgb border = qRgb(128, 86, 0), light = qRgb(255, 231, 185), dark = qRgb(232, 156, 0);
  const QRgb focus = qRgb(255, 128, 64);
  struct Case {
    bool focused;
    QPoint at;
    QRgb expected;
  };
  const Case cases[] = {
      {false, {2, 12}, qRgb(255, 214, 129)},  // 236 - 12 * 46 / 25 = 213.92, 198 - 12 * 143 / 25 = 129.36
      {false, {2, 2}, qRgb(255, 232, 187)},
      {false, {0, 0}, border},
      {false, {74, 24}, border},
      {false, {1, 1}, light},
      {false, {1, 23}, light},
      {false, {73, 1}, dark},
      {false, {73, 23}, dark},
      {false, {2, 23}, dark},
      {false, {3, 3}, qRgb(255, 230, 181)},
      {true, {3, 3}, focus},
      {true, {71, 21}, focus},
      {true, {72, 21}, qRgb(255, 197, 78)},
  };
  for (const Case& c : cases) {
    look.focused = c.focused;
    EXPECT_EQ(paintedFace(look).pixel(c.at), c.expected) << c.at.x() << "," << c.at.y() << " focused " << c.focused;
  }
  for (const QSize empty : {QSize(0, 25), QSize(75, 0)}) {
    look.width = empty.width();
    look.height = empty.height();
    EXPECT_EQ(painted(75, 25, [&](QPainter& p) { paintButton(p, look); }).pixel(0, 0), untouched);
  }
}

TEST(XiButton, TheGradientDrawsOneLineMoreThanItsHeightAndEndsInColour1) {
  const Colour colour1 = 0x0000FF, colour2 = 0xFF0000;
  const QImage tall = painted(80, 30, [&](QPainter& p) { gradientFillRect(p, QRect(0, 0, 75, 25), colour1, colour2); });
  EXPECT_EQ(tall.pixel(0, 0), qRgb(0, 0, 255));
  EXPECT_EQ(tall.pixel(74, 25), qRgb(255, 0, 0));
  EXPECT_EQ(tall.pixel(75, 25), untouched);
  EXPECT_EQ(tall.pixel(0, 26), untouched);

  const QImage flat = painted(10, 3, [&](QPainter& p) { gradientFillRect(p, QRect(0, 0, 10, 0), colour1, colour2); });
  EXPECT_EQ(flat.pixel(9, 0), qRgb(255, 0, 0));
  EXPECT_EQ(flat.pixel(0, 1), untouched);

  const QImage none = painted(10, 3, [&](QPainter& p) { gradientFillRect(p, QRect(0, 0, 10, -1), colour1, colour2); });
  EXPECT_EQ(none.pixel(0, 0), untouched);
}

TEST(XiButton, AGlyphBesideTheCaptionKeepsTheSpacingAndThePairIsCentred) {
  QImage glyph(16, 16, QImage::Format_RGB32);
  glyph.fill(Qt::red);
  glyph.setPixel(0, 0, qRgb(255, 0, 255));  // the transparent colour
  glyph.setPixel(1, 0, qRgb(255, 0, 255));
  ButtonLook look = desertLook();
  look.glyph = glyph;
  look.caption = "&Close";
  const QSize captionSize(31, 13);
  const FaceLayout layout = layoutFace(look, captionSize);
  EXPECT_EQ(layout.caption.left() - (layout.glyph.x() + 16), 4);
  EXPECT_EQ(layout.glyph.y(), (25 - 16) / 2);
  const int leftMargin = layout.glyph.x(), rightMargin = 75 - (layout.caption.right() + 1);
  EXPECT_LE(std::abs(leftMargin - rightMargin), 1);

  ButtonLook pressed = look;
  pressed.state = TBtnState::bsDown;
  const FaceLayout down = layoutFace(pressed, captionSize);
  EXPECT_EQ(down.glyph, layout.glyph + QPoint(1, 1));
  EXPECT_EQ(down.caption, layout.caption.translated(1, 1));

  const QImage face = paintedFace(look);
  const QPoint glyphAt = layoutFace(look, QFontMetrics(look.font).size(Qt::TextShowMnemonic, look.caption)).glyph;
  EXPECT_EQ(face.pixel(glyphAt + QPoint(15, 15)), qRgb(255, 0, 0));
  EXPECT_NE(face.pixel(glyphAt + QPoint(1, 0)), qRgb(255, 0, 255));
}

TEST(XiButton, SchemesFollowTheirKindAndCustomColoursAreKept) {
  TXiButton button;
  for (int i = 0; i < 12; ++i) {
    const auto scheme = static_cast<TColorScheme>(i);
    const bool neo = i < 6;
    button.SetColors(colour::overSet + colour::grad, 0x123456);
    button.SetColorScheme(scheme);
    EXPECT_EQ(button.ColorScheme(), scheme);
    EXPECT_EQ(button.gradient(), neo) << i;
    EXPECT_EQ(button.colourAt(colour::disabledSet + colour::face), neo ? 0xEEEEEEu : 0xE2E2E2u) << i;
    EXPECT_EQ(button.colourAt(colour::overSet + colour::grad) == 0x123456u, !neo) << i;
    for (int set : {0, colour::overSet, colour::downSet}) EXPECT_EQ(button.colourAt(set + colour::text), 0u) << i;
  }

  button.SetColorScheme(TColorScheme::csNeoSky);
  button.SetColors(colour::overSet + colour::face, 0x00FF00);
  EXPECT_EQ(button.ColorScheme(), TColorScheme::csCustom);
  const ButtonColours custom = button.colours();
  button.SetColorScheme(TColorScheme::csCustom);
  EXPECT_EQ(button.colours(), custom);
  EXPECT_EQ(button.GetColorScheme()[6], "OverColorFace:= clLime;");
  button.SetColorScheme(TColorScheme::csNeoSky);
  button.SetColors(colourCount, 0);
  EXPECT_EQ(button.ColorScheme(), TColorScheme::csCustom);
}

// A dialog as the program builds them: an edit box, OK, Cancel and a button that leaves the dialog open.
class XiButtonDialog : public ::testing::Test {
 protected:
  XiButtonDialog() {
    edit = new QLineEdit(&dialog);
    ok = okButton("&OK", &dialog);
    cancel = cancelButton("Cancel", &dialog);
    apply = plainButton("&Apply", &dialog);
    QObject::connect(ok, &QPushButton::clicked,
                     [this] { log.push_back(dialog.isVisible() ? "ok, open" : "ok, closed"); });
    QObject::connect(cancel, &QPushButton::clicked, [this] { log.push_back("cancel"); });
    QObject::connect(apply, &QPushButton::clicked, [this] { log.push_back("apply"); });
    dialog.show();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }

  XiDialog dialog;
  QLineEdit* edit;
  TXiButton* ok;
  TXiButton* cancel;
  TXiButton* apply;
  Log log;
};

TEST_F(XiButtonDialog, OneEnterClicksTheDefaultButtonOnceAndItsHandlerRunsBeforeTheDialogCloses) {
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(log, Log{"ok, open"});
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(XiButtonDialog, TheModalResultEndsTheDialogAfterTheHandler) {
  struct Case {
    int modalResult;
    bool open;
    int result;
  };
  for (const Case c :
       {Case{0, true, -1}, Case{1, false, QDialog::Accepted}, Case{2, false, QDialog::Rejected}, Case{7, false, 7}}) {
    dialog.setResult(-1);
    dialog.show();
    apply->setModalResult(c.modalResult);
    apply->click();
    EXPECT_EQ(dialog.isVisible(), c.open) << c.modalResult;
    EXPECT_EQ(dialog.result(), c.result) << c.modalResult;
  }
  EXPECT_EQ(log, Log(4, "apply"));
}

TEST_F(XiButtonDialog, EnterOnAFocusedButtonClicksItOnce) {
  apply->setFocus();
  QTest::keyClick(apply, Qt::Key_Return);
  EXPECT_EQ(log, Log{"apply"});
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(XiButtonDialog, EscapeTheCloseBoxAndACancelClickRunTheCancelHandlerOnceAndReject) {
  const std::function<void()> ways[] = {
      [&] { QTest::keyClick(edit, Qt::Key_Escape); },
      [&] { dialog.close(); },
      [&] { QTest::mouseClick(cancel, Qt::LeftButton); },
  };
  for (const auto& reject : ways) {
    log.clear();
    dialog.setResult(-1);
    dialog.show();
    reject();
    EXPECT_EQ(log, Log{"cancel"});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
}

TEST_F(XiButtonDialog, SpaceShowsTheButtonDownAndClicksOnRelease) {
  apply->setFocus();
  QTest::keyPress(apply, Qt::Key_Space);
  EXPECT_EQ(apply->state(), TBtnState::bsDown);
  EXPECT_TRUE(log.empty());
  QTest::keyRelease(apply, Qt::Key_Space);
  EXPECT_EQ(apply->state(), TBtnState::bsNormal);
  EXPECT_EQ(log, Log{"apply"});
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(XiButtonDialog, TheAcceleratorClicksOnceWithAltAndAlone) {
  QTest::keyClick(edit, Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !log.empty(); }, 1000));
  apply->setFocus();
  QTest::keyClick(apply, Qt::Key_A);
  EXPECT_TRUE(QTest::qWaitFor([&] { return log.size() > 1; }, 1000));
  QTest::qWait(150);
  EXPECT_EQ(log, (Log{"apply", "apply"}));
  apply->setEnabled(false);
  QTest::keyClick(edit, Qt::Key_A, Qt::AltModifier);
  QTest::qWait(150);
  EXPECT_EQ(log.size(), 2);
}

TEST_F(XiButtonDialog, ThePointerTracksPressAndHoverAcrossTheEdge) {
  const QPoint inside(30, 12), outside(100, 12);
  QTest::mousePress(apply, Qt::LeftButton, {}, inside);
  EXPECT_EQ(apply->state(), TBtnState::bsDown);
  QTest::mouseMove(apply, outside);
  EXPECT_EQ(apply->state(), TBtnState::bsNormal);
  QTest::mouseMove(apply, inside);
  EXPECT_EQ(apply->state(), TBtnState::bsDown);
  QTest::mouseRelease(apply, Qt::LeftButton, {}, inside);
  EXPECT_EQ(apply->state(), TBtnState::bsOver);
  EXPECT_EQ(log, Log{"apply"});

  QTest::mousePress(apply, Qt::LeftButton, {}, inside);
  QTest::mouseMove(apply, outside);
  QTest::mouseRelease(apply, Qt::LeftButton, {}, outside);
  EXPECT_EQ(apply->state(), TBtnState::bsNormal);
  EXPECT_EQ(log.size(), 1);
  EXPECT_TRUE(dialog.isVisible());
}

}  // namespace

}  // namespace delvix::controls
