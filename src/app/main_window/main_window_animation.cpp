// Save animation: an animated cursor's steps as one animated GIF or PNG.
#include <QToolBar>

#include "app/main_window/main_window.h"
#include "formats/file_save.h"
#include "save/animation_export.h"
#include "widgets/command_messages.h"

namespace delvix::app {

namespace {

constexpr const char* animationTypes = "GIF files (*.gif)|*.gif|PNG files, animated (*.png)|*.png";
constexpr const char* cannotCreate = "It's impossible open this file.";

}  // namespace

void TFormANI::SaveAnimationClick() {
  if (document_.kind != model::FileKind::animatedCursor) return;
  const auto chosen = host_.prompter.saveFile({"Save animation", animationTypes, folder_});
  if (!chosen) return;
  const std::filesystem::path target(*chosen);
  const auto format = save::imageFormatOfExtension(target.extension().string());
  if (format != save::ImageFormat::gif && format != save::ImageFormat::png) {
    const std::string extension = target.extension().string();
    report("Unsupported file type: " + (extension.empty() ? std::string("(no extension)") : extension) +
           ". An animation is saved as a GIF or a PNG file.");
    return;
  }
  log_.add("file for saving (animation): " + target.string());
  ToolBar1->update();

  CommandMessages messages(log_, host_.prompter, target.filename().string(), &commandMessages_);
  const save::EncodedAnimation animation = save::encodeAnimation(document_, *format);
  for (const std::string& line : animation.messages) messages.reporter().log(line);
  if (!animation.error.empty()) {
    report(animation.error);
    return;
  }
  formats::deliverFile(target, {animation.bytes}, cannotCreate, messages.reporter());
}

}  // namespace delvix::app
