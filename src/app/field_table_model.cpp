#include "app/field_table_model.h"

#include <QPainter>
#include <QPixmap>

#include "fieldview/swatch_picture.h"

namespace delvix::app {

namespace {

// The editable mark is a green dot, the read-only mark a grey one; a colour row adds its swatch.
QPixmap markPicture(fieldview::Mark mark, const std::optional<fieldview::Swatch>& swatch) {
  QPixmap pixmap(swatch ? 30 : 12, swatch ? 16 : 12);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(mark == fieldview::Mark::editable ? QColor(0x3a, 0x9b, 0x4a) : QColor(0xb0, 0xb4, 0xba));
  p.drawEllipse(QRectF(2, pixmap.height() / 2.0 - 4, 8, 8));
  if (swatch) {
    const gfx::Image picture = fieldview::swatchPicture(*swatch);
    p.drawImage(14, 0,
                QImage(reinterpret_cast<const uchar*>(picture.pixels().data()), picture.width(), picture.height(),
                       QImage::Format_ARGB32));
  }
  return pixmap;
}

}  // namespace

FieldTableModel::FieldTableModel(QObject* parent)
    : QAbstractTableModel(parent),
      editable_(markPicture(fieldview::Mark::editable, std::nullopt)),
      readOnly_(markPicture(fieldview::Mark::readOnly, std::nullopt)) {}

void FieldTableModel::show(std::array<QString, 3> captions, fieldview::Rows rows) {
  beginResetModel();
  captions_ = std::move(captions);
  rows_ = std::move(rows);
  replaced_.clear();
  endResetModel();
}

void FieldTableModel::removeRows() { show(captions_, {}); }

void FieldTableModel::clear() { show({}, {}); }

void FieldTableModel::replaceRow(std::size_t index, fieldview::Row row) {
  if (index >= rows_.size()) return;
  replaced_[index] = std::move(row);
  const int at = static_cast<int>(index);
  emit dataChanged(this->index(at, 0), this->index(at, 2));
}

std::optional<fieldview::Row> FieldTableModel::rowAt(std::size_t index) const {
  if (index >= rows_.size()) return std::nullopt;
  if (auto found = replaced_.find(index); found != replaced_.end()) return found->second;
  return rows_.at(index);
}

int FieldTableModel::rowCount(const QModelIndex& parent) const {
  // A view counts rows in int; a listing never comes near that, but a damaged file must not wrap it.
  return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(rows_.size(), INT_MAX));
}

int FieldTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant FieldTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0) return {};
  if (role == Qt::TextAlignmentRole)
    return index.column() == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter) : QVariant(Qt::AlignCenter);
  if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != editableRole) return {};
  const std::optional<fieldview::Row> row = rowAt(static_cast<std::size_t>(index.row()));
  if (!row) return {};
  if (role == editableRole) return index.column() == 0 ? QVariant(row->mark == fieldview::Mark::editable) : QVariant();
  if (role == Qt::DecorationRole) {
    if (index.column() != 0) return {};
    if (row->swatch) return QIcon(markPicture(row->mark, row->swatch));
    return row->mark == fieldview::Mark::editable ? editable_ : readOnly_;
  }
  switch (index.column()) {
    case 0: return QString::fromStdString(row->caption);
    case 1: return QString::fromStdString(row->value);
    case 2: return QString::fromStdString(row->third);
    default: return {};
  }
}

QVariant FieldTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  // A caption cut short by a narrow column shows whole in its tooltip.
  if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole) || section < 0 ||
      section > 2)
    return {};
  return captions_[static_cast<std::size_t>(section)];
}

}  // namespace delvix::app
