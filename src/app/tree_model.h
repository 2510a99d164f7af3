#pragma once

#include <QAbstractItemModel>
#include <vector>

#include "model/tree.h"

namespace delvix::app {

// Shows the structure tree of the open document to a QTreeView: one column, the node's name, and the
// picture of its state image. The tree belongs to the document; the model only looks at it.
class TreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit TreeModel(QObject* parent = nullptr);

  // Shows `tree`, or nothing. Call with null before the tree changes shape, and again when it is built.
  void setTree(const model::Tree* tree);

  QModelIndex indexOf(const model::Node& node) const;
  // Tells the views that a node's name or state image changed.
  void nodeChanged(const model::Node& node);
  const model::Node* nodeAt(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const model::Tree* tree_ = nullptr;
  std::vector<QIcon> stateIcons_;
};

}  // namespace delvix::app
