#include "fieldview/apply.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fieldview/info_text.h"
#include "formats/ani_reader.h"
#include "formats/ani_writer.h"
#include "formats/ico_reader.h"
#include "formats/le_bytes.h"
#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "support/corpus.h"
#include "support/pe_builder.h"
#include "support/riff_builder.h"

namespace delvix::fieldview {
namespace {

using testing::ByteVector;
using testing::chunk;
using testing::DibImage;
using testing::riff;
using testing::u32s;
using Kind = ApplyResult::Kind;

constexpr model::ShowSettings allShown{model::state::valuesShown, model::state::valuesShown, model::state::valuesShown};

std::unique_ptr<model::Document> read(const ByteVector& bytes, const std::string& path) {
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  bool ok = false;
  if (path.ends_with(".ani"))
    ok = formats::readAnimatedCursor(bytes, *document, allShown, reporter);
  else if (path.ends_with(".wav"))
    ok = formats::readWaveFile(bytes, *document, reporter);
  else if (path.ends_with(".dll"))
    ok = formats::readModule(bytes, *document, allShown, {}, reporter);
  else
    ok = formats::readIconFile(bytes, *document, allShown, reporter);
  EXPECT_TRUE(ok) << path;
  document->path = path;
  return document;
}

// A 2 x 2 four-bit icon: its colour table has 16 entries.
std::unique_ptr<model::Document> iconDocument() {
  testing::IconFile file;
  file.entries.push_back({.record = DibImage{.width = 2, .height = 2, .bitCount = 4}.bytes()});
  return read(file.bytes(), "app.ico");
}

// A cursor group of a module: its entries keep the size in two u16 fields, its picture has a hot spot.
std::unique_ptr<model::Document> moduleDocument() {
  testing::PeBuilder builder;
  builder.add(formats::pe::rtCursor, std::uint32_t{7},
              testing::cursorResource(5, 9, DibImage{.width = 2, .height = 2, .bitCount = 32}.bytes()));
  builder.add(formats::pe::rtGroupCursor, std::uint32_t{300}, testing::groupResource(2, {{2, 4, 1, 32, 68, 7}}));
  return read(builder.build().bytes, "lib.dll");
}

ByteVector frameList(std::size_t frames) {
  return testing::frameList(frames, DibImage{.width = 2, .height = 2, .bitCount = 32});
}

// Five frames, three steps (frames 1, 2, 3), a rate a step, a name in UTF-8 and a comment in Windows-1252.
std::unique_ptr<model::Document> aniDocument() {
  const ByteVector info =
      testing::list("INFO", {chunk("INAM", testing::text("Walk")), chunk("ICMT", testing::text("Caf\xE9"))});
  return read(riff("ACON", {testing::aniHeader({.frames = 5, .steps = 3, .displayRate = 4, .attributes = 3}), info,
                            chunk("rate", u32s({5, 6, 7})), chunk("seq ", u32s({0, 1, 2})), frameList(5)}),
              "walk.ani");
}

std::unique_ptr<model::Document> waveDocument() {
  const ByteVector info =
      testing::list("INFO", {chunk("INAM", testing::text("Tone")), chunk("ICMT", testing::text("Caf\xE9"))});
  return read(
      riff("WAVE", {testing::waveFormat({}), chunk("fact", u32s({80})), chunk("data", ByteVector(80, 0x80)), info}),
      "tone.wav");
}

// The node at a path of names from the top ("picture_1/bitm_info"), to be edited.
model::Node& nodeAt(model::Document& document, const std::string& path) {
  model::Node* node = nullptr;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string name = path.substr(start, end - start);
    if (node) {
      node = node->findChild(name);
    } else {
      for (std::size_t i = 0; i < document.tree.topLevelCount() && !node; ++i)
        if (document.tree.topLevel(i).name() == name) node = &document.tree.topLevel(i);
    }
    if (!node) throw std::runtime_error("no node " + path);
    start = end + 1;
  }
  return *node;
}

ApplyResult apply(model::Document& document, const std::string& path, EditMode mode, std::size_t row,
                  const std::string& text, EditBox box = EditBox::edit1) {
  return applyRow(document, nodeAt(document, path), mode, row, {{box, text}});
}

// What the animation state holds that an edit may change.
std::vector<std::uint32_t> aniState(const model::AniState& ani) {
  const model::AniHeader& h = ani.header;
  std::vector<std::uint32_t> state{h.steps,      h.width,       h.height,          h.displayRate,
                                   h.attributes, ani.stepCount, ani.rateChunkSize, ani.sequenceChunkSize,
                                   ani.riffSize};
  state.insert(state.end(), ani.rates.begin(), ani.rates.end());
  state.push_back(0xFFFFFFFF);
  state.insert(state.end(), ani.sequence.begin(), ani.sequence.end());
  return state;
}

TEST(Apply, BlockFieldsTakeNumbersInTheirRange) {
  const auto ico = iconDocument();
  const auto ani = aniDocument();
  const auto module = moduleDocument();
  struct Case {
    model::Document& document;
    std::string path;
    EditMode mode;
    std::size_t row;
    std::string text;
    std::size_t offset = 0;
    int width = 0;  // bytes of the field; negative for a signed one
    std::optional<std::int64_t> stored{};
    std::string message{};
  };
  const std::string entry = "header/icon_dir_1", bitmap = "picture_1/bitm_info";
  const std::string frame = "RIFF_ACON/List_images/picture_2/image_info";
  const std::string group = "300!num! [Cursor_1]/header/icon_dir_1", hotSpot = "300!num! [Cursor_1]/picture_1/hot_pot";
  const EditMode dir = EditMode::directoryEntry, bmp = EditMode::bitmapHeader;
  const Case cases[] = {
      {*ico, entry, dir, 3, "7", 3, 1, 7},
      {*ico, entry, dir, 4, " 2 ", 4, 2, 2},
      {*ico, entry, dir, 5, "65535", 6, 2, 65535},
      {*ico, entry, dir, 5, "65536", 6, 2, {}, "\"65536\" is not a number from 0 to 65535."},
      {*ico, entry, dir, 4, "-1", 4, 2, {}, "\"-1\" is not a number from 0 to 65535."},
      {*ico, entry, dir, 4, "", 4, 2, {}, "\"\" is not a number from 0 to 65535."},
      {*ico, entry, dir, 6, "1", 8, 4},
      {*ico, bitmap, bmp, 7, "-100", 24, -4, -100},
      {*ico,
       bitmap,
       bmp,
       8,
       "2147483648",
       28,
       -4,
       {},
       "\"2147483648\" is not a number from -2147483648 to 2147483647."},
      {*ico, bitmap, bmp, 9, "16", 32, 4, 16},
      {*ico, bitmap, bmp, 9, "0", 32, 4, 0},
      {*ico, bitmap, bmp, 9, "3", 32, 4, {}, "ClrUsed must be 0 or 16, the entries of the colour table."},
      {*ico, bitmap, bmp, 10, "4294967295", 36, 4, 4294967295},
      {*ico,
       bitmap,
       bmp,
       10,
       "99999999999999999999999",
       36,
       4,
       {},
       "\"99999999999999999999999\" is not a number from 0 to 4294967295."},
      {*ico, bitmap, bmp, 3, "1", 12, 2},
      {*ico, bitmap, dir, 4, "1", 4, 4},  // a mode that is not the node's
      {*ani, frame, EditMode::frameHeader, 6, "1", 9, 1, 1},
      {*ani, frame, EditMode::frameHeader, 7, "300", 10, 2, 300},
      {*ani, frame, EditMode::frameHeader, 8, "0", 12, 2, 0},
      {*ani, frame, EditMode::frameHeader, 9, "0", 14, 4},
      {*module, group, dir, 2, "3", 4, 2, 3},
      {*module, group, dir, 3, "24", 6, 2, 24},
      {*module, group, dir, 4, "1", 8, 4},
      {*module, hotSpot, EditMode::hotSpot, 0, "12", 0, 2, 12},
      {*module, hotSpot, EditMode::hotSpot, 1, "13", 2, 2, 13},
      {*module, hotSpot, EditMode::hotSpot, 2, "1", 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " row " + std::to_string(c.row) + " \"" + c.text + "\"");
    const model::Node& node = nodeAt(c.document, c.path);
    const model::Block before = node.block();
    const ApplyResult result = apply(c.document, c.path, c.mode, c.row, c.text);
    EXPECT_EQ(result.message, c.message);
    if (!c.stored) {
      EXPECT_EQ(result.kind, c.message.empty() ? Kind::nothing : Kind::refused);
      EXPECT_EQ(node.block(), before);
      continue;
    }
    ASSERT_EQ(result.kind, Kind::applied);
    const model::Block& block = node.block();
    const std::int64_t stored = c.width == 1   ? std::int64_t{formats::le8(block, c.offset)}
                                : c.width == 2 ? std::int64_t{formats::le16(block, c.offset)}
                                : c.width == 4 ? std::int64_t{formats::le32(block, c.offset)}
                                               : std::int64_t{formats::les32(block, c.offset)};
    EXPECT_EQ(stored, *c.stored);
    ASSERT_EQ(result.changedRows.size(), 1u);
    EXPECT_EQ(result.changedRows[0].first, c.row);
    EXPECT_EQ(result.changedRows[0].second.value, std::to_string(*c.stored));
    EXPECT_EQ(result.changedRows[0].second.mark, Mark::editable);
  }

  // The row as listed, with the field's range; the colours used change how the picture is decoded.
  const ApplyResult colours = apply(*ico, bitmap, bmp, 9, "16");
  EXPECT_EQ(colours.changedRows[0].second, (Row{"ClrUsed", "16", {}, Mark::editable, {}, ValueRange{0, 4294967295}}));
  EXPECT_EQ(colours.redrawnPicture, 0);
  EXPECT_EQ(apply(*module, hotSpot, EditMode::hotSpot, 1, "4").changedRows[0].second.range, (ValueRange{0, 65535}));

  // A block cut short has no field to write.
  model::Node& header = nodeAt(*ico, bitmap);
  header.editBlock().resize(30);
  EXPECT_EQ(apply(*ico, bitmap, bmp, 8, "1").kind, Kind::nothing);
  EXPECT_EQ(header.block().size(), 30u);
}

TEST(Apply, AnimationTablesAndHeader) {
  using Field = std::function<std::uint32_t(const model::AniState&)>;
  const Field rate1 = [](const model::AniState& a) { return a.rates[1]; };
  const Field step0 = [](const model::AniState& a) { return a.sequence[0]; };
  struct Case {
    EditMode mode;
    std::string node;
    std::size_t row;
    std::string text;
    Field field = {};
    std::uint32_t stored = 0;
    bool delaysChanged = false;
    std::string message{};
  };
  const std::string sixMessage = "This value must be greater than 0 and less than 6!";
  const Case cases[] = {
      {EditMode::rate, "time", 1, "42", rate1, 42, true},
      {EditMode::rate, "time", 3, "1"},
      {EditMode::rate, "time", 0, "x", {}, 0, false, "\"x\" is not a number from 0 to 4294967295."},
      {EditMode::sequence, "sequence", 0, "5", step0, 4, true},
      {EditMode::sequence, "sequence", 1, "0", {}, 0, false, sixMessage},
      {EditMode::sequence, "sequence", 1, "6", {}, 0, false, sixMessage},
      {EditMode::sequence, "sequence", 1, "abc", {}, 0, false, "\"abc\" is not a number from 1 to 5."},
      {EditMode::sequence, "sequence", 3, "1"},
      {EditMode::aniHeader, "ani_header", 3, "32", [](const model::AniState& a) { return a.header.width; }, 32},
      {EditMode::aniHeader, "ani_header", 4, "33", [](const model::AniState& a) { return a.header.height; }, 33},
      {EditMode::aniHeader, "ani_header", 7, "9", [](const model::AniState& a) { return a.header.displayRate; }, 9,
       true},
      {EditMode::aniHeader, "ani_header", 8, "1", [](const model::AniState& a) { return a.header.attributes; }, 1},
      {EditMode::aniHeader, "ani_header", 2, "0", {}, 0, false, "Number of steps must be greater than 0."},
      {EditMode::aniHeader, "ani_header", 2, "65536", {}, 0, false, "Number of steps must be between 1 and 65535."},
      {EditMode::aniHeader, "ani_header", 2, "many", {}, 0, false, "\"many\" is not a number from 1 to 65535."},
      {EditMode::aniHeader, "ani_header", 0, "1"},
      {EditMode::aniHeader, "ani_header", 5, "1"},
      {EditMode::aniHeader, "ani_header", 9, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.node + " row " + std::to_string(c.row) + " \"" + c.text + "\"");
    const auto document = aniDocument();
    const std::vector<std::uint32_t> before = aniState(document->ani);
    const ApplyResult result = apply(*document, "RIFF_ACON/" + c.node, c.mode, c.row, c.text);
    EXPECT_EQ(result.message, c.message);
    if (!c.field) {
      EXPECT_EQ(result.kind, c.message.empty() ? Kind::nothing : Kind::refused);
      EXPECT_EQ(aniState(document->ani), before);
      continue;
    }
    ASSERT_EQ(result.kind, Kind::applied);
    EXPECT_EQ(c.field(document->ani), c.stored);
    EXPECT_EQ(result.delaysChanged, c.delaysChanged);
    ASSERT_EQ(result.changedRows.size(), 1u);
    EXPECT_EQ(result.changedRows[0].second.value,
              std::to_string(c.mode == EditMode::sequence ? c.stored + 1 : c.stored));
  }
}

TEST(Apply, NumberOfStepsResizesTheSequenceAndThePerStepRates) {
  const auto document = aniDocument();
  model::AniState& ani = document->ani;
  const std::uint32_t riffSize = ani.riffSize;
  ApplyResult result = apply(*document, "RIFF_ACON/ani_header", EditMode::aniHeader, 2, "7");
  ASSERT_EQ(result.kind, Kind::applied);
  EXPECT_EQ(ani.sequence, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 0, 1}));
  EXPECT_EQ(ani.rates, (std::vector<std::uint32_t>{5, 6, 7, 4, 4, 4, 4}));
  EXPECT_EQ(ani.header.steps, 7u);
  EXPECT_EQ(ani.stepCount, 7u);
  EXPECT_EQ(ani.sequenceChunkSize, 36u);
  EXPECT_EQ(ani.rateChunkSize, 36u);
  EXPECT_TRUE(result.relist);
  EXPECT_EQ(ani.riffSize, riffSize + 32);
  EXPECT_EQ(result.statusText, " RIFF size: " + std::to_string(riffSize + 32) + " bytes");
  EXPECT_EQ(document->statusText, result.statusText);
  EXPECT_EQ(result.changedRows.at(0).second.value, "7");

  result = apply(*document, "RIFF_ACON/ani_header", EditMode::aniHeader, 2, "2");
  EXPECT_EQ(ani.sequence, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(ani.rates, (std::vector<std::uint32_t>{5, 6}));
  EXPECT_EQ(ani.sequenceChunkSize, 16u);

  // Without a rate chunk every step is shown for the display rate: no table is made for it.
  const auto plain =
      read(riff("ACON", {testing::aniHeader({.frames = 2, .steps = 2, .displayRate = 4}), frameList(2)}), "plain.ani");
  result = apply(*plain, "RIFF_ACON/ani_header", EditMode::aniHeader, 7, "12");
  EXPECT_TRUE(result.delaysChanged);
  EXPECT_TRUE(plain->ani.rates.empty());
  EXPECT_EQ(plain->ani.stepDelay(1), 12u);
  // Without a sequence a step is a frame, which is what a save writes.
  result = apply(*plain, "RIFF_ACON/ani_header", EditMode::aniHeader, 2, "3");
  EXPECT_EQ(result.message,
            "Without a 'seq ' chunk there is one step a frame (2): add the chunk to set another "
            "number of steps.");
  EXPECT_EQ(plain->ani.sequence, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_TRUE(plain->ani.rates.empty());
}

TEST(Apply, AddAndRemoveStepsKeepRatesAndSequenceTogether) {
  const auto document = aniDocument();
  model::AniState& ani = document->ani;
  const model::Node& sequence = nodeAt(*document, "RIFF_ACON/sequence");
  const auto expect = [&](std::vector<std::uint32_t> steps, std::vector<std::uint32_t> rates) {
    EXPECT_EQ(ani.sequence, steps);
    EXPECT_EQ(ani.rates, rates);
    EXPECT_EQ(ani.stepCount, steps.size());
    EXPECT_EQ(ani.header.steps, steps.size());
    EXPECT_EQ(ani.sequenceChunkSize, 8 + 4 * steps.size());
    EXPECT_EQ(ani.rateChunkSize, 8 + 4 * rates.size());
  };
  ApplyResult result = addStep(*document, sequence, " ");
  EXPECT_TRUE(result.relist);
  EXPECT_EQ(result.changedRows.at(0),
            (std::pair<std::size_t, Row>{3, {"4", "1", {}, Mark::editable, {}, ValueRange{1, 5}}}));
  result = addStep(*document, sequence, " 5 ");
  expect({0, 1, 2, 0, 4}, {5, 6, 7, 4, 4});
  const std::uint32_t riffSize = ani.riffSize;
  for (const std::string text : {"6", "0", "x"}) {
    EXPECT_EQ(addStep(*document, sequence, text).kind, Kind::refused) << text;
    expect({0, 1, 2, 0, 4}, {5, 6, 7, 4, 4});
  }
  EXPECT_EQ(ani.riffSize, riffSize);

  result = removeStep(*document, sequence, 0);
  EXPECT_TRUE(result.relist);
  EXPECT_EQ(result.statusText, " RIFF size: " + std::to_string(riffSize - 8) + " bytes");
  expect({1, 2, 0, 4}, {6, 7, 4, 4});
  EXPECT_EQ(removeStep(*document, sequence, 4).kind, Kind::nothing);
  for (int i = 0; i < 3; ++i) removeStep(*document, sequence, 0);
  expect({4}, {4});
  EXPECT_EQ(removeStep(*document, sequence, 0).message, "The last step of the sequence cannot be removed.");
  expect({4}, {4});

  ani.sequence.assign(65535, 0);
  ani.rates.assign(65535, 1);
  EXPECT_EQ(addStep(*document, sequence, "").message, "Number of steps must be between 1 and 65535.");
  EXPECT_EQ(ani.sequence.size(), 65535u);
}

TEST(Apply, InfoTextsKeepTheirEncodingAndTheSizesFollow) {
  struct Case {
    std::string item;
    std::string text;
    ByteVector block;
    int riffChange;  // bytes the file grows by, pad bytes counted
  };
  const Case cases[] = {
      {"name", "Wind", {6, 0, 0, 0, 'W', 'i', 'n', 'd', 0, 0}, 0},
      {"name", "Winds", {6, 0, 0, 0, 'W', 'i', 'n', 'd', 's', 0}, 0},
      {"name", "Windy day", {10, 0, 0, 0, 'W', 'i', 'n', 'd', 'y', ' ', 'd', 'a', 'y', 0}, 4},
      {"name", "Cr\xC3\xA8me", {8, 0, 0, 0, 'C', 'r', 0xC3, 0xA8, 'm', 'e', 0, 0}, 2},
      // The comment was stored in Windows-1252: applied as shown it keeps its block, changed it stays there.
      {"comments", "Caf\xC3\xA9", {5, 0, 0, 0, 'C', 'a', 'f', 0xE9, 0}, 0},
      {"comments", "Cr\xC3\xA8me", {6, 0, 0, 0, 'C', 'r', 0xE8, 'm', 'e', 0}, 0},
      {"comments", "5 \xE2\x82\xAC", {4, 0, 0, 0, '5', ' ', 0x80, 0}, -2},
      {"comments", "\xD0\x9C\xD0\xB8\xD1\x80", {8, 0, 0, 0, 0xD0, 0x9C, 0xD0, 0xB8, 0xD1, 0x80, 0, 0}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item + " " + c.text);
    const auto document = waveDocument();
    const std::uint64_t riffSize = document->wave.riffSize;
    const std::uint32_t listSize = document->wave.infoListSize;
    const model::Node& item = nodeAt(*document, "RIFF_WAVE/List_info/" + c.item);
    const ApplyResult result =
        apply(*document, "RIFF_WAVE/List_info/" + c.item, EditMode::headerOrInfoItem, 0, c.text, EditBox::editInfo);
    ASSERT_EQ(result.kind, Kind::applied);
    EXPECT_EQ(item.block(), c.block);
    EXPECT_EQ(infoItemText(item), c.text);
    EXPECT_EQ(document->wave.riffSize, riffSize + c.riffChange);
    EXPECT_EQ(document->wave.infoListSize, listSize + c.riffChange);
    EXPECT_EQ(result.statusText, " RIFF size: " + std::to_string(riffSize + c.riffChange) + " bytes");
  }
  const auto ico = iconDocument();
  EXPECT_EQ(apply(*ico, "header", EditMode::headerOrInfoItem, 0, "x", EditBox::editInfo).kind, Kind::nothing);
}

TEST(Apply, FactValue) {
  const auto document = waveDocument();
  ApplyResult result = apply(*document, "RIFF_WAVE/fact", EditMode::fact, 0, "1234");
  ASSERT_EQ(result.kind, Kind::applied);
  EXPECT_EQ(document->wave.factValue, 1234u);
  EXPECT_EQ(result.changedRows.at(0).second,
            (Row{"The data in samples", "1234", {}, Mark::editable, {}, ValueRange{0, 4294967295}}));
  result = apply(*document, "RIFF_WAVE/fact", EditMode::fact, 0, "-5");
  EXPECT_EQ(result.message, "\"-5\" is not a number from 0 to 4294967295.");
  EXPECT_EQ(document->wave.factValue, 1234u);
}

// Edits survive a save: written by the writers and read back, the values and the stored sizes are there.
TEST(Apply, EditsReachTheSavedFile) {
  const auto ani = aniDocument();
  apply(*ani, "RIFF_ACON/time", EditMode::rate, 2, "30");
  apply(*ani, "RIFF_ACON/sequence", EditMode::sequence, 1, "5");
  apply(*ani, "RIFF_ACON/ani_header", EditMode::aniHeader, 3, "32");
  apply(*ani, "RIFF_ACON/ani_header", EditMode::aniHeader, 2, "4");
  apply(*ani, "RIFF_ACON/List_images/picture_1/image_info", EditMode::frameHeader, 7, "1");
  apply(*ani, "RIFF_ACON/List_info/name", EditMode::headerOrInfoItem, 0, "Run fast", EditBox::editInfo);
  addStep(*ani, nodeAt(*ani, "RIFF_ACON/sequence"), "2");
  const auto aniBack = read(formats::writeAniFile(*ani).bytes, "back.ani");
  EXPECT_EQ(aniBack->ani.rates, (std::vector<std::uint32_t>{5, 6, 30, 4, 4}));
  EXPECT_EQ(aniBack->ani.sequence, (std::vector<std::uint32_t>{0, 4, 2, 3, 1}));
  EXPECT_EQ(aniBack->ani.header.width, 32u);
  EXPECT_EQ(aniBack->ani.header.steps, 5u);
  EXPECT_EQ(formats::le16(nodeAt(*aniBack, "RIFF_ACON/List_images/picture_1/image_info").block(), 10), 1u);
  EXPECT_EQ(infoItemText(nodeAt(*aniBack, "RIFF_ACON/List_info/name")), "Run fast");
  EXPECT_EQ(infoItemText(nodeAt(*aniBack, "RIFF_ACON/List_info/comments")), "Caf\xC3\xA9");
  for (auto [stored, back] : {std::pair{ani->ani.riffSize, aniBack->ani.riffSize},
                              {ani->ani.infoListSize, aniBack->ani.infoListSize},
                              {ani->ani.rateChunkSize, aniBack->ani.rateChunkSize},
                              {ani->ani.sequenceChunkSize, aniBack->ani.sequenceChunkSize}})
    EXPECT_EQ(stored, back);

  const auto wave = waveDocument();
  apply(*wave, "RIFF_WAVE/fact", EditMode::fact, 0, "77");
  apply(*wave, "RIFF_WAVE/List_info/comments", EditMode::headerOrInfoItem, 0,
        "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
        "e",
        EditBox::editInfo);
  const auto waveBack = read(formats::writeWaveFile(*wave).bytes, "back.wav");
  EXPECT_EQ(waveBack->wave.factValue, 77u);
  EXPECT_EQ(infoItemText(nodeAt(*waveBack, "RIFF_WAVE/List_info/comments")),
            "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
            "e");
  EXPECT_EQ(waveBack->wave.riffSize, wave->wave.riffSize);
  EXPECT_EQ(waveBack->wave.infoListSize, wave->wave.infoListSize);
}

TEST(Apply, CorpusFilesKeepTrueSizesAfterEdits) {
  const std::pair<const char*, std::string> samples[] = {{"ani", "synthetic-seq-rate.ani"},
                                                         {"wav", "ffmpeg-list-info.wav"}};
  int found = 0;
  for (const auto& [folder, name] : samples) {
    for (const std::filesystem::path& path : testing::corpusFiles(folder)) {
      if (path.filename() != name) continue;
      ++found;
      SCOPED_TRACE(name);
      model::Document document;
      formats::RecordingReporter reporter;
      const bool wave = path.extension() == ".wav";
      ASSERT_TRUE(wave ? formats::readWaveFile(path, document, reporter)
                       : formats::readAnimatedCursor(path, document, allShown, reporter));
      document.path = path.string();
      const std::string root = wave ? "RIFF_WAVE" : "RIFF_ACON";
      EXPECT_EQ(
          apply(document, root + "/List_info/name", EditMode::headerOrInfoItem, 0, "A longer title", EditBox::editInfo)
              .kind,
          Kind::applied);
      if (!wave) {
        EXPECT_EQ(apply(document, root + "/ani_header", EditMode::aniHeader, 2, "8").kind, Kind::applied);
      }
      const ByteVector written = wave ? formats::writeWaveFile(document).bytes : formats::writeAniFile(document).bytes;
      const auto back = read(written, wave ? "back.wav" : "back.ani");
      const std::uint64_t riffSize = wave ? document.wave.riffSize : document.ani.riffSize;
      EXPECT_EQ(riffSize, written.size() - 8);
      EXPECT_EQ(wave ? back->wave.infoListSize : back->ani.infoListSize,
                wave ? document.wave.infoListSize : document.ani.infoListSize);
      EXPECT_EQ(infoItemText(nodeAt(*back, root + "/List_info/name")), "A longer title");
    }
  }
  if (found == 0) GTEST_SKIP() << "the sample corpus is not there";
}

}  // namespace
}  // namespace delvix::fieldview
