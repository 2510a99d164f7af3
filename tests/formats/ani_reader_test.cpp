#include "formats/ani_reader.h"

#include <gtest/gtest.h>

#include "formats/le_bytes.h"
#include "preview/straight_render.h"
#include "preview/thumbnail.h"
#include "support/read_helpers.h"
#include "support/riff_builder.h"

namespace delvix::formats {
namespace {

using testing::aniHeader;
using testing::AniHeaderFields;
using testing::ByteVector;
using testing::childNames;
using testing::chunk;
using testing::DibImage;
using testing::iconChunk;
using testing::list;
using testing::nodeAt;
using testing::u32s;

struct Read {
  model::Document document;
  RecordingReporter reporter;
  bool ok = false;

  explicit Read(const ByteVector& bytes) { ok = readAnimatedCursor(bytes, document, {}, reporter); }
  std::vector<std::string> names(const std::string& path) const {
    const model::Node* node = nodeAt(document.tree, path);
    return node ? childNames(*node) : std::vector<std::string>{"<no " + path + ">"};
  }
  const model::Block& block(const std::string& path) const {
    const model::Node* node = nodeAt(document.tree, path);
    if (!node) throw std::runtime_error("no node " + path);
    return node->block();
  }
};

DibImage frame(int size = 32, int bitCount = 8) {
  DibImage image;
  image.width = image.height = size;
  image.bitCount = bitCount;
  return image;
}

ByteVector frameList(int count, int size = 32, int bitCount = 8) {
  ByteVector body{'f', 'r', 'a', 'm'};
  for (int i = 0; i < count; ++i) {
    ByteVector icon = iconChunk(frame(size, bitCount));
    body.insert(body.end(), icon.begin(), icon.end());
  }
  return chunk("LIST", body);
}

TEST(AniReader, BuildsTheTreeAndTheAnimationState) {
  ByteVector file =
      testing::riff("ACON", {list("INFO", {chunk("INAM", testing::text("Spin")), chunk("IART", testing::text("Me"))}),
                             aniHeader({.frames = 2, .steps = 3, .displayRate = 6, .attributes = 3}),
                             chunk("rate", u32s({5, 65537})), chunk("seq ", u32s({1, 0, 1})), frameList(2)});
  Read r(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.names("RIFF_ACON"),
            (std::vector<std::string>{"List_info", "ani_header", "time", "sequence", "List_images"}));
  // INFO items follow the item table, whatever their order in the file.
  EXPECT_EQ(r.names("RIFF_ACON/List_info"), (std::vector<std::string>{"artist", "name"}));
  EXPECT_EQ(r.block("RIFF_ACON/List_info/name"), (ByteVector{5, 0, 0, 0, 'S', 'p', 'i', 'n', 0}));
  EXPECT_EQ(r.names("RIFF_ACON/List_images/picture_2"),
            (std::vector<std::string>{"image_info", "bitm_info", "color_table", "color_bitmap", "mask_bitmap"}));
  const model::Block& colour = r.block("RIFF_ACON/List_images/picture_1/color_bitmap");
  EXPECT_EQ(le16(colour, 0), 8);
  EXPECT_EQ(le16(colour, 2), 32);
  EXPECT_EQ(le32(colour, 4), 1024u);
  EXPECT_EQ(r.block("RIFF_ACON/List_images/picture_1/image_info").size(), 22u);

  const model::AniState& ani = r.document.ani;
  EXPECT_EQ(r.document.imageCount, 2);
  EXPECT_EQ(ani.stepCount, 3u);
  // Rates keep their full 32-bit value: 65537 stays 65537.
  EXPECT_EQ(ani.rates, (std::vector<std::uint32_t>{5, 65537}));
  EXPECT_EQ(ani.sequence, (std::vector<std::uint32_t>{1, 0, 1}));
  EXPECT_TRUE(ani.hasRate && ani.hasSequence && ani.hasFrames);
  EXPECT_EQ(ani.headerChunkSize, 44u);
  EXPECT_EQ(ani.rateChunkSize, 16u);
  EXPECT_EQ(ani.sequenceChunkSize, 20u);
  EXPECT_EQ(ani.riffSize, file.size() - 8);
  EXPECT_EQ(r.document.statusText, " RIFF size: " + std::to_string(file.size() - 8) + " bytes");
  ASSERT_EQ(ani.frameSizes.size(), 2u);
  EXPECT_EQ(ani.frameSizes[0], iconChunk(frame()).size() - 8);
  EXPECT_EQ(le32(file, ani.headerPosition - 8), le32(ByteVector{'a', 'n', 'i', 'h'}, 0));

  ASSERT_EQ(r.document.pictures.size(), 2u);
  EXPECT_EQ(preview::makeThumbnail(r.document, 0).width(), preview::thumbnailBox);
  EXPECT_EQ(r.document.pictures[0].bitCountText, "8");
}

TEST(AniReader, MissingTablesFallBackToTheHeader) {
  Read r(
      testing::riff("ACON", {aniHeader({.frames = 2, .steps = 4, .displayRate = 7, .attributes = 3}), frameList(2)}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.names("RIFF_ACON"), (std::vector<std::string>{"ani_header", "List_images"}));
  EXPECT_TRUE(r.document.ani.rates.empty());
  for (std::size_t step = 0; step < 4; ++step) EXPECT_EQ(r.document.ani.stepDelay(step), 7u);
  // The frames play in order, and no step names a frame that does not exist.
  EXPECT_EQ(r.document.ani.sequence, (std::vector<std::uint32_t>{0, 1, 0, 1}));
  EXPECT_FALSE(r.document.ani.hasRate || r.document.ani.hasSequence);
  EXPECT_EQ(r.document.ani.rateChunkSize, 0u);
  EXPECT_TRUE(
      r.reporter.logged("The header announces a 'seq ' chunk, but the file has none; the frames play in order."));
}

TEST(AniReader, ChunkOrderDoesNotMatter) {
  Read usual(testing::riff("ACON", {aniHeader({.frames = 1}), chunk("rate", u32s({3})), frameList(1)}));
  Read shuffled(testing::riff("ACON", {frameList(1), aniHeader({.frames = 1}), chunk("rate", u32s({3}))}));
  ASSERT_TRUE(usual.ok && shuffled.ok);
  EXPECT_EQ(usual.names("RIFF_ACON"), shuffled.names("RIFF_ACON"));
  EXPECT_EQ(shuffled.document.ani.rates, std::vector<std::uint32_t>{3});
}

TEST(AniReader, AShortRateTableIsFilledWithTheDefault) {
  Read r(testing::riff("ACON", {aniHeader({.frames = 3, .displayRate = 9}), chunk("rate", u32s({1})), frameList(3)}));
  // The table keeps what the chunk holds; the frames it misses show the header's rate.
  EXPECT_EQ(r.document.ani.rates, (std::vector<std::uint32_t>{1}));
  EXPECT_EQ(r.document.ani.frameDelays(3), (std::vector<std::vector<std::uint32_t>>{{1}, {9}, {9}}));
  EXPECT_TRUE(r.reporter.logged("The 'rate' chunk holds 1 entries of the 3 the header asks for."));
}

// Four frames played in six steps, each step for its own time.
ByteVector sixSteps(std::uint32_t attributes, const ByteVector& sequence, const ByteVector& rates) {
  return testing::riff("ACON", {aniHeader({.frames = 4, .steps = 6, .displayRate = 9, .attributes = attributes}), rates,
                                sequence, frameList(4)});
}

TEST(AniReader, RatesAreKeptWholeAndCountStepsWhenThereIsASequence) {
  const ByteVector rates = chunk("rate", u32s({10, 11, 12, 13, 14, 15}));
  const ByteVector sequence = chunk("seq ", u32s({0, 1, 2, 3, 2, 1}));
  struct Case {
    const char* what;
    ByteVector file;
    bool perStep;
    std::vector<std::uint32_t> delays;  // of steps 0 to 5
    std::vector<std::vector<std::uint32_t>> frameDelays;
  };
  const Case cases[] = {
      {"sequence", sixSteps(3, sequence, rates), true, {10, 11, 12, 13, 14, 15}, {{10}, {11, 15}, {12, 14}, {13}}},
      // The flag alone makes the rates per step; the frames play in order.
      {"flag only", sixSteps(3, {}, rates), true, {10, 11, 12, 13, 14, 15}, {{10, 14}, {11, 15}, {12}, {13}}},
      {"per frame", sixSteps(1, {}, rates), false, {10, 11, 12, 13, 10, 11}, {{10}, {11}, {12}, {13}}},
      // A "seq " chunk makes them per step without the flag too; a step naming no frame keeps its rate.
      {"frame 7",
       sixSteps(1, chunk("seq ", u32s({0, 7, 1, 2, 3, 0})), rates),
       true,
       {10, 11, 12, 13, 14, 15},
       {{10, 15}, {12}, {13}, {14}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Read r(c.file);
    ASSERT_TRUE(r.ok);
    const model::AniState& ani = r.document.ani;
    EXPECT_EQ(ani.rates, (std::vector<std::uint32_t>{10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(ani.rateChunkSize, 8u + 4 * 6);
    EXPECT_EQ(ani.ratesPerStep(), c.perStep);
    for (std::size_t step = 0; step < 6; ++step) EXPECT_EQ(ani.stepDelay(step), c.delays[step]) << step;
    EXPECT_EQ(ani.frameDelays(4), c.frameDelays);
  }
  // Per frame, a step naming no frame and a frame without a rate entry take the header's rate.
  Read outside(sixSteps(1, {}, chunk("rate", u32s({1}))));
  outside.document.ani.sequence = {0, 99};
  EXPECT_FALSE(outside.document.ani.frameOfStep(1));
  EXPECT_EQ(outside.document.ani.stepDelay(1), 9u);
  EXPECT_EQ(outside.document.ani.stepDelay(4), 1u);  // past the sequence the frames go in order
  EXPECT_EQ(outside.document.ani.stepDelay(5), 9u);
}

TEST(AniReader, AFrameHoldingSeveralImagesDoesNotThrowTheReadingOff) {
  testing::IconFile twoImages;
  twoImages.type = 2;
  twoImages.entries.push_back({frame(32).bytes()});
  twoImages.entries.push_back({frame(16).bytes()});
  ByteVector body{'f', 'r', 'a', 'm'};
  for (const ByteVector& icon : {iconChunk(twoImages), iconChunk(twoImages), iconChunk(frame(32))})
    body.insert(body.end(), icon.begin(), icon.end());
  Read r(testing::riff("ACON", {aniHeader({.frames = 3}), chunk("LIST", body)}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.names("RIFF_ACON/List_images"), (std::vector<std::string>{"picture_1", "picture_2", "picture_3"}));
  EXPECT_EQ(r.document.pictures.size(), 3u);
  EXPECT_TRUE(r.reporter.logged("frame 1 holds 2 images; only the first is shown, the others are kept as they are."));
  EXPECT_EQ(std::count_if(r.reporter.lines.begin(), r.reporter.lines.end(),
                          [](const std::string& line) { return line.find("images; only") != std::string::npos; }),
            1);
}

TEST(AniReader, TheFirstImageIsTakenFromItsDirectoryOffset) {
  testing::IconFile gap;
  gap.type = 2;
  gap.gapAfterDirectory = 6;
  DibImage image = frame(32, 24);
  image.colourRows.assign(96, 0xFF);
  gap.entries.push_back({image.bytes()});
  Read r(testing::riff("ACON", {aniHeader({.frames = 1}), list("fram", {iconChunk(gap)})}));
  ASSERT_TRUE(r.ok);
  const model::Block& info = r.block("RIFF_ACON/List_images/picture_1/bitm_info");
  EXPECT_EQ(le32(info, 0), 40u);
  EXPECT_EQ(le16(info, 14), 24);
  EXPECT_EQ(r.names("RIFF_ACON/List_images/picture_1"),
            (std::vector<std::string>{"image_info", "bitm_info", "color_bitmap", "mask_bitmap"}));
}

TEST(AniReader, PngFramesAreKeptWhole) {
  testing::IconFile png;
  png.type = 2;
  testing::IconEntry entry{testing::solidPng(24, 24, 0xFF0000FF)};
  entry.width = entry.height = 24;
  png.entries.push_back(entry);
  Read r(testing::riff("ACON", {aniHeader({.frames = 1}), list("fram", {iconChunk(png)})}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.names("RIFF_ACON/List_images/picture_1"), (std::vector<std::string>{"image_info", "png_data"}));
  ASSERT_EQ(r.document.pictures.size(), 1u);
  EXPECT_FALSE(r.document.pictures[0].placeholder);
  const gfx::Image drawn = preview::renderStraight(r.document, 0).image;
  EXPECT_EQ(drawn.width(), 24);
  EXPECT_EQ(gfx::withoutAlpha(drawn.at(3, 3)), 0xFF0000u);
}

TEST(AniReader, StopsAtAFrameOfAnotherSize) {
  ByteVector body{'f', 'r', 'a', 'm'};
  for (const ByteVector& icon : {iconChunk(frame(32)), iconChunk(frame(48))})
    body.insert(body.end(), icon.begin(), icon.end());
  Read r(testing::riff("ACON", {aniHeader({.frames = 2}), chunk("LIST", body)}));
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.reporter.showed("This file contains the different size of images."));
  EXPECT_TRUE(r.reporter.logged("This file contains the different size of images."));
  EXPECT_EQ(r.names("RIFF_ACON/List_images"), std::vector<std::string>{"picture_1"});
  EXPECT_EQ(r.document.pictures.size(), 1u);
}

TEST(AniReader, FramesOfSixteenBitsEndTheReadingAndTrueColourHasNoTable) {
  for (int bits : {9, 12, 15, 16}) {
    Read sixteen(testing::riff("ACON", {aniHeader({.frames = 1}), frameList(1, 32, bits)}));
    EXPECT_FALSE(sixteen.ok);
    EXPECT_EQ(sixteen.reporter.lines, std::vector<std::string>{"Don't support 16-bits format."}) << bits;
  }

  DibImage compressed = frame();
  compressed.compression = 1;
  Read rle(testing::riff("ACON", {aniHeader({.frames = 1}), list("fram", {iconChunk(compressed)})}));
  EXPECT_FALSE(rle.ok);
  EXPECT_TRUE(rle.reporter.logged("Don't support this dib format."));

  for (int bits : {24, 32}) {
    Read r(testing::riff("ACON", {aniHeader({.frames = 1}), frameList(1, 32, bits)}));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(nodeAt(r.document.tree, "RIFF_ACON/List_images/picture_1/color_table"), nullptr);
  }
}

TEST(AniReader, AShortColourTableIsShownAndTheFrameReadOn) {
  ByteVector cut = frame(32, 8).bytes();
  cut.resize(40 + 100);
  testing::IconFile shortTable;
  shortTable.type = 2;
  shortTable.entries.push_back({cut});
  Read r(testing::riff("ACON", {aniHeader({.frames = 2}), list("fram", {iconChunk(shortTable), iconChunk(frame())})}));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.reporter.dialogs, (std::vector<DialogRequest>{{"Had been read only 100 bytes", Buttons::yes}}));
  EXPECT_TRUE(r.reporter.logged("Had been read only 100 bytes."));
  EXPECT_EQ(r.names("RIFF_ACON/List_images/picture_1"),
            (std::vector<std::string>{"image_info", "bitm_info", "color_table", "color_bitmap", "mask_bitmap"}));
  const model::Block& table = r.block("RIFF_ACON/List_images/picture_1/color_table");
  EXPECT_EQ(table.size(), 4u + 1024);
  EXPECT_EQ(le32(table, 0), 1024u);
  ASSERT_EQ(r.document.pictures.size(), 2u);
  EXPECT_FALSE(r.document.pictures[0].placeholder);
  EXPECT_EQ(r.names("RIFF_ACON/List_images").size(), 2u);
}

TEST(AniReader, RefusalsAndMissingChunks) {
  Read wave(testing::riff("WAVE", {}));
  EXPECT_FALSE(wave.ok);
  EXPECT_TRUE(wave.reporter.showed("It's not 'ani' file."));
  EXPECT_TRUE(wave.document.tree.empty());

  Read noHeader(testing::riff("ACON", {list("INFO", {chunk("INAM", testing::text("x"))}), frameList(1)}));
  EXPECT_FALSE(noHeader.ok);
  EXPECT_EQ(noHeader.reporter.lines,
            (std::vector<std::string>{"This is not the 'ani_header' chunk.", "Corrupt ANI-file."}));
  EXPECT_EQ(noHeader.names("RIFF_ACON").front(), "List_info");

  // Cut short by the end of the file, not by the chunk that follows.
  Read shortHeader(testing::riff("ACON", {frameList(1), chunk("anih", u32s({36, 1}), {.declaredSize = 36})}));
  EXPECT_FALSE(shortHeader.ok);
  EXPECT_EQ(shortHeader.reporter.lines[1], "Be read only 8 bytes.");
  EXPECT_TRUE(shortHeader.reporter.logged("Corrupt ANI-file."));

  Read noFrames(testing::riff("ACON", {aniHeader({.frames = 1})}));
  EXPECT_FALSE(noFrames.ok);
  EXPECT_TRUE(noFrames.reporter.logged("There is no bitmap in this file."));
  EXPECT_EQ(noFrames.names("RIFF_ACON"), std::vector<std::string>{"ani_header"});
}

TEST(AniReader, KeepsWhatItDoesNotInterpret) {
  Read r(testing::riff("ACON", {list("INFO", {chunk("INAM", testing::text("a")), chunk("IXYZ", {1, 2}),
                                              chunk("INAM", testing::text("b"))}),
                                aniHeader({.frames = 1}), chunk("JUNK", {0, 0, 0}), frameList(1)}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.names("RIFF_ACON/List_info"), (std::vector<std::string>{"name", "chunk_IXYZ", "chunk_INAM"}));
  EXPECT_EQ(r.block("RIFF_ACON/List_info/name"), (ByteVector{2, 0, 0, 0, 'a', 0}));
  EXPECT_EQ(r.names("RIFF_ACON").back(), "chunk_JUNK");
  EXPECT_EQ(r.block("RIFF_ACON/chunk_JUNK"), (ByteVector{3, 0, 0, 0, 0, 0, 0}));
}

TEST(AniReader, AbsurdCountsAllocateNoMoreThanTheFileHolds) {
  Read r(testing::riff("ACON", {aniHeader({.frames = 0xFFFFFFFF, .steps = 0xFFFFFFFF}), frameList(1)}));
  EXPECT_TRUE(r.ok);
  EXPECT_LE(r.document.ani.rates.size(), 1000u);
  EXPECT_LE(r.document.ani.sequence.size(), 1000u);
  EXPECT_EQ(r.document.pictures.size(), 1u);
}

// Frames whose directory entries share one image, or whose rows are cut short, must not make the
// document hold many times what the file holds.
TEST(AniReader, FramesHoldNoMoreThanABudgetInProportionToTheFile) {
  constexpr std::uint16_t sharedEntries = 2000;
  ByteVector image = frame(32).bytes();
  image.resize(65536);
  ByteVector shared = {0, 0, 2, 0, sharedEntries & 0xFF, sharedEntries >> 8};
  for (std::uint16_t i = 0; i < sharedEntries; ++i) {
    ByteVector entry = {32, 32, 0, 0, 0, 0, 0, 0};
    ByteVector sizeAndOffset = u32s({65536, 6 + 16u * sharedEntries});
    shared.insert(shared.end(), entry.begin(), entry.end());
    shared.insert(shared.end(), sizeAndOffset.begin(), sizeAndOffset.end());
  }
  shared.insert(shared.end(), image.begin(), image.end());
  ByteVector sharedFile = testing::riff("ACON", {aniHeader({}), list("fram", {chunk("icon", shared)})});

  ByteVector cutShortFrames{'f', 'r', 'a', 'm'};
  ByteVector header = frame(255, 32).bytes();
  header.resize(40);
  testing::IconFile cutShort;
  cutShort.entries.push_back({header});
  for (int i = 0; i < 2000; ++i) {
    ByteVector icon = iconChunk(cutShort);
    cutShortFrames.insert(cutShortFrames.end(), icon.begin(), icon.end());
  }
  ByteVector cutShortFile = testing::riff("ACON", {aniHeader({.frames = 2000}), chunk("LIST", cutShortFrames)});

  for (const ByteVector* file : {&sharedFile, &cutShortFile}) {
    Read r(*file);
    std::uint64_t held = 0;
    r.document.tree.forEach([&](const model::Node& node, int) { held += node.block().size(); });
    EXPECT_LE(held, (std::uint64_t{1} << 24) + 16 * file->size());
    EXPECT_FALSE(r.document.pictures.empty());
  }
}

TEST(AniReader, EveryTruncationIsReadWithoutHarm) {
  ByteVector file =
      testing::riff("ACON", {list("INFO", {chunk("INAM", testing::text("Spin"))}), aniHeader({.frames = 2, .steps = 2}),
                             chunk("rate", u32s({1, 2})), chunk("seq ", u32s({0, 1})), frameList(2, 16, 4)});
  for (std::size_t length = 0; length < file.size(); ++length) {
    Read r(ByteVector(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length)));
    EXPECT_LE(r.document.pictures.size(), 2u);
  }
}

}  // namespace
}  // namespace delvix::formats
