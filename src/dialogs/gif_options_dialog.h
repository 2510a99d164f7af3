#pragma once

#include "codecs/gif/gif_codec.h"
#include "controls/xi_button.h"
#include "gfx/image.h"

class QButtonGroup;
class QComboBox;
class QFrame;

namespace delvix::app {
class PictureBox;
}

namespace delvix::dialogs {

// "Gif options": the colour reduction, dither mode, palette size and compression of a GIF export, with the
// picture before and after the reduction. A change takes effect at once and stays for the run, also when the
// dialog is then cancelled.
class TGifOptionForm : public controls::XiDialog {
  Q_OBJECT

 public:
  explicit TGifOptionForm(QWidget* owner);

  // Opens the dialog (without waiting) for `picture`, changing `settings` as the lists change; the caller's
  // handler of accepted() writes the file.
  void showFor(const gfx::Image& picture, codecs::gif::Settings& settings);
  // What "After" shows.
  const gfx::Image& reduced() const { return reduced_; }

  void FormShow();
  void ComboReductionChange();
  void ComboDitherChange();
  void ComboColorChange();
  void CompressGroupClick();

 private:
  void redraw();

  codecs::gif::Settings* settings_ = nullptr;
  gfx::Image source_;
  gfx::Image reduced_;
  QComboBox* ComboReduction = nullptr;
  QComboBox* ComboDither = nullptr;
  QComboBox* ComboColor = nullptr;
  QButtonGroup* CompressGroup = nullptr;
  QFrame* Panel1 = nullptr;
  QFrame* Panel2 = nullptr;
  app::PictureBox* ImageSrc = nullptr;
  app::PictureBox* ImageGif = nullptr;
  controls::TXiButton* XiButton1 = nullptr;
  controls::TXiButton* XiButton2 = nullptr;
};

}  // namespace delvix::dialogs
