#include <gtest/gtest.h>

#include "edit/add_chunks.h"
#include "edit/remove_chunk.h"
#include "formats/ani_reader.h"
#include "formats/ani_writer.h"
#include "formats/wav_reader.h"
#include "support/read_helpers.h"
#include "support/riff_builder.h"

namespace delvix::edit {
namespace {

using testing::ByteVector;
using testing::chunk;
using testing::list;
using testing::u32s;

ByteVector frames(int count) {
  testing::DibImage image;
  image.width = image.height = 16;
  image.bitCount = 4;
  ByteVector body{'f', 'r', 'a', 'm'};
  for (int i = 0; i < count; ++i) {
    const ByteVector icon = testing::iconChunk(image);
    body.insert(body.end(), icon.begin(), icon.end());
  }
  return chunk("LIST", body);
}

std::unique_ptr<model::Document> animation(const ByteVector& bytes) {
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  EXPECT_TRUE(formats::readAnimatedCursor(bytes, *document, {}, reporter));
  return document;
}

TEST(RemoveFrame, StepsThatShowedTheFrameGoWithTheirRates) {
  const struct {
    const char* what;
    ByteVector file;
    const char* frame;
    std::vector<std::uint32_t> sequence, rates;
    const char* selected;
  } cases[] = {
      {"steps and their rates go, later frames move down",
       testing::riff("ACON", {testing::aniHeader({.frames = 3, .steps = 4, .attributes = 3}),
                              chunk("rate", u32s({1, 2, 3, 4})), chunk("seq ", u32s({2, 1, 0, 1})), frames(3)}),
       "picture_2",
       {1, 0},
       {1, 3},
       "picture_2"},
      {"no step left: the frames in order at the display rate",
       testing::riff("ACON", {testing::aniHeader({.frames = 2, .steps = 2, .displayRate = 9, .attributes = 3}),
                              chunk("rate", u32s({4, 5})), chunk("seq ", u32s({1, 1})), frames(2)}),
       "picture_2",
       {0},
       {9},
       "picture_1"},
      {"rates per frame lose the frame's entry",
       testing::riff("ACON",
                     {testing::aniHeader({.frames = 3, .steps = 3}), chunk("rate", u32s({4, 5, 6})), frames(3)}),
       "picture_1",
       {0, 1},
       {5, 6},
       "picture_1"},
  };
  for (const auto& c : cases) {
    const auto documentOwned = animation(c.file);
    model::Document& document = *documentOwned;
    const Removal removal =
        removeChunk(document, *testing::nodeAt(document.tree, std::string("RIFF_ACON/List_images/") + c.frame));
    ASSERT_TRUE(removal.removed) << c.what;
    EXPECT_EQ(document.ani.sequence, c.sequence) << c.what;
    EXPECT_EQ(document.ani.rates, c.rates) << c.what;
    EXPECT_EQ(document.ani.header.steps, c.sequence.size()) << c.what;
    ASSERT_TRUE(removal.select) << c.what;
    EXPECT_EQ(removal.select->name(), c.selected) << c.what;
    EXPECT_EQ(document.pictures.size(), static_cast<std::size_t>(document.imageCount)) << c.what;
  }
  // The last picture stays.
  const auto oneOwned = animation(testing::riff("ACON", {testing::aniHeader({}), frames(1)}));
  model::Document& one = *oneOwned;
  EXPECT_FALSE(removeChunk(one, *testing::nodeAt(one.tree, "RIFF_ACON/List_images/picture_1")).removed);
}

// Of chunks kept under one name, the one removed is the one left out: the others keep their places in the file.
TEST(RemoveChunk, KeptChunksOfOneNameKeepTheirPlaces) {
  const auto documentOwned = animation(testing::riff(
      "ACON", {testing::aniHeader({}), chunk("JUNK", {1}), chunk("ABCD", {2}), chunk("JUNK", {3}), frames(1)}));
  model::Document& document = *documentOwned;
  ASSERT_TRUE(removeChunk(document, *testing::nodeAt(document.tree, "RIFF_ACON/chunk_JUNK")).removed);
  const auto savedOwned = animation(formats::writeAniFile(document).joined());
  EXPECT_EQ(testing::childNames(*testing::nodeAt(savedOwned->tree, "RIFF_ACON")),
            testing::childNames(*testing::nodeAt(document.tree, "RIFF_ACON")));
}

TEST(AddChunks, TablesFollowTheSequenceAndInfoGoesWhereWritersLook) {
  // Rates added to a file with a sequence hold one entry a step; a sequence added later makes per-frame
  // rates per step.
  const auto withSequenceOwned =
      animation(testing::riff("ACON", {testing::aniHeader({.frames = 2, .steps = 3, .displayRate = 6, .attributes = 3}),
                                       chunk("seq ", u32s({0, 1, 0})), frames(2)}));
  model::Document& withSequence = *withSequenceOwned;
  EXPECT_TRUE(addChunks(withSequence, {.rate = true}).changed);
  EXPECT_EQ(withSequence.ani.rates, (std::vector<std::uint32_t>{6, 6, 6}));
  const auto perFrameOwned = animation(
      testing::riff("ACON", {testing::aniHeader({.frames = 2, .steps = 2}), chunk("rate", u32s({4, 5})), frames(2)}));
  model::Document& perFrame = *perFrameOwned;
  EXPECT_TRUE(addChunks(perFrame, {.sequence = true}).changed);
  EXPECT_EQ(perFrame.ani.rates, (std::vector<std::uint32_t>{4, 5}));
  EXPECT_NE(perFrame.ani.header.attributes & model::aniSequenceFlag, 0u);
  EXPECT_EQ(testing::childNames(*testing::nodeAt(perFrame.tree, "RIFF_ACON")),
            (std::vector<std::string>{"ani_header", "time", "sequence", "List_images"}));
  // An animated cursor's new INFO list is written after "anih" but shown first, as the file reads again.
  EXPECT_TRUE(addChunks(perFrame, {.info = {{"INAM", "Walk"}}}).changed);
  const auto savedOwned = animation(formats::writeAniFile(perFrame).joined());
  EXPECT_EQ(testing::childNames(*testing::nodeAt(perFrame.tree, "RIFF_ACON")),
            testing::childNames(*testing::nodeAt(savedOwned->tree, "RIFF_ACON")));

  // A wave file's new INFO list follows "data", before chunks kept as they are; items keep table order.
  model::Document wave;
  formats::RecordingReporter reporter;
  ASSERT_TRUE(formats::readWaveFile(testing::riff("WAVE", {testing::waveFormat({}), chunk("data", ByteVector(10, 0x80)),
                                                           chunk("junk", ByteVector(4, 0))}),
                                    wave, reporter));
  const Addition added = addChunks(wave, {.info = {{"ISFT", "me"}, {"IART", "Zoë"}}, .fact = true});
  EXPECT_TRUE(added.changed);
  EXPECT_EQ(testing::childNames(*testing::nodeAt(wave.tree, "RIFF_WAVE")),
            (std::vector<std::string>{"fmt", "fact", "data", "List_info", "chunk_junk"}));
  EXPECT_EQ(testing::childNames(*testing::nodeAt(wave.tree, "RIFF_WAVE/List_info")),
            (std::vector<std::string>{"artist", "software"}));
  EXPECT_EQ(wave.wave.factValue, 10u);
  const ChunkOffer offer = chunkOffer(wave);
  EXPECT_FALSE(offer.fact.enabled);
  EXPECT_TRUE(offer.fact.checked);
  EXPECT_TRUE(offer.info[1].present);
  EXPECT_EQ(offer.info[1].text, "Zoë");

  // A block align of 0 tells no frame count: no fact is offered or added.
  model::WaveState unknown;
  unknown.format.formatTag = 1;
  unknown.format.channels = 0;
  EXPECT_FALSE(factValueOf(unknown));
}

}  // namespace
}  // namespace delvix::edit
