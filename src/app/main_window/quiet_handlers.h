#pragma once

namespace delvix::app {

// Tree and thumbnail handlers stay quiet while the core changes the tree under the views: a selection that
// Qt moves off a removed row must not list a node whose document is half changed.
class QuietHandlers {
 public:
  QuietHandlers(bool& tree, bool& thumbnails)
      : tree_(tree), thumbnails_(thumbnails), treeWas_(tree), thumbnailsWere_(thumbnails) {
    tree_ = thumbnails_ = false;
  }
  ~QuietHandlers() {
    tree_ = treeWas_;
    thumbnails_ = thumbnailsWere_;
  }
  QuietHandlers(const QuietHandlers&) = delete;
  QuietHandlers& operator=(const QuietHandlers&) = delete;

 private:
  bool& tree_;
  bool& thumbnails_;
  bool treeWas_;
  bool thumbnailsWere_;
};

}  // namespace delvix::app
