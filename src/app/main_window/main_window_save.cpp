// Save All, Save frame and Copy frame.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>
#include <cctype>

#include "app/main_window/main_window.h"
#include "app/secondary_windows.h"
#include "app/tree_model.h"
#include "convert/xcursor_conversion.h"
#include "formats/ani_writer.h"
#include "formats/ico_writer.h"
#include "formats/icon_group_writer.h"
#include "formats/one_image_writer.h"
#include "formats/wav_writer.h"
#include "formats/xcursor/xcursor_document.h"
#include "preview/zoom.h"
#include "save/image_export.h"
#include "save/picture_export.h"
#include "widgets/command_messages.h"

namespace delvix::app {

namespace {

constexpr const char* aniTypes = "ANI-cursor files (*.ani)|*.ani";
constexpr const char* cursorFirst = "Cursor files (*.cur)|*.cur|Icon files (*.ico)|*.ico";
constexpr const char* iconFirst = "Icon files (*.ico)|*.ico|Cursor files (*.cur)|*.cur";
constexpr const char* waveTypes = "Music files (*.wav)|*.wav";
constexpr const char* xcursorTypes = "X cursor files (*)|*|Cursor files (*.cur)|*.cur|ANI-cursor files (*.ani)|*.ani";
// A cursor or an animated cursor can also be saved as an X cursor (a name without extension).
constexpr const char* asXcursor = "|X cursor files (*)|*";
constexpr const char* imageTypes =
    "|Bitmap files(*.bmp)|*.bmp|JPEG files(*jpg)|*.jpg|GIF files(*.gif)|*.gif|PNG files(*.png)|*.png";
constexpr const char* bitmapTypes =
    "Bitmap files(*.bmp)|*.bmp|JPEG files(*.jpg)|*.jpg|GIF files(*.gif)|*.gif|PNG files(*.png)|*.png";
constexpr const char* alphaTypes =
    "Bitmap files(*.bmp)|*.bmp|JPEG files(*.jpg)|*.jpg|GIF files(*.gif)|*.gif|PNG files(*.png)|*.png";
constexpr const char* cannotCreate = "It's impossible open this file.";

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string extensionOf(const std::filesystem::path& path) { return lowerCase(path.extension().string()); }

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

void TFormANI::ButSaveAllClick() { saveDocumentAs(); }

bool TFormANI::canSaveInPlace() const {
  const std::string own = extensionOf(document_.path);
  switch (document_.kind) {
    case model::FileKind::animatedCursor: return own == ".ani";
    case model::FileKind::iconFile: return own == ".ico" || own == ".cur";
    case model::FileKind::wave: return own == ".wav";
    case model::FileKind::xcursor: return true;  // its name has no extension, or any
    case model::FileKind::module:
    case model::FileKind::none: return false;
  }
  return false;
}

bool TFormANI::SaveDocumentClick() {
  // A changed module is written where it came from; an unchanged one saves its group, as Save All does.
  if (moduleChanged()) return writeModule(document_.path);
  if (!Saveall1->isEnabled()) return false;
  if (canSaveInPlace()) return writeDocument(document_.path);
  return saveDocumentAs();
}

bool TFormANI::saveDocumentAs() {
  const std::string own = lowerCase(extension_);
  std::string title = "Save all";
  std::string types;
  switch (document_.kind) {
    case model::FileKind::animatedCursor: types = std::string(aniTypes) + asXcursor; break;
    case model::FileKind::iconFile: types = std::string(own == ".cur" ? cursorFirst : iconFirst) + asXcursor; break;
    case model::FileKind::module: {
      title = "Save the group";
      types = iconFirst;
      if (document_.module.bytes.empty()) break;
      // The module itself, with its changes, under its own extension; first once it was changed.
      const std::string pattern = "*" + extensionOf(document_.path);
      const std::string modules = "Program modules (" + pattern + ")|" + pattern;
      if (moduleChanged()) title = "Save the module";
      types = moduleChanged() ? modules + "|" + iconFirst : std::string(iconFirst) + "|" + modules;
      break;
    }
    case model::FileKind::wave: types = waveTypes; break;
    case model::FileKind::xcursor: types = xcursorTypes; break;
    case model::FileKind::none: return false;
  }
  const auto chosen = host_.prompter.saveFile({title, types, folder_});
  if (!chosen) return false;
  return writeDocument(*chosen);
}

bool TFormANI::writeDocument(const std::filesystem::path& target) {
  if (document_.kind == model::FileKind::module && !document_.module.bytes.empty()) {
    const std::string extension = extensionOf(target);
    if (extension != ".ico" && extension != ".cur") return writeModule(target);
  }
  log_.add("saving of file: " + target.string());
  ToolBar1->update();

  bool saved = false;
  {
    // The one message box of the save is shown before the saved file may be opened again.
    CommandMessages messages(log_, host_.prompter, target.filename().string(), &commandMessages_);
    formats::Reporter& reporter = messages.reporter();
    const std::string extension = extensionOf(target);
    const bool iconTarget = extension == ".ico" || extension == ".cur";
    try {
      // Saved in place, a file keeps its own format whatever its name; elsewhere the name picks the format.
      const bool inPlace = target == std::filesystem::path(document_.path);
      if (document_.kind == model::FileKind::xcursor && !inPlace && (extension == ".cur" || extension == ".ani"))
        saved =
            saveConverted(convert::windowsCursorFromXcursor(formats::xcursor::xcursorFileOf(document_), {}, reporter),
                          target, extension, reporter);
      else if (document_.kind == model::FileKind::xcursor)
        saved = formats::xcursor::saveXcursorFile(document_, target, reporter);
      else if ((document_.kind == model::FileKind::iconFile || document_.kind == model::FileKind::animatedCursor) &&
               !inPlace && extension.empty())
        saved = saveConverted(convert::xcursorFromDocument(document_, {}, reporter), target, reporter);
      else if (document_.kind == model::FileKind::animatedCursor && extension == ".ani")
        saved = formats::saveAniFile(document_, target, reporter);
      else if (document_.kind == model::FileKind::iconFile && iconTarget)
        saved = formats::saveIconFile(document_, target, reporter);
      else if (document_.kind == model::FileKind::module && iconTarget)
        // A group of a module is a file of its own: the module stays as it is, changes and all.
        return formats::saveIconGroup(document_, treeModel_->nodeAt(TreeView1->currentIndex()), target, reporter);
      else if (document_.kind == model::FileKind::wave && extension == ".wav")
        // The layout reads the tree, so it is made here; the samples it points into live on in the copy.
        saved = saveInBackground(
            target,
            [file = formats::waveFileInPlace(document_), samples = document_.wave.samples, target](
                formats::Reporter& said, const formats::WriteProgress& progress) {
              return formats::deliverWaveFile(target, file, said, progress);
            },
            reporter);
      else
        report("Unsupported file type: " + (extension.empty() ? std::string("(no extension)") : extension));
    } catch (const std::exception& error) {
      report(std::string("The file could not be saved: ") + error.what());
    }
  }
  if (!saved) return false;
  adoptSavedFile(target);
  return true;
}

bool TFormANI::saveConverted(const std::optional<convert::WindowsCursor>& cursor, const std::filesystem::path& target,
                             const std::string& extension, formats::Reporter& reporter) {
  if (!cursor) return false;
  if (cursor->animated != (extension == ".ani"))
    reporter.log(std::string("The cursor is ") + (cursor->animated ? "animated" : "still") + ": it is written as " +
                 (cursor->animated ? "an animated cursor" : "a cursor") + " whatever its name.");
  if (!formats::deliverFile(target, {cursor->bytes}, cannotCreate, reporter)) return false;
  converted_ = true;
  return true;
}

bool TFormANI::saveConverted(const std::optional<formats::xcursor::XcursorFile>& file,
                             const std::filesystem::path& target, formats::Reporter& reporter) {
  if (!file || !formats::deliverFile(target, {formats::xcursor::writeXcursor(*file)}, cannotCreate, reporter))
    return false;
  converted_ = true;
  return true;
}

bool TFormANI::saveInBackground(const std::filesystem::path& target, SaveWork work, formats::Reporter& reporter) {
  saving_ = true;
  struct Done {
    bool& saving;
    ~Done() { saving = false; }
  } done{saving_};
  const QString label = tr("Saving %1…").arg(QString::fromStdString(target.filename().string()));
  return runSaveInBackground(this, label, reporter, std::move(work));
}

void TFormANI::adoptSavedFile(const std::filesystem::path& target) {
  // An icon saved as a cursor (or the other way) was converted on the way: the file is opened again, so that
  // what is shown and saved next is what the file now holds.
  if (converted_ ||
      (document_.kind == model::FileKind::iconFile && extensionOf(target) != extensionOf(document_.path))) {
    converted_ = false;
    history_.markClean();
    openPath(target);
    return;
  }
  history_.markClean();
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(target, error);
  const std::filesystem::path path = error ? target : absolute;
  document_.path = path.string();
  showFileName(path);
  updateTitle();
}

gfx::Image TFormANI::framePicture(bool alpha) {
  const gfx::Image& natural = alpha ? alphaFrameBitmap_ : frameBitmap_;
  if (!Scaling2->isChecked() || zoom_ == 1 || natural.empty()) return natural;
  if (auto enlarged = preview::zoomed(natural, zoom_)) return std::move(*enlarged);
  const std::string refused = "The picture is too large to take at " + preview::zoomLabel(zoom_) + ".";
  report(refused);
  return {};
}

void TFormANI::ButSaveClick() {
  const bool alpha = AlphaBlending2->isChecked() && AlphaBlending2->isEnabled();
  std::string title = "Save only current image";
  std::string types;
  std::string logged = "file for saving: ";
  if (alpha) {
    title = "Save the image created via alfa-blending ";
    types = alphaTypes;
    logged = "file for saving (Alpha-Blending): ";
  } else {
    const std::string own = lowerCase(extension_);
    const auto position = static_cast<std::size_t>(currentPictureIndex_);
    const std::string sizeLine = position < document_.pictures.size() ? document_.pictures[position].sizeText : "";
    if (document_.kind == model::FileKind::module) {
      if (contains(sizeLine, "[Bitmap]"))
        types = bitmapTypes;
      else if (contains(sizeLine, "[Cursor]"))
        types = std::string(cursorFirst) + imageTypes;
      else
        types = std::string(iconFirst) + imageTypes;
    } else {
      types = std::string(own == ".cur" ? cursorFirst : iconFirst) + imageTypes;
    }
  }
  const auto chosen = host_.prompter.saveFile({title, types, folder_});
  if (!chosen) return;
  const std::filesystem::path target(*chosen);
  log_.add(logged + target.string());
  ToolBar1->update();

  CommandMessages messages(log_, host_.prompter, target.filename().string(), &commandMessages_);
  try {
    const std::string extension = extensionOf(target);
    if (!alpha && (extension == ".ico" || extension == ".cur")) {
      if (const model::Node* picture = formats::findPicture(document_, currentPictureIndex_))
        formats::saveOneImage(document_, *picture, target, messages.reporter());
      return;
    }
    exportPicture(target, alpha);
  } catch (const std::exception& error) {
    report(std::string("The file could not be saved: ") + error.what());
  }
}

void TFormANI::exportPicture(const std::filesystem::path& target, bool alpha) {
  const auto format = save::imageFormatOfExtension(target.extension().string());
  if (!format) {
    const std::string extension = extensionOf(target);
    report("Unsupported file type: " + (extension.empty() ? std::string("(no extension)") : extension));
    return;
  }
  if (*format == save::ImageFormat::png) {
    writeOwnPixels(target);
    return;
  }
  gfx::Image picture = framePicture(alpha);
  if (picture.empty()) {
    report("There is no picture to save.");
    return;
  }
  if (*format != save::ImageFormat::gif || !windows_.gifOptions) {
    writeExport(target, picture, static_cast<int>(*format));
    return;
  }
  // The GIF is written when the options dialog is closed with OK.
  gifTarget_ = target;
  gifPicture_ = std::move(picture);
  windows_.gifOptions->showFor(gifPicture_, gifSettings_);
}

void TFormANI::writeGifExport() {
  if (gifTarget_.empty()) return;
  writeExport(gifTarget_, gifPicture_, static_cast<int>(save::ImageFormat::gif));
  gifTarget_.clear();
  gifPicture_ = gfx::Image();
}

void TFormANI::writeExport(const std::filesystem::path& target, const gfx::Image& picture, int format) {
  save::ExportOptions options = save::exportOptionsOf(document_, currentPictureIndex_);
  options.gif = gifSettings_;
  const save::Encoded encoded = save::encodeImage(picture, static_cast<save::ImageFormat>(format), options);
  if (!encoded.error.empty()) {
    report(encoded.error);
    return;
  }
  CommandMessages messages(log_, host_.prompter, target.filename().string(), &commandMessages_);
  formats::deliverFile(target, {encoded.bytes}, cannotCreate, messages.reporter());
}

// A PNG file holds the picture's own pixels and alpha, whichever view is saved.
void TFormANI::writeOwnPixels(const std::filesystem::path& target) {
  save::PictureRequest request;
  request.zoom = Scaling2->isChecked() ? zoom_ : 1;
  const save::PictureFile file = save::exportPictureFile(document_, currentPictureIndex_, request);
  for (const std::string& line : file.log) log_.add(line);
  if (!file.error.empty()) {
    report(file.error);
    return;
  }
  CommandMessages messages(log_, host_.prompter, target.filename().string(), &commandMessages_);
  formats::deliverFile(target, {file.bytes}, cannotCreate, messages.reporter());
}

void TFormANI::ButCopyClick() {
  const bool alpha = AlphaBlending2->isChecked() && AlphaBlending2->isEnabled();
  const gfx::Image picture = framePicture(alpha);
  if (picture.empty()) return;
  // A deep copy: the clipboard keeps the picture after the rendering changes.
  const QImage view(reinterpret_cast<const uchar*>(picture.pixels().data()), picture.width(), picture.height(),
                    picture.width() * 4, QImage::Format_RGB32);
  QGuiApplication::clipboard()->setImage(view.copy());
}

}  // namespace delvix::app
