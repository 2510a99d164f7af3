#pragma once

#include <cstddef>
#include <list>
#include <unordered_map>
#include <utility>

namespace delvix::preview {

// The thumbnails of the rows shown last, at most `capacity` of them: a list makes thumbnails only for the
// rows it shows, and the row asked for least recently is dropped first, so memory follows the window and
// not the file. `Picture` is whatever the view draws (an image, a pixmap).
template <typename Picture>
class ThumbnailCache {
 public:
  explicit ThumbnailCache(std::size_t capacity) : capacity_(capacity) {}

  // The thumbnail of `row`, made by `make(row)` when it is not kept; the row becomes the most recent.
  template <typename Make>
  const Picture& get(int row, Make&& make) {
    if (auto found = rows_.find(row); found != rows_.end()) {
      order_.splice(order_.begin(), order_, found->second);
      return found->second->second;
    }
    order_.emplace_front(row, make(row));
    rows_[row] = order_.begin();
    while (order_.size() > capacity_ && order_.size() > 1) {
      rows_.erase(order_.back().first);
      order_.pop_back();
    }
    return order_.front().second;
  }

  // Row `row` is drawn anew when next asked for.
  void forget(int row) {
    if (auto found = rows_.find(row); found != rows_.end()) {
      order_.erase(found->second);
      rows_.erase(found);
    }
  }
  void clear() {
    order_.clear();
    rows_.clear();
  }

  std::size_t size() const { return order_.size(); }
  std::size_t capacity() const { return capacity_; }

 private:
  std::size_t capacity_;
  std::list<std::pair<int, Picture>> order_;  // most recent first
  std::unordered_map<int, typename std::list<std::pair<int, Picture>>::iterator> rows_;
};

}  // namespace delvix::preview
