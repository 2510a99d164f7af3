// The field table: a listing of the selected node shown in ListView1 and its edit strip; row selection,
// Apply, Add and Remove.
#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QTreeView>

#include "app/field_table_model.h"
#include "app/main_window/main_window.h"
#include "app/thumbnail_model.h"
#include "app/tree_model.h"
#include "fieldview/list_node.h"
#include "fieldview/pixel_table.h"

namespace delvix::app {

namespace {

int digitsOf(std::int64_t value) {
  int digits = 1;
  for (std::uint64_t rest = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
       rest >= 10; rest /= 10)
    ++digits;
  return digits;
}

// Digits only (a "-" first where the field is signed), and no more of them than the field's range has.
void limitToRange(QLineEdit* edit, const std::optional<fieldview::ValueRange>& range, const QString& text) {
  const bool signedField = range && range->min < 0;
  int length = range ? std::max(digitsOf(range->min) + (signedField ? 1 : 0), digitsOf(range->max)) : 10;
  // What was read may be longer than the field allows (a damaged file); it still shows whole.
  length = std::max(length, static_cast<int>(text.size()));
  const QString pattern = signedField ? "-?[0-9]*" : "[0-9]*";
  auto* validator = qobject_cast<const QRegularExpressionValidator*>(edit->validator());
  if (!validator || validator->regularExpression().pattern() != pattern)
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
  edit->setMaxLength(length);
}

}  // namespace

QLineEdit* TFormANI::editBoxOf(fieldview::EditBox box) const {
  switch (box) {
    case fieldview::EditBox::edit1: return Edit1;
    case fieldview::EditBox::editInfo: return EditInfo;
    case fieldview::EditBox::editR: return EditR;
    case fieldview::EditBox::editG: return EditG;
    case fieldview::EditBox::editB: return EditB;
    case fieldview::EditBox::editRes: return EditRes;
    case fieldview::EditBox::editMask1: return EditMask1;
    case fieldview::EditBox::editMask2: return EditMask2;
    case fieldview::EditBox::editColor: return EditColor;
    case fieldview::EditBox::editMask: return EditMask;
  }
  return Edit1;
}

void TFormANI::listSelectedNode(const model::Node& node) {
  pixelPage_ = 0;
  fieldview::FieldSettings settings{settings_.editTable, settings_.editData, settings_.editFact};
  showListing(fieldview::listNode(document_, node, settings, zoom_));
}

void TFormANI::setFieldColumnLimits(const fieldview::Listing& listing) {
  for (std::size_t i = 0; i < fieldColumnLimits_.size(); ++i) {
    const fieldview::Column& column = listing.columns[i];
    if (column.minWidth) fieldColumnLimits_[i].first = *column.minWidth;
    if (column.maxWidth) fieldColumnLimits_[i].second = *column.maxWidth;
  }
}

void TFormANI::keepFieldColumnInLimits(int column, int, int newWidth) {
  if (column < 0 || column >= static_cast<int>(fieldColumnLimits_.size())) return;
  const auto [minimum, maximum] = fieldColumnLimits_[static_cast<std::size_t>(column)];
  const int kept = std::clamp(newWidth, minimum, maximum);
  if (kept != newWidth) ListView1->header()->resizeSection(column, kept);
}

void TFormANI::showListing(const fieldview::Listing& listing) {
  if (listing.editMode) editMode_ = *listing.editMode;
  const fieldview::ButtonStates& b = listing.buttons;
  auto set = [](QWidget* widget, const std::optional<bool>& state) {
    if (state) widget->setEnabled(*state);
  };
  if (listing.outcome == fieldview::Outcome::unchanged) {
    // The table stays, but nothing in it may be applied.
    set(ButApply, b.apply);
    set(ButAdd, b.add);
    set(ButRemove, b.remove);
    return;
  }
  if (listing.keepsColumns) {
    fieldModel_->removeRows();
  } else {
    clearFieldView();
    setFieldColumnLimits(listing);
    std::array<QString, 3> captions;
    for (std::size_t i = 0; i < captions.size(); ++i) captions[i] = QString::fromStdString(listing.columns[i].caption);
    fieldModel_->show(captions, listing.rows);
    ListView1->setIconSize(listing.swatches ? QSize(30, 16) : QSize(12, 12));
    for (int i = 0; i < 3; ++i) {
      const fieldview::Column& column = listing.columns[static_cast<std::size_t>(i)];
      ListView1->setColumnHidden(i, i == 2 && column.width == 0);
      // The first column also holds the mark and the swatch, wider together than a mark alone.
      const int width = i == 0 && listing.swatches ? column.width + 24 : column.width;
      if (width > 0) ListView1->header()->resizeSection(i, width);
    }
  }

  for (QLineEdit* edit : {Edit1, EditInfo, EditR, EditG, EditB, EditRes, EditMask1, EditMask2, EditColor, EditMask})
    edit->hide();
  int position = 0;
  for (const fieldview::ShownBox& shown : listing.boxes) {
    QLineEdit* edit = editBoxOf(shown.box);
    // The strip shows the boxes in the listing's order.
    editRow_->removeWidget(edit);
    // Edit1 and EditInfo take the width of the strip.
    editRow_->insertWidget(position++, edit, edit == Edit1 || edit == EditInfo ? 1 : 0);
    edit->setToolTip(QString::fromStdString(shown.hint));
    if (edit != EditInfo) limitToRange(edit, std::nullopt, {});
    if (shown.maxLength) edit->setMaxLength(*shown.maxLength);
    edit->setText(QString::fromStdString(shown.text));
    edit->show();
  }
  set(ButApply, b.apply);
  set(ButAdd, b.add);
  set(ButRemove, b.remove);
  set(ButNext, b.next);
  set(ButPrev, b.previous);
  set(ButUp, b.zoomIn);
  set(ButDown, b.zoomOut);
  if (b.removeChunk) {
    ButMinus->setEnabled(*b.removeChunk);
    Removechunk1->setEnabled(*b.removeChunk);
  }
  if (b.saveAll) {
    ButSaveAll->setEnabled(*b.saveAll || moduleChanged());
    Saveall1->setEnabled(*b.saveAll || moduleChanged());
    Save1->setEnabled(Saveall1->isEnabled());
  }
  if (listing.resetsPlayerStep) player_->resetStep();
  if (listing.pictureToSelect) selectPictureThumbnail(*listing.pictureToSelect);
}

std::optional<std::size_t> TFormANI::selectedFieldRow() const {
  const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
  if (rows.isEmpty()) return std::nullopt;
  return static_cast<std::size_t>(rows.first().row());
}

model::Node* TFormANI::selectedTreeNode() const {
  // The tree model looks at the document without changing it; the node to edit is taken from its parent,
  // which owns it.
  const model::Node* shown = treeModel_->nodeAt(TreeView1->currentIndex());
  if (!shown || !shown->parent()) return nullptr;
  return &shown->parent()->child(shown->indexInParent());
}

void TFormANI::ListView1SelectItem() {
  const std::optional<std::size_t> index = selectedFieldRow();
  const model::Node* node = selectedTreeNode();
  const std::optional<fieldview::Row> row = index ? fieldModel_->rowAt(*index) : std::nullopt;
  if (!row || !node) {
    ButRemove->setEnabled(false);
    return;
  }
  const fieldview::RowSelection selection =
      fieldview::selectRow(*node, *row, static_cast<std::size_t>(fieldModel_->rowCount()));
  ButApply->setEnabled(selection.apply);
  ButRemove->setEnabled(selection.remove);
  if (Edit1->isVisible()) {
    const QString text = QString::fromStdString(selection.edit1Text);
    limitToRange(Edit1, row->range, text);
    Edit1->setText(text);
  } else {
    selectPixelRow(*node, *index);
  }
}

void TFormANI::showApplyResult(const fieldview::ApplyResult& result, model::Node& node) {
  using Kind = fieldview::ApplyResult::Kind;
  if (result.kind == Kind::refused) {
    report(result.message);
    return;
  }
  if (result.kind != Kind::applied) return;
  if (result.relist) {
    listSelectedNode(node);
  } else {
    for (const auto& [index, row] : result.changedRows) fieldModel_->replaceRow(index, row);
  }
  for (const auto& [box, text] : result.shownBoxes) editBoxOf(box)->setText(QString::fromStdString(text));
  if (result.delaysChanged) thumbnailModel_->refreshDelays();
  if (result.delaysChanged && document_.kind == model::FileKind::xcursor) {
    stopPlayer();
    playerNominalSize_.reset();
    loadXcursorPlayer(currentPictureIndex_);
  }
  if (result.statusText) {
    Panel5->setText(QString::fromStdString(*result.statusText));
    Panel5->setToolTip(Panel5->text());
  }
  // A hot-spot field moves the cross at once.
  showHotSpot(hotSpotPicture_);
  if (result.redrawnPicture) {
    thumbnailModel_->refreshThumbnail(*result.redrawnPicture);
    // The picture is drawn again where it is, unless another one is on show (the player moved on).
    if (*result.redrawnPicture != currentPictureIndex_) {
      selectPictureThumbnail(*result.redrawnPicture);
    } else if (renderPicture(currentPictureIndex_)) {
      applyPreviewLayout(previewLayout_);
    }
  }
}

std::string TFormANI::applyStepName(const model::Node& node, std::optional<std::size_t> row, bool infoItem) const {
  if (infoItem || !row) return "Apply " + node.name();
  const std::optional<fieldview::Row> shown = fieldModel_->rowAt(*row);
  return "Apply " + (shown && !shown->caption.empty() ? shown->caption : node.name());
}

void TFormANI::ButApplyClick() {
  model::Node* node = selectedTreeNode();
  if (!node) return;
  const bool infoItem = EditInfo->isVisible();
  const std::optional<std::size_t> row = selectedFieldRow();
  if (!row && !infoItem) return;
  // The header, the sequence and the rates are what the player steps through.
  if (editMode_ == fieldview::EditMode::aniHeader || editMode_ == fieldview::EditMode::rate ||
      editMode_ == fieldview::EditMode::sequence)
    stopPlayer();
  fieldview::BoxTexts texts;
  for (auto box :
       {fieldview::EditBox::edit1, fieldview::EditBox::editInfo, fieldview::EditBox::editR, fieldview::EditBox::editG,
        fieldview::EditBox::editB, fieldview::EditBox::editRes, fieldview::EditBox::editMask1,
        fieldview::EditBox::editMask2, fieldview::EditBox::editColor, fieldview::EditBox::editMask})
    texts[box] = editBoxOf(box)->text().toStdString();
  const bool pixels = editMode_ >= fieldview::EditMode::pixels1 && node->name() == "color_bitmap";
  try {
    showApplyResult(history_.perform(
                        document_, applyStepName(*node, row, infoItem),
                        [&] {
                          return pixels ? fieldview::applyPixelRow(document_, *node, pixelPage_, row.value_or(0), texts)
                                        : fieldview::applyRow(document_, *node, editMode_, row.value_or(0), texts);
                        }),
                    *node);
  } catch (const std::exception& error) {
    report(std::string("The value could not be applied: ") + error.what());
  }
  if (infoItem)
    TreeView1->setFocus();
  else
    ListView1->setFocus();
}

void TFormANI::ButAddClick() {
  model::Node* node = selectedTreeNode();
  if (!node || node->name() != "sequence") return;
  stopPlayer();
  const std::string frame = Edit1->text().toStdString();
  showApplyResult(history_.perform(document_, "Add step", [&] { return fieldview::addStep(document_, *node, frame); }),
                  *node);
}

void TFormANI::ButRemoveClick() {
  model::Node* node = selectedTreeNode();
  const std::optional<std::size_t> row = selectedFieldRow();
  if (!node || !row || node->name() != "sequence") return;
  stopPlayer();
  showApplyResult(history_.perform(document_, "Remove step " + std::to_string(*row + 1),
                                   [&] { return fieldview::removeStep(document_, *node, *row); }),
                  *node);
}

}  // namespace delvix::app
