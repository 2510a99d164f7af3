#include "history/edit_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

#include "edit/add_chunks.h"
#include "edit/add_image.h"
#include "edit/remove_chunk.h"
#include "fieldview/apply.h"
#include "fieldview/pixel_table.h"
#include "formats/ani_reader.h"
#include "formats/ani_writer.h"
#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "preview/thumbnail.h"
#include "support/icon_builder.h"
#include "support/read_helpers.h"
#include "support/riff_builder.h"
#include "wave/sample_cut.h"

namespace delvix::history {
namespace {

using fieldview::EditBox;
using fieldview::EditMode;
using testing::ByteVector;
using testing::chunk;
using testing::DibImage;
using testing::riff;
using testing::u32s;

constexpr model::ShowSettings allShown{model::state::valuesShown, model::state::valuesShown, model::state::valuesShown};

ByteVector iconFileBytes(int pictures, int size = 4) {
  testing::IconFile file;
  for (int i = 0; i < pictures; ++i) {
    DibImage image{.width = size, .height = size, .bitCount = i % 2 ? 4 : 32};
    image.colourRows =
        ByteVector(static_cast<std::size_t>(image.colourStride() * size), static_cast<std::uint8_t>(i + 1));
    file.entries.push_back({.record = image.bytes()});
  }
  return file.bytes();
}

ByteVector frameList(std::size_t frames) {
  return testing::frameList(frames, DibImage{.width = 2, .height = 2, .bitCount = 32});
}

ByteVector aniFileBytes() {
  const ByteVector info = testing::list("INFO", {chunk("INAM", testing::text("Walk"))});
  return riff("ACON", {testing::aniHeader({.frames = 3, .steps = 3, .displayRate = 4, .attributes = 3}), info,
                       chunk("rate", u32s({5, 6, 7})), chunk("seq ", u32s({0, 1, 2})), frameList(3)});
}

ByteVector waveFileBytes(std::size_t samples) {
  ByteVector data(samples);
  for (std::size_t i = 0; i < samples; ++i) data[i] = static_cast<std::uint8_t>(i % 251);
  const ByteVector info = testing::list("INFO", {chunk("INAM", testing::text("Tone"))});
  return riff("WAVE", {testing::waveFormat({}), chunk("fact", u32s({static_cast<std::uint32_t>(samples)})),
                       chunk("data", data), info});
}

struct Opened {
  ByteVector file;  // kept alive: a wave document's samples view it
  std::unique_ptr<model::Document> document = std::make_unique<model::Document>();
};

Opened open(ByteVector bytes, const std::string& path) {
  Opened opened{std::move(bytes)};
  formats::RecordingReporter reporter;
  bool read = false;
  if (path.ends_with(".ani"))
    read = formats::readAnimatedCursor(opened.file, *opened.document, allShown, reporter);
  else if (path.ends_with(".wav"))
    read = formats::readWaveFile(opened.file, *opened.document, reporter);
  else
    read = formats::readIconFile(opened.file, *opened.document, allShown, reporter);
  EXPECT_TRUE(read) << path;
  opened.document->path = path;
  opened.document->kind = path.ends_with(".ani")   ? model::FileKind::animatedCursor
                          : path.ends_with(".wav") ? model::FileKind::wave
                                                   : model::FileKind::iconFile;
  return opened;
}

ByteVector saved(const model::Document& document) {
  switch (document.kind) {
    case model::FileKind::animatedCursor: return formats::writeAniFile(document).joined();
    case model::FileKind::wave: return formats::writeWaveFile(document).joined();
    default: return formats::writeIconFile(document, formats::headerKind(document)).joined();
  }
}

// Everything of a document that an edit may change, as text: a step undone must give it back exactly.
std::string fingerprint(const model::Document& document) {
  std::ostringstream out;
  document.tree.forEach([&](const model::Node& node, int depth) {
    out << depth << ' ' << node.name() << ' ' << node.stateImage() << ':';
    for (std::uint8_t byte : node.block()) out << ' ' << int{byte};
    out << '\n';
  });
  for (std::size_t i = 0; i < document.pictures.size(); ++i) {
    const model::PictureEntry& picture = document.pictures[i];
    out << picture.sizeText << ' ' << picture.bitCountText << ' ' << picture.placeholder;
    const gfx::Image thumbnail = preview::makeThumbnail(document, static_cast<int>(i));
    for (gfx::Pixel pixel : thumbnail.pixels()) out << ' ' << pixel;
    out << '\n';
  }
  out << document.imageCount << ' ' << document.statusText << ' ' << (document.ani == model::AniState{}) << ' '
      << document.wave.dataSize << ' ' << document.wave.factValue << '\n';
  for (std::uint32_t value : document.ani.rates) out << value << ',';
  for (std::uint32_t value : document.ani.sequence) out << value << ';';
  std::vector<std::uint8_t> samples(static_cast<std::size_t>(document.wave.samples.size()));
  document.wave.samples.read(0, samples);
  for (std::uint8_t byte : samples) out << int{byte} << '.';
  return out.str();
}

model::Node& nodeAt(model::Document& document, const std::string& path) {
  model::Node* node = testing::nodeAt(document.tree, path);
  if (!node) throw std::runtime_error("no node " + path);
  return *node;
}

using Edit = std::function<bool(model::Document&)>;

Edit applied(std::string path, EditMode mode, std::size_t row, fieldview::BoxTexts texts) {
  return [=](model::Document& document) {
    return fieldview::applyRow(document, nodeAt(document, path), mode, row, texts).kind ==
           fieldview::ApplyResult::Kind::applied;
  };
}

Edit pixel(std::string path, std::size_t row, fieldview::BoxTexts texts) {
  return [=](model::Document& document) {
    return fieldview::applyPixelRow(document, nodeAt(document, path), 0, row, texts).kind ==
           fieldview::ApplyResult::Kind::applied;
  };
}

Edit removed(std::string path) {
  return [=](model::Document& document) { return edit::removeChunk(document, nodeAt(document, path)).removed; };
}

Edit imageAdded(ByteVector source) {
  return [source = std::move(source)](model::Document& document) {
    formats::RecordingReporter reporter;
    const auto icons = edit::readIconSource(source, reporter);
    return icons && edit::addImage(document, *icons, 0).added;
  };
}

Edit chunksAdded(edit::ChunkAdditions additions) {
  return [=](model::Document& document) { return edit::addChunks(document, additions).changed; };
}

// Every kind of edit, made through the history one after another: undoing each gives back the document as
// it was before it, to the last byte of every node and picture; undoing all saves the original bytes and
// redoing all saves the edited ones.
TEST(EditHistory, EveryEditUndoesAndRedoesExactly) {
  const ByteVector twoFrames = iconFileBytes(1, 2);
  const struct {
    const char* path;
    ByteVector file;
    std::vector<Edit> edits;
  } cases[] = {
      {"icons.ico",
       iconFileBytes(3),
       {applied("header/icon_dir_1", EditMode::directoryEntry, 4, {{EditBox::edit1, "7"}}),
        pixel("picture_1/color_bitmap", 5,
              {{EditBox::editR, "1"},
               {EditBox::editG, "2"},
               {EditBox::editB, "3"},
               {EditBox::editRes, "4"},
               {EditBox::editMask1, "1"}}),
        applied("picture_2/color_table", EditMode::colourTable, 3,
                {{EditBox::editR, "9"}, {EditBox::editG, "8"}, {EditBox::editB, "7"}, {EditBox::editRes, "0"}}),
        removed("picture_2"), imageAdded(iconFileBytes(1, 8)), removed("picture_1")}},
      {"walk.ani",
       aniFileBytes(),
       {applied("RIFF_ACON/time", EditMode::rate, 1, {{EditBox::edit1, "42"}}),
        applied("RIFF_ACON/ani_header", EditMode::aniHeader, 2, {{EditBox::edit1, "6"}}),
        [](model::Document& d) {
          return fieldview::addStep(d, nodeAt(d, "RIFF_ACON/sequence"), "2").kind ==
                 fieldview::ApplyResult::Kind::applied;
        },
        [](model::Document& d) {
          return fieldview::removeStep(d, nodeAt(d, "RIFF_ACON/sequence"), 0).kind ==
                 fieldview::ApplyResult::Kind::applied;
        },
        applied("RIFF_ACON/List_info/name", EditMode::headerOrInfoItem, 0, {{EditBox::editInfo, "A longer name"}}),
        chunksAdded({.info = {{"IART", "Someone"}}}), removed("RIFF_ACON/List_images/picture_2"), imageAdded(twoFrames),
        removed("RIFF_ACON/List_info")}},
      {"tone.wav",
       waveFileBytes(1000),
       {applied("RIFF_WAVE/fact", EditMode::fact, 0, {{EditBox::edit1, "77"}}),
        [](model::Document& d) { return wave::cutFrames(d, 100, 300); }, removed("RIFF_WAVE/fact"),
        chunksAdded({.info = {{"ICMT", "cut"}}, .fact = true}),
        [](model::Document& d) { return wave::cutFrames(d, 0, 9); }, removed("RIFF_WAVE/List_info/name")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    Opened opened = open(c.file, c.path);
    model::Document& document = *opened.document;
    EditHistory history;
    const ByteVector original = saved(document);
    std::vector<std::string> states{fingerprint(document)};
    for (std::size_t i = 0; i < c.edits.size(); ++i) {
      ASSERT_TRUE(history.perform(document, "edit " + std::to_string(i), [&] { return c.edits[i](document); }))
          << "edit " << i;
      states.push_back(fingerprint(document));
    }
    ASSERT_EQ(history.stepCount(), c.edits.size());
    const ByteVector edited = saved(document);
    for (std::size_t i = c.edits.size(); i-- > 0;) {
      EXPECT_EQ(history.undoName(), "edit " + std::to_string(i));
      history.undo(document);
      EXPECT_EQ(fingerprint(document), states[i]) << "undoing edit " << i;
    }
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.isClean());
    EXPECT_EQ(saved(document), original);
    for (std::size_t i = 0; i < c.edits.size(); ++i) {
      history.redo(document);
      EXPECT_EQ(fingerprint(document), states[i + 1]) << "redoing edit " << i;
    }
    EXPECT_EQ(saved(document), edited);
  }
}

TEST(EditHistory, RefusedEditsLeaveNoStep) {
  Opened opened = open(aniFileBytes(), "walk.ani");
  EditHistory history;
  int notified = 0;
  history.setListener([&] { ++notified; });
  const Edit refused = applied("RIFF_ACON/time", EditMode::rate, 1, {{EditBox::edit1, "many"}});
  EXPECT_FALSE(history.perform(*opened.document, "Apply", [&] { return refused(*opened.document); }));
  EXPECT_EQ(history.stepCount(), 0u);
  EXPECT_FALSE(history.canUndo());
  EXPECT_EQ(notified, 0);
}

TEST(EditHistory, TheCleanPointFollowsSavesUndoAndRedo) {
  Opened opened = open(aniFileBytes(), "walk.ani");
  model::Document& document = *opened.document;
  EditHistory history;
  const auto rate = [&](const char* value) {
    history.perform(document, std::string("Apply rate ") + value, [&] {
      return applied("RIFF_ACON/time", EditMode::rate, 0, {{EditBox::edit1, value}})(document);
    });
  };
  EXPECT_TRUE(history.isClean());
  rate("10");
  EXPECT_FALSE(history.isClean());
  history.markClean();
  rate("11");
  EXPECT_EQ(history.undoName(), "Apply rate 11");
  EXPECT_FALSE(history.isClean());
  history.undo(document);
  EXPECT_TRUE(history.isClean());
  EXPECT_EQ(history.redoName(), "Apply rate 11");
  history.undo(document);
  EXPECT_FALSE(history.isClean());
  // A new edit where the saved state was a redo away: the saved state cannot be reached again.
  rate("12");
  EXPECT_FALSE(history.canRedo());
  history.undo(document);
  EXPECT_FALSE(history.isClean());
  history.clear();
  EXPECT_TRUE(history.isClean());
  EXPECT_FALSE(history.canUndo());
}

// A step holds what it changed: a pixel keeps its old bytes, not the bitmap; a cut of a
// large wave keeps the samples' views, not a copy of them. Over the budget the oldest steps go.
TEST(EditHistory, StepsHoldWhatTheyChangedWithinTheBudget) {
  Opened icon = open(iconFileBytes(1, 256), "big.ico");
  EditHistory history;
  ASSERT_TRUE(history.perform(*icon.document, "Apply pixel", [&] {
    return pixel("picture_1/color_bitmap", 0,
                 {{EditBox::editR, "1"},
                  {EditBox::editG, "2"},
                  {EditBox::editB, "3"},
                  {EditBox::editRes, "4"},
                  {EditBox::editMask1, "1"}})(*icon.document);
  }));
  EXPECT_LT(history.heldBytes(), 24u * 1024) << "a 256 x 256 bitmap holds 256 KiB";

  constexpr std::size_t samples = 8u << 20;
  Opened wave = open(waveFileBytes(samples), "long.wav");
  const model::SharedBytes read = wave.document->wave.samples.pieces().front();
  EditHistory cuts;
  for (int i = 0; i < 10; ++i)
    ASSERT_TRUE(cuts.perform(*wave.document, "Delete", [&] { return wave::cutFrames(*wave.document, 1000, 1999); }));
  EXPECT_EQ(wave.document->wave.dataSize, samples - 10 * 1000);
  EXPECT_LT(cuts.heldBytes(), 64u * 1024);
  // Neither the document nor the steps own a copy: every piece views the samples as they were read.
  for (const model::SharedBytes& piece : wave.document->wave.samples.pieces())
    EXPECT_TRUE(piece.data() >= read.data() && piece.data() + piece.size() <= read.data() + read.size());
  while (cuts.canUndo()) cuts.undo(*wave.document);
  EXPECT_EQ(wave.document->wave.samples.pieces().size(), 1u);
  EXPECT_EQ(wave.document->wave.dataSize, samples);

  EditHistory small(4096);
  Opened ani = open(aniFileBytes(), "walk.ani");
  for (int i = 0; i < 200; ++i)
    small.perform(*ani.document, "Apply rate", [&] {
      return applied("RIFF_ACON/time", EditMode::rate, 0, {{EditBox::edit1, std::to_string(i + 1)}})(*ani.document);
    });
  EXPECT_LE(small.heldBytes(), 4096u);
  EXPECT_GT(small.stepCount(), 1u);
  EXPECT_LT(small.stepCount(), 200u);
  while (small.canUndo()) small.undo(*ani.document);
  EXPECT_EQ(ani.document->ani.rates.at(0), 200u - small.stepCount());
}

}  // namespace
}  // namespace delvix::history
