#include "fieldview/list_node.h"

#include <gtest/gtest.h>

#include <memory>

#include "formats/ani_reader.h"
#include "formats/ico_reader.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "formats/wav_reader.h"
#include "model/show_states.h"
#include "support/icon_builder.h"
#include "support/pe_builder.h"
#include "support/read_helpers.h"
#include "support/riff_builder.h"

namespace delvix::fieldview {
namespace {

using testing::ByteVector;
using testing::chunk;
using testing::DibImage;
using testing::riff;
using testing::u32s;

constexpr model::ShowSettings allShown{model::state::valuesShown, model::state::valuesShown, model::state::valuesShown};

// A 2 x 2 four-bit icon: palette entry 0 is 0x112233, mask bytes 0x0A and 0xC8.
DibImage smallIcon() {
  DibImage image{.width = 2, .height = 2, .bitCount = 4};
  image.palette = {0x112233, 0xFF0000};
  image.maskRows = {0x0A, 0, 0, 0, 0xC8, 0, 0, 0};
  return image;
}

std::unique_ptr<model::Document> iconDocument(const std::string& path, ByteVector trailing = {}) {
  testing::IconFile file;
  file.entries.push_back({.record = smallIcon().bytes(), .colourCount = 16, .planes = 1, .bitCount = 4});
  ByteVector bytes = file.bytes();
  bytes.insert(bytes.end(), trailing.begin(), trailing.end());
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  EXPECT_TRUE(formats::readIconFile(bytes, *document, allShown, reporter));
  document->path = path;
  return document;
}

std::unique_ptr<model::Document> aniDocument() {
  DibImage frame{.width = 2, .height = 2, .bitCount = 32};
  ByteVector bytes = riff("ACON", {testing::aniHeader({.frames = 2, .steps = 3, .displayRate = 4, .attributes = 3}),
                                   testing::list("INFO", {chunk("INAM", testing::text("Walk"))}),
                                   chunk("rate", u32s({5, 6, 7})), chunk("seq ", u32s({0, 0, 1})),
                                   testing::list("fram", {testing::iconChunk(frame), testing::iconChunk(frame)})});
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  EXPECT_TRUE(formats::readAnimatedCursor(bytes, *document, allShown, reporter));
  document->path = "walk.ani";
  return document;
}

std::unique_ptr<model::Document> waveDocument(ByteVector extraFormat) {
  ByteVector bytes = riff("WAVE", {testing::waveFormat({.extra = std::move(extraFormat)}), chunk("fact", u32s({8000})),
                                   chunk("data", ByteVector(8000, 0x80)), chunk("bext", ByteVector(6, 0))});
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  EXPECT_TRUE(formats::readWaveFile(bytes, *document, reporter));
  document->path = "tone.wav";
  return document;
}

std::unique_ptr<model::Document> readDocument(const ByteVector& bytes, const std::string& path) {
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  bool ok = false;
  if (path.ends_with(".dll"))
    ok = formats::readModule(bytes, *document, allShown, {}, reporter);
  else if (path.ends_with(".ani"))
    ok = formats::readAnimatedCursor(bytes, *document, allShown, reporter);
  else
    ok = formats::readIconFile(bytes, *document, allShown, reporter);
  EXPECT_TRUE(ok);
  document->path = path;
  return document;
}

// "caption=value" and " rw" for an editable row.
std::vector<std::string> rowTexts(const Listing& listing) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < listing.rows.size(); ++i) {
    const Row row = listing.rows.at(i);
    texts.push_back(row.caption + "=" + row.value + (row.mark == Mark::editable ? " rw" : ""));
  }
  return texts;
}

Listing listAt(const model::Document& document, const std::string& path, FieldSettings settings = {}) {
  const model::Node* node = testing::nodeAt(document.tree, path);
  if (!node) throw std::runtime_error("no node " + path);
  return listNode(document, *node, settings, 1);
}

using Texts = std::vector<std::string>;

