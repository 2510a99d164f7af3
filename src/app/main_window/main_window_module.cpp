// Changing a module's resources: Replace…, Remove and Add icon group… on the structure tree, and saving the module.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QTreeView>

#include "app/main_window/main_window.h"
#include "app/main_window/quiet_handlers.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "edit/module_resource_edit.h"
#include "formats/file_content.h"
#include "formats/file_save.h"
#include "model/picture_index.h"
#include "widgets/command_messages.h"
#include "widgets/widget_names.h"

namespace delvix::app {

namespace {

constexpr const char* iconFiles = "Icon files (*.ico)|*.ico|All files (*)|*";

// The files that replace a resource of the kind `resourceNode` names.
const char* replacementTypes(const std::string& resourceNode) {
  if (resourceNode.find("[Cursor_") != std::string::npos) return "Cursor files (*.cur)|*.cur|All files (*)|*";
  if (resourceNode.find("[Bitmap_") != std::string::npos) return "Bitmap files (*.bmp)|*.bmp|All files (*)|*";
  return iconFiles;
}

const model::Node* firstPictureIn(const model::Node& node) {
  if (model::pictureNumber(node.name())) return &node;
  for (std::size_t i = 0; i < node.childCount(); ++i)
    if (const model::Node* picture = firstPictureIn(node.child(i))) return picture;
  return nullptr;
}

}  // namespace

void TFormANI::createModuleCommands() {
  ReplaceResource1 = named(new QAction(QStringLiteral("Re&place…"), this), "ReplaceResource1");
  RemoveResource1 = named(new QAction(QStringLiteral("Remo&ve"), this), "RemoveResource1");
  AddIconGroup1 = named(new QAction(QStringLiteral("Add &icon group…"), this), "AddIconGroup1");
  for (QAction* action : {ReplaceResource1, RemoveResource1, AddIconGroup1}) action->setEnabled(false);
  connect(ReplaceResource1, &QAction::triggered, this, &TFormANI::ReplaceResourceClick);
  connect(RemoveResource1, &QAction::triggered, this, &TFormANI::RemoveResourceClick);
  connect(AddIconGroup1, &QAction::triggered, this, &TFormANI::AddIconGroupClick);
}

void TFormANI::showTreeMenu(const QPoint& position) {
  if (document_.kind != model::FileKind::module) return;
  // The node under the pointer is the one the menu is about.
  const QModelIndex pressed = TreeView1->indexAt(position);
  if (pressed.isValid() && pressed != TreeView1->currentIndex()) TreeView1->setCurrentIndex(pressed);
  updateModuleCommands();
  QMenu menu(this);
  named(&menu, "PopupResource");
  menu.addAction(ReplaceResource1);
  menu.addAction(RemoveResource1);
  menu.addSeparator();
  menu.addAction(AddIconGroup1);
  menu.exec(TreeView1->viewport()->mapToGlobal(position));
}

void TFormANI::updateModuleCommands() {
  if (!ReplaceResource1) return;
  const bool module = document_.kind == model::FileKind::module && !document_.module.bytes.empty();
  const model::Node* node = treeModel_->nodeAt(TreeView1->currentIndex());
  const bool resource = module && node && edit::isModuleResourceNode(document_, *node);
  ReplaceResource1->setEnabled(resource);
  RemoveResource1->setEnabled(resource);
  AddIconGroup1->setEnabled(module);
}

void TFormANI::ReplaceResourceClick() {
  const model::Node* node = selectedTreeNode();
  if (!node || !edit::isModuleResourceNode(document_, *node)) return;
  const std::string name = node->name();
  const auto chosen = host_.prompter.openFile({"Replace " + name, replacementTypes(name), folder_});
  if (!chosen) return;
  std::string whyNot;
  const auto file = formats::FileContent::read(*chosen, &whyNot);
  if (!file) {
    report("Could not open this file: " + whyNot);
    return;
  }
  changeModule("Replace " + name, [&](const edit::ModuleEditSettings& settings) {
    return edit::replaceModuleResource(document_, *node, file->bytes(), settings);
  });
}

void TFormANI::RemoveResourceClick() {
  const model::Node* node = selectedTreeNode();
  if (!node || !edit::isModuleResourceNode(document_, *node)) return;
  changeModule("Remove " + node->name(), [&](const edit::ModuleEditSettings& settings) {
    return edit::removeModuleResource(document_, *node, settings);
  });
}

void TFormANI::AddIconGroupClick() {
  if (document_.kind != model::FileKind::module || document_.module.bytes.empty()) return;
  const auto chosen = host_.prompter.openFile({"Add icon group", iconFiles, folder_});
  if (!chosen) return;
  std::string whyNot;
  const auto file = formats::FileContent::read(*chosen, &whyNot);
  if (!file) {
    report("Could not open this file: " + whyNot);
    return;
  }
  changeModule("Add icon group", [&](const edit::ModuleEditSettings& settings) {
    return edit::addModuleIconGroup(document_, file->bytes(), settings);
  });
}

void TFormANI::changeModule(const std::string& stepName,
                            const std::function<edit::ModuleEdit(const edit::ModuleEditSettings&)>& change) {
  stopPlayer();
  const formats::ReadSettings read = settings_.readSettings();
  edit::ModuleEditSettings settings{read.show, read.resources, false};
  const auto run = [&] {
    QuietHandlers quiet(treeHandlerAttached_, thumbnailHandlerAttached_);
    return history_.perform(document_, stepName, [&] {
      edit::ModuleEdit made = change(settings);
      // The step is named after what it did: "Icon group 1 (language 1033) replaced".
      if (made.changed) history_.nameStep(made.summary.substr(0, made.summary.find_first_of(":.")));
      return made;
    });
  };
  edit::ModuleEdit result = run();
  if (result.signed_) {
    // Asked once per change; No changes nothing.
    const platform::Message question{"This module is signed. Changing its resources removes its signature.",
                                     platform::MessageButtons::yes,
                                     platform::MessageIcon::plain,
                                     {},
                                     "Remove the signature and make the change?"};
    if (!host_.prompter.confirm(question)) return;
    settings.stripSignature = true;
    result = run();
  }
  if (!result.changed) {
    log_.add(result.refusal);
    host_.prompter.show({result.refusal, platform::MessageButtons::ok, platform::MessageIcon::error, {}});
    return;
  }
  for (const std::string& line : result.log) log_.add(line);
  log_.add(result.summary);
  showModuleChange(result.select);
}

void TFormANI::showModuleChange(const model::Node* select) {
  showModuleCounterTexts();
  thumbnailModel_->setDocument(&document_);
  fitThumbnailColumns();
  // A module that had no pictures had nothing to select from.
  if (document_.imageCount > 0 && !treeHandlerAttached_) {
    attachHandlers(true);
    setThumbnailColumns(model::FileKind::module);
    enableZoom();
  }
  clearFieldView();
  currentPictureIndex_ = std::clamp(currentPictureIndex_, 0, std::max(document_.imageCount - 1, 0));
  if (!select) select = treeModel_->nodeAt(TreeView1->currentIndex());
  if (!select) select = document_.tree.findFirst(model::pictureName(1));
  if (select) {
    // The resource's first picture is shown with it.
    const model::Node* picture = firstPictureIn(*select);
    selectChangedNode(picture ? picture : select);
  }
  updateModuleCommands();
  updateHistoryCommands();
}

void TFormANI::showModuleCounterTexts() {
  Label6->setText(QString::fromStdString(document_.module.iconsLabel));
  Label7->setText(QString::fromStdString(document_.module.cursorsLabel));
  Label8->setText(QString::fromStdString(document_.module.bitmapsLabel));
}

bool TFormANI::moduleChanged() const {
  // Edits of the tree alone are saved with their group, not in the module.
  return document_.kind == model::FileKind::module && !document_.module.bytes.empty() && !history_.isClean() &&
         !document_.module.treeEdited;
}

bool TFormANI::writeModule(const std::filesystem::path& target) {
  if (document_.module.treeEdited) {
    report(
        "The changes made in the field table are not written into the module: save them as a group (an .ico or "
        ".cur file), or undo them and save the module.");
    return false;
  }
  log_.add("saving of file: " + target.string());
  bool saved = false;
  {
    CommandMessages messages(log_, host_.prompter, target.filename().string(), &commandMessages_);
    const model::SharedBytes bytes = document_.module.bytes;
    // The bytes are written from where they are, not copied.
    const formats::WrittenFile file{{}, true, {{0, bytes.bytes()}}};
    saved = formats::deliverFile(target, file, "It's impossible open this file.", messages.reporter());
  }
  if (!saved) return false;
  adoptSavedFile(target);
  return true;
}

}  // namespace delvix::app
