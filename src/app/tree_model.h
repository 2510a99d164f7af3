#pragma once

#include <QAbstractItemModel>
#include <vector>

#include "model/tree.h"
#include "model/tree_observer.h"

namespace delvix::app {

// Shows the structure tree of the open document to a QTreeView: one column, the node's name, and the
// picture of its state image. The tree belongs to the document; the model only looks at it, and follows
// every change the tree reports.
class TreeModel : public QAbstractItemModel, private model::TreeObserver {
  Q_OBJECT

 public:
  explicit TreeModel(QObject* parent = nullptr);
  ~TreeModel() override;

  // Shows `tree`, or nothing. Call with null before a new tree is read into it, and again when it is built;
  // later changes to its shape reach the views as they are made.
  void setTree(model::Tree* tree);

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
  void aboutToInsert(const model::Node& parent, std::size_t index) override;
  void inserted() override;
  void aboutToRemove(const model::Node& parent, std::size_t index) override;
  void removed() override;
  void renamed(const model::Node& node) override;
  void aboutToClear() override;
  void cleared() override;
  QModelIndex parentIndexOf(const model::Node& parent) const;

  model::Tree* tree_ = nullptr;
  std::vector<QIcon> stateIcons_;
};

}  // namespace delvix::app