TEST(FieldTables, ListEveryFieldWithItsMark) {
  const auto icoFile = iconDocument("app.ico", ByteVector(3, 9));
  const auto curFile = iconDocument("arrow.cur");
  const auto aniFile = aniDocument();
  const auto wave16File = waveDocument({});
  const auto wave18File = waveDocument({0, 0});
  const model::Document &ico = *icoFile, &cur = *curFile, &ani = *aniFile, &wave16 = *wave16File, &wave18 = *wave18File;
  struct Case {
    const model::Document& document;
    std::string path;
    Texts rows;
  };
  const Case cases[] = {
      {ico, "header", {"Reserve=0", "Type=1", "Count=1"}},
      {ico,
       "header/icon_dir_1",
       {"Width=2", "Height=2", "ColorCount=16", "Reserve=0 rw", "Planes=1 rw", "BitCount=4 rw", "BytesInRes=120",
        "ImageOffset=22"}},
      {cur,
       "header/icon_dir_1",
       {"Width=2", "Height=2", "ColorCount=16", "Reserve=0 rw", "HotPot X=1 rw", "HotPot Y=4 rw", "BytesInRes=120",
        "ImageOffset=22"}},
      {ico,
       "picture_1/bitm_info",
       {"Size=40", "Width=2", "Height=4", "Planes=1", "BitCount=4", "Compression=0", "SizeImage=0",
        "XPelsPerMeter=0 rw", "YPelsPerMeter=0 rw", "ClrUsed=0 rw", "ClrImportant=0 rw"}},
      {ico, "picture_1/mask_bitmap", {"1=0x0A", "2=0x00", "3=0x00", "4=0x00", "5=0xC8", "6=0x00", "7=0x00", "8=0x00"}},
      {ico, "trailing_data", {"Size=3"}},
      {ani,
       "RIFF_ACON/ani_header",
       {"Size=36", "Number of Frames=2", "Number of Steps=3 rw", "x=0 rw", "y=0 rw", "Bits per Pixel=0",
        "Number of Planes=1", "Default rate (1/60 s)=4 rw", "Flag=3 rw"}},
      {ani, "RIFF_ACON/time", {"1=5 rw", "2=6 rw", "3=7 rw"}},
      {ani, "RIFF_ACON/sequence", {"1=1 rw", "2=1 rw", "3=2 rw"}},
      {ani,
       "RIFF_ACON/List_images/picture_2/image_info",
       {"Reserve1=0", "Type=2", "Count=1", "Width=2", "Height=2", "ColorCount=0", "Reserve2=0 rw", "HotPot X=1 rw",
        "HotPot Y=32 rw", "BytesInRes=64", "ImageOffset=22"}},
      {wave16,
       "RIFF_WAVE/fmt",
       {"FormatTag=1", "Channels=1", "SamplesPerSec=8000", "AvgBytesPerSec=8000", "BlockAlign=1", "BitsPerSample=8"}},
      {wave18,
       "RIFF_WAVE/fmt",
       {"FormatTag=1", "Channels=1", "SamplesPerSec=8000", "AvgBytesPerSec=8000", "BlockAlign=1", "BitsPerSample=8",
        "Size=0"}},
      {wave16, "RIFF_WAVE/fact", {"The data in samples=8000"}},
      {wave16, "RIFF_WAVE/data", {"Size of data (bytes)=8000", "Time of playing (sec)=1"}},
      {wave16, "RIFF_WAVE/chunk_bext", {"Code=bext", "Size=6"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document.path + " " + c.path);
    const Listing listing = listAt(c.document, c.path);
    EXPECT_EQ(listing.outcome, Outcome::listed);
    EXPECT_EQ(rowTexts(listing), c.rows);
  }
}

TEST(FieldTables, ModuleGroupsAndKeptParts) {
  // A cursor group stores its size as two u16 values; the entry ends in the resource id.
  testing::PeBuilder builder;
  builder.add(formats::pe::rtCursor, std::uint32_t{7},
              testing::cursorResource(5, 9, DibImage{.width = 2, .height = 2, .bitCount = 32}.bytes()));
  builder.add(formats::pe::rtGroupCursor, std::uint32_t{300}, testing::groupResource(2, {{2, 4, 1, 32, 68, 7}}));
  const auto module = readDocument(builder.build().bytes, "lib.dll");

  const ByteVector png = testing::solidPng(3, 2, 0x102030FF);
  testing::IconFile pngIcon;
  pngIcon.entries.push_back({png});
  const auto pngFile = readDocument(pngIcon.bytes(), "big.ico");

  testing::IconFile twoImages;
  twoImages.type = 2;
  twoImages.entries.push_back({DibImage{.width = 2, .height = 2}.bytes()});
  twoImages.entries.push_back({DibImage{.width = 4, .height = 4}.bytes()});
  const auto ani = readDocument(
      riff("ACON", {testing::aniHeader({}), testing::list("fram", {testing::iconChunk(twoImages)})}), "two.ani");
  struct Case {
    const model::Document& document;
    std::string path;
    Texts rows;
  };
  const Case cases[] = {
      {*module, "300!num! [Cursor_1]/header", {"Reserve=0", "Type=2", "Count=1"}},
      {*module,
       "300!num! [Cursor_1]/header/icon_dir_1",
       {"Width=2", "Height=4", "Planes=1 rw", "BitCount=32 rw", "BytesInRes=68", "ID=7"}},
      {*module, "300!num! [Cursor_1]/picture_1/hot_pot", {"X=5 rw", "Y=9 rw"}},
      {*pngFile,
       "picture_1/png_data",
       {"Size=" + std::to_string(png.size()), "Width=3", "Height=2", "Bit depth=8", "Colour type=6", "Interlace=0"}},
      {*ani, "RIFF_ACON/List_images/picture_1/more_images", {"Image 2=4x4, 120 bytes"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document.path + " " + c.path);
    EXPECT_EQ(rowTexts(listAt(c.document, c.path)), c.rows);
  }

  const Listing resource = listAt(*module, "300!num! [Cursor_1]");
  EXPECT_EQ(resource.pictureToSelect, 0);
  EXPECT_EQ(resource.buttons.saveAll, true);
}

TEST(FieldTables, ColourTableAndMaskFollowTheirShowStateAndTheEditSetting) {
  const auto icoFile = iconDocument("app.ico");
  model::Document& ico = *icoFile;
  const Listing readOnly = listAt(ico, "picture_1/color_table");
  ASSERT_EQ(readOnly.rows.size(), 16u);
  EXPECT_EQ(readOnly.rows.at(0),
            (Row{"0", "0 17 34 51", {}, Mark::readOnly, Swatch{Swatch::Shape::square, 0x112233, 0}, {}}));
  EXPECT_EQ(readOnly.rows.at(15).caption, "15");
  EXPECT_EQ(readOnly.editMode, EditMode::colourTable);
  EXPECT_EQ(listAt(ico, "picture_1/color_table", {.editTable = 0}).rows.at(1).mark, Mark::editable);

  model::applyShowStates(ico.tree, {});
  const Listing hidden = listAt(ico, "picture_1/color_table");
  EXPECT_TRUE(hidden.rows.empty());
  EXPECT_FALSE(hidden.editMode.has_value());
  EXPECT_EQ(hidden.boxes.size(), 4u);
  const Listing hiddenMask = listAt(ico, "picture_1/mask_bitmap");
  EXPECT_TRUE(hiddenMask.rows.empty());
  EXPECT_EQ(hiddenMask.editMode, EditMode::none);
}

TEST(FieldTables, SideEffectsOfSelection) {
  const auto icoFile = iconDocument("app.ico");
  const model::Document& ico = *icoFile;
  const Listing entry = listAt(ico, "header/icon_dir_1");
  EXPECT_EQ(entry.pictureToSelect, 0);
  EXPECT_EQ(entry.buttons.zoomIn, true);
  EXPECT_EQ(entry.buttons.zoomOut, false);
  EXPECT_EQ(entry.buttons.apply, false);

  // One picture: it cannot be removed.
  EXPECT_EQ(listAt(ico, "picture_1").buttons.removeChunk, false);
  const Listing pixels = listAt(ico, "picture_1/color_bitmap");
  EXPECT_EQ(pixels.outcome, Outcome::listed);
  EXPECT_EQ(pixels.editMode, EditMode::pixels4);
  EXPECT_TRUE(pixels.resetsPlayerStep);

  const auto ani = aniDocument();
  EXPECT_EQ(listAt(*ani, "RIFF_ACON/sequence").buttons.add, true);
  EXPECT_EQ(listAt(*ani, "RIFF_ACON/List_images/picture_2/bitm_info").pictureToSelect, 1);

  // An INFO item: its text in EditInfo, ready to apply; the table keeps its columns.
  const Listing info = listAt(*ani, "RIFF_ACON/List_info/name");
  EXPECT_TRUE(info.keepsColumns);
  EXPECT_EQ(info.editMode, EditMode::headerOrInfoItem);
  EXPECT_EQ(info.boxes, (std::vector<ShownBox>{{EditBox::editInfo, "Walk", {}, "Walk"}}));
  EXPECT_EQ(info.buttons.apply, true);
  EXPECT_EQ(info.buttons.removeChunk, true);

  // A chunk kept as it was read can be removed; bytes kept after the images cannot.
  EXPECT_EQ(listAt(*waveDocument({}), "RIFF_WAVE/chunk_bext").buttons.removeChunk, true);
  EXPECT_EQ(listAt(*iconDocument("app.ico", ByteVector(3, 9)), "trailing_data").buttons.removeChunk, false);
}

}  // namespace
}  // namespace delvix::fieldview
