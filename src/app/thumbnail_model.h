#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QSize>
#include <vector>

#include "model/document.h"

namespace delvix::app {

// The rows of the thumbnail list, asked for one by one: the picture's thumbnail and number, its size
// (for an animated cursor its displaying time in jiffies, for a module its index) and its bits per pixel.
class ThumbnailModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ThumbnailModel(QObject* parent = nullptr);

  // Shows the pictures of `document` (null: none), with the column captions of its kind.
  void setDocument(const model::Document* document);
  // Takes the animated cursor's display times again, after they were edited.
  void refreshDelays();
  // Shows picture `row`'s thumbnail again, after it was drawn anew.
  void refreshThumbnail(int row);
  // A picture was added to the document at `row`, or removed from it; the display times are taken again.
  void pictureInserted(int row);
  void pictureRemoved(int row);
  // Gives the columns the captions of a kind of file (none: empty captions).
  void setColumns(model::FileKind kind);
  // The size of the first thumbnail, which every row's picture is shown at; empty when there is none.
  QSize thumbnailSize() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QPixmap pixmapOf(int row) const;
  void takeDelays();

  const model::Document* document_ = nullptr;
  // The rows the views were told of: the document's image count, followed one change at a time.
  int rows_ = 0;
  model::FileKind columns_ = model::FileKind::none;
  mutable std::vector<QPixmap> pixmaps_;
  // An animated cursor's display times per frame ("10, 30" for a frame two steps show for different
  // times), taken when the document is set; rows past them show `laterDelays_`.
  std::vector<QString> frameDelays_;
  QString laterDelays_;
};

// The captions of the thumbnail list's columns for a kind of file.
QStringList thumbnailColumnCaptions(model::FileKind kind);

}  // namespace delvix::app
