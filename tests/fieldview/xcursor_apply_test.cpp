#include <gtest/gtest.h>

#include "fieldview/apply.h"
#include "fieldview/list_node.h"
#include "formats/xcursor/xcursor_document.h"

namespace delvix::fieldview {
namespace {

namespace xc = formats::xcursor;

void readSample(model::Document& document) {
  xc::XcursorFile file;
  file.chunks = {{xc::imageType, 24, xc::imageChunkOf(gfx::Image(4, 3), 24, 1, 1, 10), {}},
                 {xc::commentType, 1, xc::CommentChunk{1, 1, {}, "old"}, {}}};
  formats::RecordingReporter reporter;
  EXPECT_TRUE(xc::readXcursorDocument(xc::writeXcursor(file), document, reporter));
}

// Rows of a picture's table: 1 nominal size, 5 x hot spot, 6 y hot spot, 7 delay; the others are read-only.
TEST(XcursorApply, ImageFieldsAreCheckedThenWrittenWithTheirTableEntry) {
  struct Case {
    std::size_t row;
    const char* text;
    ApplyResult::Kind kind;
  };
  const Case cases[] = {{1, "48", ApplyResult::Kind::applied}, {1, "0", ApplyResult::Kind::refused},
                        {5, "4", ApplyResult::Kind::applied},  {5, "5", ApplyResult::Kind::refused},
                        {6, "-1", ApplyResult::Kind::refused}, {7, "250", ApplyResult::Kind::applied},
                        {3, "9", ApplyResult::Kind::nothing}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + " " + c.text);
    model::Document document;
    readSample(document);
    const auto before = xc::writeXcursorDocument(document).bytes;
    model::Node& picture = *document.tree.findFirst("picture_1");
    EXPECT_EQ(applyRow(document, picture, EditMode::xcursorImage, c.row, {{EditBox::edit1, c.text}}).kind, c.kind);
    xc::XcursorFile written;
    formats::RecordingReporter reporter;
    ASSERT_TRUE(xc::readXcursor(xc::writeXcursorDocument(document).bytes, written, reporter));
    const auto& image = std::get<xc::ImageChunk>(written.chunks[0].content);
    if (c.kind != ApplyResult::Kind::applied) {
      EXPECT_EQ(xc::writeXcursorDocument(document).bytes, before);
    }
    if (c.row == 1 && c.kind == ApplyResult::Kind::applied) {
      EXPECT_EQ(image.nominalSize, 48u);
      EXPECT_EQ(written.chunks[0].tocSubtype, 48u);
    }
    if (c.row == 5 && c.kind == ApplyResult::Kind::applied) {
      EXPECT_EQ(image.xHot, 4u);
    }
    if (c.row == 7) {
      EXPECT_EQ(image.delay, 250u);
    }
  }
}

TEST(XcursorApply, CommentTextIsReplacedWithItsLength) {
  model::Document document;
  readSample(document);
  model::Node& comment = *document.tree.findFirst("comment_1");
  EXPECT_EQ(applyRow(document, comment, EditMode::headerOrInfoItem, 0, {{EditBox::editInfo, "new text"}}).kind,
            ApplyResult::Kind::applied);
  xc::XcursorFile written;
  formats::RecordingReporter reporter;
  ASSERT_TRUE(xc::readXcursor(xc::writeXcursorDocument(document).bytes, written, reporter));
  EXPECT_EQ(std::get<xc::CommentChunk>(written.chunks[1].content).text, "new text");
}

}  // namespace
}  // namespace delvix::fieldview

namespace delvix::fieldview {
namespace {

// The window enables Apply, and set finds the row, by what selecting the row allows.
TEST(XcursorApply, SelectingAnEditableImageRowAllowsApply) {
  model::Document document;
  readSample(document);
  const model::Node& picture = *document.tree.findFirst("picture_1");
  const Listing listing = listNode(document, picture, {}, 1);
  ASSERT_EQ(listing.rows.size(), 8u);
  for (std::size_t row = 0; row < listing.rows.size(); ++row)
    EXPECT_EQ(selectRow(picture, listing.rows.at(row), listing.rows.size()).apply,
              listing.rows.at(row).mark == Mark::editable)
        << row;
  EXPECT_TRUE(selectRow(picture, listing.rows.at(5), listing.rows.size()).apply);
}

}  // namespace
}  // namespace delvix::fieldview
