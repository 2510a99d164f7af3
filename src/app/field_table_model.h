#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <map>

#include "fieldview/listing.h"

namespace delvix::app {

// The rows of the field table, made from a listing only as the view asks for them, so that a table of
// thousands of rows costs what the visible ones cost. Rows that Apply changed are kept beside the listing's.
class FieldTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit FieldTableModel(QObject* parent = nullptr);

  // Shows `rows` under `captions`; empty captions and no rows clear the table.
  void show(std::array<QString, 3> captions, fieldview::Rows rows);
  // Takes the rows away, keeping the captions (an INFO item shows its text in a box instead).
  void removeRows();
  void clear();
  // Row `index` now reads `row`.
  void replaceRow(std::size_t index, fieldview::Row row);
  // Row `index` as the table shows it; nullopt past the end.
  std::optional<fieldview::Row> rowAt(std::size_t index) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Whether the row carries the editable mark, under Qt::UserRole of column 0.
  static constexpr int editableRole = Qt::UserRole;

 private:
  std::array<QString, 3> captions_;
  fieldview::Rows rows_;
  std::map<std::size_t, fieldview::Row> replaced_;
  QIcon editable_, readOnly_;
};

}  // namespace delvix::app
