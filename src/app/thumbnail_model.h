#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QSize>
#include <vector>

#include "model/document.h"
#include "preview/thumbnail_cache.h"

namespace delvix::app {

// The rows of the thumbnail list, asked for one by one: the picture's thumbnail and number, its size
// (for an animated cursor its displaying time in jiffies, for a module its name and kind) and its bits per
// pixel. Thumbnails are drawn for the rows the view asks for and kept for the last few hundred of them.
class ThumbnailModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ThumbnailModel(QObject* parent = nullptr);

  // Shows the pictures of `document` (null: none), with the column captions of its kind.
  void setDocument(const model::Document* document);
  // Takes the animated cursor's display times again, after they were edited.
  void refreshDelays();
  // Draws picture `row`'s thumbnail again, after its pixels or colours changed.
  void refreshThumbnail(int row);
  // Draws every thumbnail again when it is next shown (after an undo or a redo).
  void refreshThumbnails();
  // A picture was added to the document at `row`, or removed from it; the display times are taken again.
  void pictureInserted(int row);
  void pictureRemoved(int row);
  // Gives the columns the captions of a kind of file (none: empty captions).
  void setColumns(model::FileKind kind);
  // The square every row's thumbnail is shown in; empty when there is no picture.
  QSize thumbnailSize() const;
  // How many thumbnails are kept now, and at most.
  std::size_t thumbnailsKept() const { return thumbnails_.size(); }
  static constexpr std::size_t thumbnailsKeptAtMost = 256;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QPixmap pixmapOf(int row) const;
  QString textOf(int row, int column) const;
  void takeDelays();

  const model::Document* document_ = nullptr;
  // The rows the views were told of: the document's image count, followed one change at a time.
  int rows_ = 0;
  model::FileKind columns_ = model::FileKind::none;
  mutable preview::ThumbnailCache<QPixmap> thumbnails_{thumbnailsKeptAtMost};
  // An animated cursor's display times per frame ("10, 30" for a frame two steps show for different
  // times), taken when the document is set; rows past them show `laterDelays_`.
  std::vector<QString> frameDelays_;
  QString laterDelays_;
};

// The captions of the thumbnail list's columns for a kind of file.
QStringList thumbnailColumnCaptions(model::FileKind kind);

}  // namespace delvix::app
