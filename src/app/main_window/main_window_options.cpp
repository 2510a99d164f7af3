// The secondary windows, the options, the tip of the day and the about box, as the main window uses them.
#include <QToolBar>
#include <QTreeView>

#include "app/browsers/image_browser.h"
#include "app/browsers/wave_browser.h"
#include "app/main_window/main_window.h"
#include "app/tree_model.h"
#include "model/show_states.h"

namespace delvix::app {

void TFormANI::setSecondaryWindows(const SecondaryWindows& windows) {
  windows_ = windows;
  const BrowserServices services{
      [this](const std::filesystem::path& file) { openPath(file); },
      [this](const std::string& line) { log_.add(line); },
      [this] {
        std::error_code error;
        return folder_.empty() ? std::filesystem::current_path(error) : std::filesystem::path(folder_);
      },
      &host_.prompter,
      host_.waveOutput,
  };
  if (windows_.info) windows_.info->setServices(services);
  if (windows_.wav) windows_.wav->setServices(services);
  if (windows_.options) connect(windows_.options, &QDialog::accepted, this, &TFormANI::applyOptions);
  if (windows_.chunk) connect(windows_.chunk, &QDialog::finished, this, &TFormANI::chunkDialogFinished);
  if (windows_.gifOptions) {
    connect(windows_.gifOptions, &QDialog::accepted, this, &TFormANI::writeGifExport);
    connect(windows_.gifOptions, &QDialog::rejected, this, [this] {
      gifTarget_.clear();
      gifPicture_ = gfx::Image();
    });
  }
}

void TFormANI::ToolButton5Click() {
  if (windows_.options) windows_.options->showFor(settings_);
}

void TFormANI::applyOptions() {
  if (document_.tree.empty()) return;
  ToolBar1->update();
  for (const model::Node* node :
       model::applyShowStates(document_.tree, {settings_.table, settings_.color, settings_.mask}))
    treeModel_->nodeChanged(*node);
  // The editable marks of the table on screen follow the edit settings at once.
  const model::Node* selected = treeModel_->nodeAt(TreeView1->currentIndex());
  if (!selected) return;
  const std::string& name = selected->name();
  if (name == "color_table" || name == "color_bitmap" || name == "fact") listSelectedNodeFields();
}

void TFormANI::listSelectedNodeFields() {
  ++fieldRelistings_;
  if (const model::Node* selected = treeModel_->nodeAt(TreeView1->currentIndex())) listSelectedNode(*selected);
}

void TFormANI::ButAboutClick() {
  auto* about = new dialogs::TFormAbout(this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->open();
  ToolBar1->update();
}

}  // namespace delvix::app
