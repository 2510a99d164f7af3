#include "fieldview/pixel_table.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "formats/ico_reader.h"
#include "formats/le_bytes.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "model/show_states.h"
#include "preview/frame_render.h"
#include "preview/thumbnail.h"
#include "support/icon_builder.h"
#include "support/pe_builder.h"

namespace delvix::fieldview {
namespace {

using testing::ByteVector;
using testing::DibImage;
using Kind = ApplyResult::Kind;

constexpr model::ShowSettings allShown{model::state::valuesShown, model::state::valuesShown, model::state::valuesShown};

// `size` zero bytes with the given bytes set.
ByteVector bytesWith(std::size_t size, const std::map<std::size_t, std::uint8_t>& set) {
  ByteVector bytes(size, 0);
  for (const auto& [at, value] : set) bytes.at(at) = value;
  return bytes;
}

std::unique_ptr<model::Document> iconOf(const DibImage& image) {
  testing::IconFile file;
  file.entries.push_back({image.bytes()});
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  EXPECT_TRUE(formats::readIconFile(file.bytes(), *document, allShown, reporter));
  document->path = "test.ico";
  return document;
}

// A bitmap resource of 1 x 3 pixels at 24 bits stored top row first: blue, green, red from the top.
std::unique_ptr<model::Document> topDownBitmap() {
  const ByteVector rows = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
  testing::PeBuilder builder;
  builder.add(formats::pe::rtBitmap, std::uint32_t{1}, testing::bitmapResource(1, -3, 24, 0, 0, rows));
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  EXPECT_TRUE(formats::readModule(builder.build().bytes, *document, allShown, {}, reporter));
  document->path = "lib.dll";
  return document;
}

model::Node& nodeNamed(model::Document& document, std::string_view name) {
  model::Node* node = document.tree.findFirst(name);
  if (!node) throw std::runtime_error("no node " + std::string(name));
  return *node;
}

std::vector<std::uint8_t> storedRows(const model::Node& node) { return {node.block().begin() + 8, node.block().end()}; }

// Fixtures, each picture's rows bottom row first.
DibImage oneBit(int width, int height) { return DibImage{.width = width, .height = height, .bitCount = 1}; }
// 32 x 32, 1 bit: byte 5 is 0x3C, its mask byte 0xF0.
DibImage oneBit32() {
  DibImage image = oneBit(32, 32);
  image.colourRows = bytesWith(128, {{5, 0x3C}});
  image.maskRows = bytesWith(128, {{5, 0xF0}});
  return image;
}
// 8 x 1, 4 bits: byte 0x3C, entries 3 and 12 coloured; the first pixel masked.
DibImage fourBit() {
  DibImage image{.width = 8, .height = 1, .bitCount = 4};
  image.palette.assign(16, 0);
  image.palette[3] = 0x112233;
  image.palette[12] = 0xAABBCC;
  image.colourRows = {0x3C};
  image.maskRows = {0x80};
  return image;
}
// 4 x 1, 8 bits: index 2, a green entry.
DibImage eightBit() {
  DibImage image{.width = 4, .height = 1, .bitCount = 8};
  image.palette = {0, 0, 0x00FF00};
  image.colourRows = {2};
  return image;
}
// 22 x 2, 24 bits: rows of 68 bytes; the first pixel of the top row is red 1, green 2, blue 3 and masked.
DibImage twentyFourBit() {
  DibImage image{.width = 22, .height = 2, .bitCount = 24};
  image.colourRows = bytesWith(136, {{68, 3}, {69, 2}, {70, 1}});
  image.maskRows = bytesWith(8, {{4, 0x80}});
  return image;
}
// 32 x 32, 32 bits: the first pixel opaque blue.
DibImage thirtyTwoBit() {
  DibImage image{.width = 32, .height = 32, .bitCount = 32};
  image.colourRows = bytesWith(4096, {{0, 0xFF}, {3, 0xFF}});
  return image;
}

TEST(PixelTable, PagesOfThreeHundredSixtyItems) {
  auto document = iconOf(DibImage{.width = 48, .height = 48, .bitCount = 8});
  const model::Node& bitmap = nodeNamed(*document, "color_bitmap");
  ASSERT_EQ(pixelTableShape(bitmap)->itemCount, 2304u);
  EXPECT_EQ(pixelTableShape(bitmap)->pageCount(), 7u);

  struct Case {
    std::size_t page, rows;
    std::string firstCaption, lastCaption;
    bool next, previous;
  };
  for (const Case& c : {Case{0, 360, "1", "360", true, false}, Case{3, 360, "1081", "1440", true, true},
                        Case{6, 144, "2161", "2304", false, true}}) {
    SCOPED_TRACE(c.page);
    const Listing page = listPixelPage(*document, bitmap, c.page, {.editData = 0}, 1);
    ASSERT_EQ(page.rows.size(), c.rows);
    EXPECT_EQ(page.rows.at(0).caption, c.firstCaption);
    EXPECT_EQ(page.rows.at(c.rows - 1).caption, c.lastCaption);
    EXPECT_EQ(page.buttons.next, c.next);
    EXPECT_EQ(page.buttons.previous, c.previous);
    EXPECT_EQ(page.buttons.apply, false);
    EXPECT_EQ(page.editMode, EditMode::pixels8);
    EXPECT_EQ(page.rows.at(0).mark, Mark::editable);
    EXPECT_EQ(page.rows.at(0).range, (ValueRange{0, 255}));
    EXPECT_EQ(page.pictureToSelect, 0);
  }
  const Listing first = listPixelPage(*document, bitmap, 0, {}, 1);
  EXPECT_EQ(first.columns[0].caption, "Pixel/Byte");
  EXPECT_EQ(first.columns[2].caption, "Mask");
  EXPECT_EQ(first.columns[2].width, 50);
  EXPECT_EQ(first.boxes, (std::vector<ShownBox>{{EditBox::editRes, "Table index", 3, {}},
                                                {EditBox::editMask1, "Mask index", 1, {}}}));
  EXPECT_EQ(first.rows.at(0).mark, Mark::readOnly);

  // Past the last page, a bit count the table does not list, hidden values: no rows, no boxes.
  auto twoBit = iconOf(DibImage{.width = 4, .height = 4, .bitCount = 2});
  auto hidden = iconOf(eightBit());
  model::applyShowStates(hidden->tree, {});
  for (const Listing& cleared :
       {listPixelPage(*document, bitmap, 7, {}, 1), listNode(*twoBit, nodeNamed(*twoBit, "color_bitmap"), {}, 1),
        listNode(*hidden, nodeNamed(*hidden, "color_bitmap"), {}, 1)}) {
    EXPECT_TRUE(cleared.rows.empty());
    EXPECT_TRUE(cleared.boxes.empty());
    EXPECT_FALSE(cleared.editMode.has_value());
    EXPECT_TRUE(cleared.resetsPlayerStep);
  }
}

TEST(PixelTable, RowTextsMasksAndSwatches) {
  struct Case {
    DibImage image;
    std::size_t row;
    Row expected;
    std::string secondColumn;
  };
  const Case cases[] = {
      {oneBit32(), 5, {"6", "00111100", "11110000", Mark::readOnly, {}, {}}, "Color"},
      {fourBit(),
       0,
       {"1", "3  12", "1  0", Mark::readOnly, Swatch{Swatch::Shape::twoDiscs, 0x112233, 0xAABBCC}, {}},
       "Table index"},
      {eightBit(), 0, {"1", "2", "0", Mark::readOnly, Swatch{Swatch::Shape::disc, 0x00FF00, 0}, {}}, "Table index"},
      {twentyFourBit(),
       22,
       {"23", "1 2 3", "1", Mark::readOnly, Swatch{Swatch::Shape::disc, 0x010203, 0}, {}},
       "R G B"},
      {thirtyTwoBit(),
       0,
       {"1", "255 0 0 255", "0", Mark::readOnly, Swatch{Swatch::Shape::disc, 0x0000FF, 0}, {}},
       "Res R G B"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.image.bitCount);
    auto document = iconOf(c.image);
    const Listing page = listNode(*document, nodeNamed(*document, "color_bitmap"), {}, 1);
    EXPECT_EQ(page.rows.at(c.row), c.expected);
    EXPECT_EQ(page.columns[1].caption, c.secondColumn);
    EXPECT_EQ(page.swatches, c.image.bitCount != 1);
  }

  // An index past the colour table shows black.
  auto document = iconOf(fourBit());
  formats::setLe32(nodeNamed(*document, "color_table").editBlock(), 0, 8);
  EXPECT_EQ(listNode(*document, nodeNamed(*document, "color_bitmap"), {}, 1).rows.at(0).swatch,
            (Swatch{Swatch::Shape::twoDiscs, 0, 0}));
}

TEST(PixelTable, PickingAndMarkingPixels) {
  auto big = iconOf(oneBit(64, 64));
  auto sixteenHigh = iconOf(oneBit(32, 16));
  auto twentyWide = iconOf(oneBit(20, 2));
  auto wide = iconOf(twentyFourBit());
  auto topDown = topDownBitmap();
  const model::Node& bigBitmap = nodeNamed(*big, "color_bitmap");
  const model::Node& sixteenBitmap = nodeNamed(*sixteenHigh, "color_bitmap");

  // The top row is stored last: pixel (5, 0) of 64 x 64 is pixel 63 x 64 + 5 = 4037, byte 504.
  EXPECT_EQ(pickPixel(bigBitmap, 5, 0), (PixelPick{1, 144}));
  EXPECT_EQ(selectPixelRow(bigBitmap, 1, 144).mark, (PixelMark{7, 0, 8}));
  // Rows of 4 bytes, 16 high: (9, 0) is pixel 15 x 32 + 9 = 489.
  EXPECT_EQ(pickPixel(sixteenBitmap, 9, 0), (PixelPick{0, 61}));
  for (auto [x, y] : std::vector<std::pair<int, int>>{{32, 0}, {0, 16}, {-1, 0}, {0, -1}})
    EXPECT_FALSE(pickPixel(sixteenBitmap, x, y));

  // 20 pixels in rows of 4 bytes: the third byte ends in filler.
  const model::Node& twentyBitmap = nodeNamed(*twentyWide, "color_bitmap");
  EXPECT_EQ(selectPixelRow(twentyBitmap, 0, 1).mark, (PixelMark{15, 1, 8}));
  EXPECT_FALSE(selectPixelRow(twentyBitmap, 0, 2).mark);

  // 24 bits, 22 pixels in rows of 68 bytes: the top row starts at item 22.
  const model::Node& wideBitmap = nodeNamed(*wide, "color_bitmap");
  EXPECT_EQ(pixelTableShape(wideBitmap)->itemCount, 44u);
  EXPECT_EQ(pickPixel(wideBitmap, 0, 0), (PixelPick{0, 22}));
  const PixelRowSelection selected = selectPixelRow(wideBitmap, 0, 22);
  EXPECT_EQ(selected.mark, (PixelMark{0, 0, 1}));
  EXPECT_EQ(selected.boxes,
            (BoxTexts{{EditBox::editR, "1"}, {EditBox::editG, "2"}, {EditBox::editB, "3"}, {EditBox::editMask1, "1"}}));
  EXPECT_TRUE(selectPixelRow(wideBitmap, 0, 44).boxes.empty());
  EXPECT_TRUE(selectPixelRow(wideBitmap, 1, 0).boxes.empty());

  // A top-down bitmap: the first stored pixel is the top one.
  const model::Node& topDownBitmapNode = nodeNamed(*topDown, "color_bitmap");
  EXPECT_EQ(pickPixel(topDownBitmapNode, 0, 0), (PixelPick{0, 0}));
  EXPECT_EQ(pickPixel(topDownBitmapNode, 0, 2), (PixelPick{0, 2}));
  EXPECT_EQ(selectPixelRow(topDownBitmapNode, 0, 0).mark, (PixelMark{0, 0, 1}));
  EXPECT_EQ(listNode(*topDown, topDownBitmapNode, {}, 1).rows.at(0).value, "0 0 255");
}

TEST(PixelTable, ApplyWritesOneItemAndItsMaskBits) {
  struct Case {
    DibImage image;
    std::size_t row;
    BoxTexts texts;
    std::map<std::size_t, std::uint8_t> colourBytes;  // offset in the rows: value
    std::map<std::size_t, std::uint8_t> maskBytes;
    BoxTexts shownBack;
    std::string listed;
  };
  const Case cases[] = {
      {oneBit32(),
       5,
       {{EditBox::editColor, "101"}, {EditBox::editMask, "1"}},
       {{5, 0xA0}},
       {{5, 0x80}},
       {{EditBox::editColor, "10100000"}, {EditBox::editMask, "10000000"}},
       "10100000"},
      {fourBit(),
       0,
       {{EditBox::editRes, "3"}, {EditBox::editR, "99"}, {EditBox::editMask1, "0"}, {EditBox::editMask2, "5"}},
       {{0, 0x3F}},
       {{0, 0x40}},
       {{EditBox::editR, "15"}, {EditBox::editMask2, "1"}},
       "3  15"},
      {eightBit(),
       0,
       {{EditBox::editRes, "300"}, {EditBox::editMask1, "1"}},
       {{0, 255}},
       {{0, 0x80}},
       {{EditBox::editRes, "255"}},
       "255"},
      {twentyFourBit(),
       22,
       {{EditBox::editR, "10"}, {EditBox::editG, "20"}, {EditBox::editB, "30"}, {EditBox::editMask1, "0"}},
       {{68, 30}, {69, 20}, {70, 10}},
       {{4, 0x00}},
       {},
       "10 20 30"},
      {thirtyTwoBit(),
       0,
       {{EditBox::editRes, "300"},
        {EditBox::editR, "1"},
        {EditBox::editG, "2"},
        {EditBox::editB, "3"},
        {EditBox::editMask1, "1"}},
       {{0, 3}, {1, 2}, {2, 1}, {3, 255}},
       {{0, 0x80}},
       {{EditBox::editRes, "255"}},
       "255 1 2 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.image.bitCount);
    auto document = iconOf(c.image);
    model::Node& bitmap = nodeNamed(*document, "color_bitmap");
    const model::Node& mask = nodeNamed(*document, "mask_bitmap");
    std::vector<std::uint8_t> colourAfter = storedRows(bitmap), maskAfter = storedRows(mask);
    for (const auto& [at, value] : c.colourBytes) colourAfter.at(at) = value;
    for (const auto& [at, value] : c.maskBytes) maskAfter.at(at) = value;

    const ApplyResult result = applyPixelRow(*document, bitmap, 0, c.row, c.texts);
    ASSERT_EQ(result.kind, Kind::applied) << result.message;
    EXPECT_EQ(storedRows(bitmap), colourAfter);
    EXPECT_EQ(storedRows(mask), maskAfter);
    EXPECT_EQ(result.shownBoxes, c.shownBack);
    ASSERT_EQ(result.changedRows.size(), 1u);
    EXPECT_EQ(result.changedRows[0].first, c.row);
    EXPECT_EQ(result.changedRows[0].second.value, c.listed);
    EXPECT_EQ(result.changedRows[0].second, listPixelPage(*document, bitmap, 0, {.editData = 0}, 1).rows.at(c.row));
    EXPECT_EQ(result.redrawnPicture, 0);
  }
}

TEST(PixelTable, ApplyRefusesOrSkipsWithoutWriting) {
  auto wide = iconOf(twentyFourBit());
  auto four = iconOf(fourBit());
  auto one = iconOf(oneBit32());
  const BoxTexts rgb{{EditBox::editR, "1"}, {EditBox::editG, ""}, {EditBox::editB, "3"}, {EditBox::editMask1, "0"}};
  const BoxTexts fullRgb{{EditBox::editR, "1"}, {EditBox::editG, "2"}, {EditBox::editB, "3"}, {EditBox::editMask1, ""}};
  const BoxTexts indices{
      {EditBox::editRes, "x"}, {EditBox::editR, "1"}, {EditBox::editMask1, "0"}, {EditBox::editMask2, "0"}};
  struct Case {
    model::Document& document;
    std::size_t page, row;
    BoxTexts texts;
    Kind kind;
    std::string message;
  };
  const Case cases[] = {
      {*wide, 0, 22, rgb, Kind::refused, "\"\" is not a number from 0 to 255."},
      {*wide, 0, 22, fullRgb, Kind::refused, "\"\" is not a number from 0 to 1."},
      {*four, 0, 0, indices, Kind::refused, "\"x\" is not a number from 0 to 15."},
      {*wide, 0, 44, fullRgb, Kind::nothing, ""},
      {*wide, 0, 360, fullRgb, Kind::nothing, ""},
      {*wide, 1, 0, fullRgb, Kind::nothing, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message + " row " + std::to_string(c.row));
    model::Node& bitmap = nodeNamed(c.document, "color_bitmap");
    const model::Block before = bitmap.block(), maskBefore = nodeNamed(c.document, "mask_bitmap").block();
    const ApplyResult result = applyPixelRow(c.document, bitmap, c.page, c.row, c.texts);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(bitmap.block(), before);
    EXPECT_EQ(nodeNamed(c.document, "mask_bitmap").block(), maskBefore);
  }

  // A mask block cut short of the item's mask byte: the row lists no mask, Apply writes nothing.
  model::Node& mask = nodeNamed(*one, "mask_bitmap");
  mask.editBlock().resize(8 + 5);
  model::Node& bitmap = nodeNamed(*one, "color_bitmap");
  EXPECT_EQ(listNode(*one, bitmap, {}, 1).rows.at(5).third, "");
  const model::Block before = bitmap.block();
  EXPECT_EQ(applyPixelRow(*one, bitmap, 0, 5, {{EditBox::editColor, "1"}, {EditBox::editMask, "1"}}).kind,
            Kind::nothing);
  EXPECT_EQ(bitmap.block(), before);
}

TEST(PixelTable, ColourTableRowsAreSelectedAndApplied) {
  auto document = iconOf(fourBit());
  model::Node& table = nodeNamed(*document, "color_table");
  EXPECT_EQ(
      selectColourTableRow(table, 3),
      (BoxTexts{{EditBox::editRes, "0"}, {EditBox::editR, "17"}, {EditBox::editG, "34"}, {EditBox::editB, "51"}}));
  EXPECT_TRUE(selectColourTableRow(table, 16).empty());

  const BoxTexts texts{{EditBox::editRes, "1"}, {EditBox::editR, "300"}, {EditBox::editG, "2"}, {EditBox::editB, "3"}};
  const ApplyResult applied = applyRow(*document, table, EditMode::colourTable, 3, texts);
  ASSERT_EQ(applied.kind, Kind::applied) << applied.message;
  EXPECT_EQ(ByteVector(table.block().begin() + 16, table.block().begin() + 20), (ByteVector{3, 2, 255, 1}));
  EXPECT_EQ(applied.shownBoxes, (BoxTexts{{EditBox::editR, "255"}}));
  ASSERT_EQ(applied.changedRows.size(), 1u);
  EXPECT_EQ(applied.changedRows[0].second.value, "1 255 2 3");
  EXPECT_EQ(applied.redrawnPicture, 0);
  EXPECT_EQ(applyColourTableRow(*document, table, 16, texts).kind, Kind::nothing);

  formats::setLe32(nodeNamed(*document, "bitm_info").editBlock(), 16, 1);
  const model::Block before = table.block();
  const ApplyResult refused = applyColourTableRow(*document, table, 3, texts);
  EXPECT_EQ(refused.kind, Kind::refused);
  EXPECT_EQ(refused.message, "You cannot edit the color table for this bitmap. It 'Compression' value isn't 0.");
  EXPECT_EQ(table.block(), before);
}

TEST(PixelTable, EditsRedrawTheThumbnailAndThePreview) {
  auto document = iconOf(DibImage{.width = 2, .height = 2, .bitCount = 32});
  const gfx::Image before = preview::makeThumbnail(*document, 0);
  // Item 0 is the bottom-left pixel.
  const BoxTexts red{{EditBox::editRes, "255"},
                     {EditBox::editR, "255"},
                     {EditBox::editG, "0"},
                     {EditBox::editB, "0"},
                     {EditBox::editMask1, "0"}};
  ASSERT_EQ(applyPixelRow(*document, nodeNamed(*document, "color_bitmap"), 0, 0, red).kind, Kind::applied);
  // The 2 x 2 picture sits in the middle of the thumbnail's square.
  const gfx::Image after = preview::makeThumbnail(*document, 0);
  const int left = (preview::thumbnailBox - 2) / 2;
  EXPECT_EQ(after.width(), before.width());
  EXPECT_EQ(after.height(), before.height());
  EXPECT_EQ(gfx::withoutAlpha(after.at(left, left + 1)), 0xFF0000u);
  // Before the edit every alpha byte was 0 and the mask made the picture opaque; now one pixel has alpha, so
  // the others' alpha 0 counts.
  EXPECT_EQ(gfx::alpha(before.at(left + 1, left + 1)), 255);
  EXPECT_EQ(after.at(left + 1, left + 1), 0u);
  EXPECT_EQ(preview::makeThumbnail(*document, 1).width(), preview::thumbnailBox);  // no such picture

  // A top-down bitmap is drawn from its edited rows.
  auto topDown = topDownBitmap();
  ASSERT_EQ(applyPixelRow(*topDown, nodeNamed(*topDown, "color_bitmap"), 0, 0,
                          {{EditBox::editR, "9"}, {EditBox::editG, "8"}, {EditBox::editB, "7"}})
                .kind,
            Kind::applied);
  EXPECT_EQ(preview::renderPlain(*topDown, 0).image.at(0, 0), gfx::rgb(9, 8, 7));
  EXPECT_EQ(preview::renderPlain(*topDown, 0).image.at(0, 2), gfx::rgb(255, 0, 0));
}

}  // namespace
}  // namespace delvix::fieldview
