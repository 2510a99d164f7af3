#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace delvix::fieldview {

// What Apply will do with the table shown: set by a listing, kept by the window.
enum class EditMode {
  none,
  headerOrInfoItem,  // Apply tells the two apart by the node's name
  directoryEntry,
  aniHeader,
  rate,
  sequence,
  frameList,
  frameHeader,
  bitmapHeader,
  colourTable,
  fact,
  hotSpot,
  xcursorImage,
  pixels1,
  pixels4,
  pixels8,
  pixels24,
  pixels32,
};

enum class Mark { editable, readOnly };

// The values an editable row accepts; the edit box takes no more digits than `max` has (and a "-" only when
// `min` is negative).
struct ValueRange {
  std::int64_t min = 0;
  std::int64_t max = 0;

  bool contains(std::int64_t value) const { return value >= min && value <= max; }
  bool operator==(const ValueRange&) const = default;
};

struct Column {
  std::string caption;
  int width = 0;
  // Limits the user's resizing; they stay in force once a table has set them.
  std::optional<int> minWidth, maxWidth;
};

// The colour picture of a colour-table or pixel row.
struct Swatch {
  enum class Shape {
    square,    // a colour-table entry
    disc,      // one pixel
    twoDiscs,  // the two pixels of a byte of a 16-colour bitmap
  };
  Shape shape = Shape::square;
  // 0x00RRGGBB; `second` is the right-hand disc of two.
  std::uint32_t colour = 0;
  std::uint32_t second = 0;

  bool operator==(const Swatch&) const = default;
};

struct Row {
  std::string caption;
  std::string value;
  std::string third;  // the mask column of pixel tables; empty elsewhere
  Mark mark = Mark::readOnly;
  std::optional<Swatch> swatch;
  // What an editable row's value may be.
  std::optional<ValueRange> range;

  bool operator==(const Row&) const = default;
};

// The rows of a table, made one at a time when asked for, so that a table of thousands of rows costs
// only what the view shows.
class Rows {
 public:
  using Maker = std::function<Row(std::size_t)>;
  Rows() = default;
  Rows(std::size_t count, Maker make) : count_(count), make_(std::move(make)) {}
  explicit Rows(std::vector<Row> rows);

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // Row `index` (< size()).
  Row at(std::size_t index) const { return make_(index); }

 private:
  std::size_t count_ = 0;
  Maker make_;
};

enum class EditBox { edit1, editInfo, editR, editG, editB, editRes, editMask1, editMask2, editColor, editMask };

// An edit box the listing shows, left to right; every other box is hidden. Shown boxes start empty.
struct ShownBox {
  EditBox box;
  std::string hint;
  std::optional<int> maxLength;
  std::string text;

  bool operator==(const ShownBox&) const = default;
};

// Button states a listing sets; an unset one keeps its state.
struct ButtonStates {
  std::optional<bool> apply, add, remove, next, previous;
  std::optional<bool> removeChunk;
  std::optional<bool> zoomIn, zoomOut;
  std::optional<bool> saveAll;
};

enum class Outcome {
  listed,
  // The node's table is not made yet: the view is cleared and shows nothing.
  notListedYet,
  // The node changes nothing: table, edit boxes, buttons and edit mode stay as they were.
  unchanged,
};

// What selecting a node shows in the field view. Every outcome but `unchanged` starts from a cleared view
// (empty captions, no rows, Apply/Add/Remove/Next/Previous disabled, edit boxes emptied).
struct Listing {
  Outcome outcome = Outcome::listed;
  std::array<Column, 3> columns;
  Rows rows;
  // The table shows swatches (colour table, pixels).
  bool swatches = false;
  std::vector<ShownBox> boxes;
  ButtonStates buttons;
  // Unset: the edit mode keeps its value.
  std::optional<EditMode> editMode;
  // The picture (zero-based) whose thumbnail becomes the current one.
  std::optional<int> pictureToSelect;
  // The player's current step goes back to none (a picture's own parts are shown).
  bool resetsPlayerStep = false;
  // The column captions and widths stay as they were (an INFO item shows its text in a box, not in rows).
  bool keepsColumns = false;
};

}  // namespace delvix::fieldview
