#include "app/tree_model.h"

#include <QIcon>

#include "widgets/pictures.h"

namespace delvix::app {

namespace {
constexpr int stateImageCount = 12;
}

TreeModel::TreeModel(QObject* parent) : QAbstractItemModel(parent) {
  for (int i = 0; i < stateImageCount; ++i) stateIcons_.push_back(stateIcon(i));
}

TreeModel::~TreeModel() {
  if (tree_) tree_->setObserver(nullptr);
}

void TreeModel::setTree(model::Tree* tree) {
  beginResetModel();
  if (tree_) tree_->setObserver(nullptr);
  tree_ = tree;
  if (tree_) tree_->setObserver(this);
  endResetModel();
}

QModelIndex TreeModel::parentIndexOf(const model::Node& parent) const {
  return tree_->isRoot(parent) ? QModelIndex() : indexOf(parent);
}

void TreeModel::aboutToInsert(const model::Node& parent, std::size_t index) {
  const int row = static_cast<int>(index);
  beginInsertRows(parentIndexOf(parent), row, row);
}

void TreeModel::inserted() { endInsertRows(); }

void TreeModel::aboutToRemove(const model::Node& parent, std::size_t index) {
  const int row = static_cast<int>(index);
  beginRemoveRows(parentIndexOf(parent), row, row);
}

void TreeModel::removed() { endRemoveRows(); }

void TreeModel::renamed(const model::Node& node) { nodeChanged(node); }

void TreeModel::aboutToClear() { beginResetModel(); }

void TreeModel::cleared() { endResetModel(); }

void TreeModel::nodeChanged(const model::Node& node) {
  const QModelIndex index = indexOf(node);
  if (index.isValid()) emit dataChanged(index, index, {Qt::DisplayRole, Qt::DecorationRole});
}

const model::Node* TreeModel::nodeAt(const QModelIndex& index) const {
  return index.isValid() ? static_cast<const model::Node*>(index.internalPointer()) : nullptr;
}

QModelIndex TreeModel::indexOf(const model::Node& node) const {
  return createIndex(static_cast<int>(node.indexInParent()), 0, &node);
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (!tree_ || column != 0 || row < 0) return {};
  const auto position = static_cast<std::size_t>(row);
  if (const model::Node* node = nodeAt(parent)) {
    if (position >= node->childCount()) return {};
    return createIndex(row, 0, &node->child(position));
  }
  if (position >= tree_->topLevelCount()) return {};
  return createIndex(row, 0, &tree_->topLevel(position));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
  const model::Node* node = nodeAt(child);
  if (!node || tree_->isTopLevel(*node)) return {};
  return indexOf(*node->parent());
}

int TreeModel::rowCount(const QModelIndex& parent) const {
  if (!tree_ || parent.column() > 0) return 0;
  if (const model::Node* node = nodeAt(parent)) return static_cast<int>(node->childCount());
  return static_cast<int>(tree_->topLevelCount());
}

int TreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TreeModel::data(const QModelIndex& index, int role) const {
  const model::Node* node = nodeAt(index);
  if (!node) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(node->name());
  if (role == Qt::DecorationRole) {
    const int image = node->stateImage();
    if (image >= 0 && image < static_cast<int>(stateIcons_.size()) && !stateIcons_[image].isNull())
      return stateIcons_[image];
  }
  return {};
}

}  // namespace delvix::app
