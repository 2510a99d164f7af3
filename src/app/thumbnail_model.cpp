#include "app/thumbnail_model.h"

#include <QImage>
#include <algorithm>

#include "formats/xcursor/xcursor_document.h"
#include "preview/module_picture_kind.h"
#include "preview/thumbnail.h"

namespace delvix::app {

ThumbnailModel::ThumbnailModel(QObject* parent) : QAbstractTableModel(parent) {}

QStringList thumbnailColumnCaptions(model::FileKind kind) {
  switch (kind) {
    case model::FileKind::animatedCursor: return {"Frames", "Time(jif)", "Bits per pixel"};
    case model::FileKind::iconFile: return {"Frames", "Size", "Bits per pixel"};
    case model::FileKind::module: return {"Frames", "Index", "Bits per pixel"};
    case model::FileKind::xcursor: return {"Frames", "Size", "Delay"};
    default: return {"", "", ""};
  }
}

void ThumbnailModel::setDocument(const model::Document* document) {
  beginResetModel();
  document_ = document;
  thumbnails_.clear();
  rows_ = document ? std::max(document->imageCount, 0) : 0;
  takeDelays();
  endResetModel();
}

void ThumbnailModel::pictureInserted(int row) {
  if (!document_ || row < 0 || row > rows_) return;
  beginInsertRows({}, row, row);
  // The rows after it move: their thumbnails are drawn again as they are shown.
  thumbnails_.clear();
  ++rows_;
  takeDelays();
  endInsertRows();
  refreshDelays();
}

void ThumbnailModel::pictureRemoved(int row) {
  if (!document_ || row < 0 || row >= rows_) return;
  beginRemoveRows({}, row, row);
  thumbnails_.clear();
  --rows_;
  takeDelays();
  endRemoveRows();
  refreshDelays();
}

void ThumbnailModel::takeDelays() {
  frameDelays_.clear();
  laterDelays_.clear();
  const model::Document* document = document_;
  if (document && document->kind == model::FileKind::animatedCursor) {
    const model::AniState& ani = document->ani;
    // Only the frames that were read or have a rate entry can differ; the count is bounded by the file.
    const std::size_t known = std::min<std::size_t>(static_cast<std::size_t>(std::max(document->imageCount, 0)),
                                                    std::max(ani.framesRead, ani.rates.size()));
    for (const std::vector<std::uint32_t>& delays : ani.frameDelays(known)) {
      QStringList texts;
      for (std::uint32_t delay : delays) texts << QString::number(delay);
      frameDelays_.push_back(texts.join(", "));
    }
    if (!ani.ratesPerStep()) laterDelays_ = QString::number(ani.header.displayRate);
  }
}

void ThumbnailModel::refreshDelays() {
  takeDelays();
  // An X cursor shows its delays in the last column, beside the nominal size.
  if (rowCount() > 0) emit dataChanged(index(0, 1), index(rowCount() - 1, 2), {Qt::DisplayRole});
}

void ThumbnailModel::refreshThumbnail(int row) {
  if (row < 0 || row >= rows_) return;
  thumbnails_.forget(row);
  emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
}

void ThumbnailModel::refreshThumbnails() {
  thumbnails_.clear();
  if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, 0), {Qt::DecorationRole});
}

void ThumbnailModel::setColumns(model::FileKind kind) {
  columns_ = kind;
  emit headerDataChanged(Qt::Horizontal, 0, 2);
}

QSize ThumbnailModel::thumbnailSize() const {
  if (!document_ || document_->pictures.empty()) return {};
  return {preview::thumbnailBox, preview::thumbnailBox};
}

int ThumbnailModel::rowCount(const QModelIndex& parent) const {
  if (!document_ || parent.isValid()) return 0;
  return rows_;
}

int ThumbnailModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QPixmap ThumbnailModel::pixmapOf(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= document_->pictures.size()) return {};
  return thumbnails_.get(row, [this](int shown) {
    const gfx::Image image = preview::makeThumbnail(*document_, shown);
    if (image.empty()) return QPixmap();
    // The pixels have QImage's ARGB32 layout; fromImage copies them, so the wrapper need not outlive this call.
    const QImage view(reinterpret_cast<const uchar*>(image.pixels().data()), image.width(), image.height(),
                      image.width() * 4, QImage::Format_ARGB32);
    return QPixmap::fromImage(view);
  });
}

QString ThumbnailModel::textOf(int row, int column) const {
  const auto position = static_cast<std::size_t>(row);
  const bool hasEntry = position < document_->pictures.size();
  switch (column) {
    case 0: return QString::number(row + 1);
    case 1:
      if (document_->kind == model::FileKind::animatedCursor)
        return position < frameDelays_.size() ? frameDelays_[position] : laterDelays_;
      if (document_->kind == model::FileKind::module)
        return QString::fromStdString(preview::moduleRowText(*document_, row));
      if (document_->kind == model::FileKind::xcursor) {
        // The nominal size first: the rows are grouped by it.
        const auto timing = formats::xcursor::timingOf(*document_, row);
        const QString size = hasEntry ? QString::fromStdString(document_->pictures[position].sizeText) : QString();
        return timing ? QString("%1: %2").arg(timing->nominalSize).arg(size) : size;
      }
      return hasEntry ? QString::fromStdString(document_->pictures[position].sizeText) : QString();
    case 2:
      if (document_->kind == model::FileKind::xcursor) {
        const auto timing = formats::xcursor::timingOf(*document_, row);
        return timing ? QString("%1 ms").arg(timing->delay) : QString();
      }
      return hasEntry ? QString::fromStdString(document_->pictures[position].bitCountText) : QString();
    default: return {};
  }
}

QVariant ThumbnailModel::data(const QModelIndex& index, int role) const {
  if (!document_ || !index.isValid()) return {};
  if (role == Qt::DecorationRole && index.column() == 0) {
    QPixmap pixmap = pixmapOf(index.row());
    return pixmap.isNull() ? QVariant() : QVariant(pixmap);
  }
  // A text too long for its column is cut short with an ellipsis: the tooltip shows it whole.
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  return textOf(index.row(), index.column());
}

QVariant ThumbnailModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2) return {};
  return thumbnailColumnCaptions(columns_).at(section);
}

}  // namespace delvix::app
