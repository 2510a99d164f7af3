#include <gtest/gtest.h>
#include <sys/mman.h>

#include <filesystem>

#include "formats/ani_reader.h"
#include "formats/ani_writer.h"
#include "formats/le_bytes.h"
#include "formats/riff/riff_nodes.h"
#include "formats/riff/riff_writer.h"
#include "formats/wav_reader.h"
#include "formats/wav_writer.h"
#include "preview/thumbnail.h"
#include "support/file_bytes.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

using namespace delvix::testing;
using Bytes = std::vector<std::uint8_t>;

struct Read {
  model::Document document;
  RecordingReporter reporter;
  bool ok;
  Read(const Bytes& bytes, bool ani) {
    ok = ani ? readAnimatedCursor(bytes, document, {}, reporter) : readWaveFile(bytes, document, reporter);
  }
};

DibImage frameImage(std::uint8_t shade) {
  DibImage image{.width = 8, .height = 8, .bitCount = 4, .palette = {0, 0x808080}};
  image.colourRows.assign(32, shade);
  return image;
}

// Chunks in the order the writer uses, each frame a one-image icon at offset 22.
Bytes canonicalAni() {
  return testing::riff("ACON", {list("INFO", {chunk("IART", text("someone")), chunk("INAM", text("Busy"))}),
                                aniHeader({.frames = 2, .steps = 3, .attributes = 3}),
                                chunk("rate", u32s({10, 70000, 5})), chunk("seq ", u32s({0, 1, 0})),
                                list("fram", {iconChunk(frameImage(0x11)), iconChunk(frameImage(0x22))})});
}

TEST(AniWriter, ACanonicalFileComesBackByteForByte) {
  Bytes original = canonicalAni();
  Read read(original, true);
  ASSERT_TRUE(read.ok);
  WrittenFile written = writeAniFile(read.document);
  EXPECT_TRUE(written.complete);
  EXPECT_EQ(written.bytes, original);
}

TEST(AniWriter, EveryImageOfAFrameIsWrittenBack) {
  IconFile threeSizes;
  threeSizes.type = 2;
  for (std::uint8_t shade : {0x11, 0x22, 0x33}) threeSizes.entries.push_back({frameImage(shade).bytes()});
  Bytes original = testing::riff("ACON", {aniHeader({.frames = 1}), list("fram", {iconChunk(threeSizes)})});
  Read read(original, true);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(writeAniFile(read.document).bytes, original);
}

TEST(AniWriter, ChunksComeOutInTheirOrderWithRightSizesAndNothingDropped) {
  Bytes original = testing::riff(
      "ACON", {chunk("JUNK", Bytes(5, 7)), list("fram", {iconChunk(frameImage(0x33))}), aniHeader({.frames = 1}),
               list("INFO", {chunk("INAM", text("n")), chunk("IXYZ", text("odd")), chunk("IART", text("a"))})});
  Read read(original, true);
  ASSERT_TRUE(read.ok);
  Bytes written = writeAniFile(read.document).bytes;
  EXPECT_EQ(le32(written, 4), written.size() - 8);
  EXPECT_EQ(written, original);
  Read again(written, true);
  ASSERT_TRUE(again.ok);
  EXPECT_NE(again.document.tree.findFirst("chunk_JUNK"), nullptr);
  EXPECT_NE(again.document.tree.findFirst("chunk_IXYZ"), nullptr);
  EXPECT_EQ(again.document.pictures.size(), 1u);
  EXPECT_EQ(preview::makeThumbnail(again.document, 0).pixels(), preview::makeThumbnail(read.document, 0).pixels());
}

TEST(AniWriter, ChunksTheFileDidNotHaveGoWhereTheyUsuallyStand) {
  Bytes original = testing::riff("ACON", {chunk("JUNK", Bytes(2, 7)), aniHeader({.frames = 1, .steps = 2}),
                                          chunk("rate", u32s({1, 2})), list("fram", {iconChunk(frameImage(1))})});
  Read read(original, true);
  ASSERT_TRUE(read.ok);
  model::Node& root = *read.document.tree.findFirst("RIFF_ACON");
  model::Node& info = root.addChild("List_info");
  info.addChild("name", Bytes{2, 0, 0, 0, 'n', 0});
  info.addChild("artist", Bytes{2, 0, 0, 0, 'a', 0});
  root.addChild("chunk_ABCD", Bytes{0, 0, 0, 0});
  read.document.ani.rates.push_back(3);
  Bytes written = writeAniFile(read.document).bytes;
  // Without a sequence a step is a frame: one rate for the one frame, the header saying so.
  Bytes expected =
      testing::riff("ACON", {chunk("JUNK", Bytes(2, 7)), aniHeader({.frames = 1, .steps = 1}),
                             list("INFO", {chunk("IART", text("a")), chunk("INAM", text("n"))}),
                             chunk("rate", u32s({1})), list("fram", {iconChunk(frameImage(1))}), chunk("ABCD", {})});
  EXPECT_EQ(written, expected);
}

TEST(AniWriter, LongHeaderAndTablesKeepTheirExtraBytes) {
  Bytes header = aniHeader({.frames = 1, .steps = 1});
  Bytes longHeader(header.begin() + 8, header.end());
  longHeader.insert(longHeader.end(), {1, 2, 3, 4});
  Bytes original = testing::riff("ACON", {chunk("anih", longHeader), chunk("rate", u32s({9, 99})),
                                          chunk("seq ", u32s({0, 5, 6})), list("fram", {iconChunk(frameImage(1))})});
  Read read(original, true);
  ASSERT_TRUE(read.ok);
  // The header counts the three steps of the sequence and flags it; the step without a rate gets the display
  // rate.
  Bytes agreeing = aniHeader({.frames = 1, .steps = 3, .attributes = 3});
  Bytes agreeingHeader(agreeing.begin() + 8, agreeing.end());
  agreeingHeader.insert(agreeingHeader.end(), {1, 2, 3, 4});
  EXPECT_EQ(writeAniFile(read.document).bytes,
            testing::riff("ACON", {chunk("anih", agreeingHeader), chunk("rate", u32s({9, 99, 10})),
                                   chunk("seq ", u32s({0, 5, 6})), list("fram", {iconChunk(frameImage(1))})}));
}

TEST(AniWriter, WithoutTablesNoEmptyChunksAreWritten) {
  Bytes original =
      testing::riff("ACON", {aniHeader({.frames = 1, .displayRate = 7}), list("fram", {iconChunk(frameImage(1))})});
  Read read(original, true);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(writeAniFile(read.document).bytes, original);
}

Bytes canonicalWave() {
  return testing::riff(
      "WAVE", {waveFormat({.channels = 2, .bitsPerSample = 16}), chunk("data", Bytes(4000, 3)),
               list("INFO", {chunk("IART", text("odd")), chunk("ISFT", text("tool"))}), chunk("bext", Bytes(9, 1))});
}

TEST(WaveWriter, ACanonicalFileComesBackByteForByte) {
  Bytes original = canonicalWave();
  Read read(original, false);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(writeWaveFile(read.document).bytes, original);
}

TEST(WaveWriter, ListBeforeDataComesAfterItAndOddDataIsPadded) {
  Bytes original =
      testing::riff("WAVE", {waveFormat({}), list("INFO", {chunk("INAM", text("x")), chunk("IART", text("y"))}),
                             chunk("fact", u32s({9})), chunk("data", Bytes(9, 5))});
  Read read(original, false);
  ASSERT_TRUE(read.ok);
  Bytes written = writeWaveFile(read.document).bytes;
  EXPECT_EQ(le32(written, 4), written.size() - 8);
  std::string text(written.begin(), written.end());
  EXPECT_LT(text.find("fact"), text.find("data"));
  EXPECT_LT(text.find("data"), text.find("LIST"));
  EXPECT_LT(text.find("IART"), text.find("INAM"));
  EXPECT_EQ(written.size() % 2, 0u);
  Read again(written, false);
  EXPECT_EQ(again.document.wave.samples, read.document.wave.samples);
  EXPECT_EQ(again.document.wave.factValue, 9u);
}

TEST(WaveWriter, ALongFormatKeepsItsBytes) {
  Bytes extra = {22, 0};
  extra.resize(24, 0xAB);
  Bytes original =
      testing::riff("WAVE", {waveFormat({.formatTag = 0xFFFE, .extra = extra}), chunk("data", Bytes(8, 1))});
  Read read(original, false);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(writeWaveFile(read.document).bytes, original);
}

TEST(WaveWriter, SavingWritesTheSameFileWithTheSamplesStreamed) {
  Bytes original = canonicalWave();
  Read read(original, false);
  ASSERT_TRUE(read.ok);
  testing::TempDir dir;
  auto target = dir.write("old.wav", Bytes(10, 1));
  RecordingReporter reporter;
  EXPECT_EQ(waveFileSize(read.document), original.size());
  ASSERT_TRUE(saveWaveFile(read.document, target, reporter));
  EXPECT_EQ(*testing::readFileBytes(target), original);
}

// Address space of `size` bytes that reads as zeros and takes memory only where it is written.
struct SparseBytes {
  std::span<std::uint8_t> writable;
  model::SharedBytes shared;
};
std::optional<SparseBytes> sparseBytes(std::size_t size) {
  void* start = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (start == MAP_FAILED) return std::nullopt;
  std::shared_ptr<void> owner(start, [size](void* p) { ::munmap(p, size); });
  std::span<std::uint8_t> bytes(static_cast<std::uint8_t*>(start), size);
  return SparseBytes{bytes, model::SharedBytes(owner, bytes)};
}

TEST(WaveWriter, SamplesBeyondWhatRiffSizesHoldAreReadWholeButNotSaved) {
  constexpr std::uint64_t fileSize = std::uint64_t{5} << 30;
  auto file = sparseBytes(fileSize);
  if (!file) GTEST_SKIP() << "no address space for a 5 GiB view";
  // An RF64 file: ds64 (riff size, data size, sample count, table length), fmt, then data to the end.
  Bytes header = testing::riff("WAVE", {chunk("ds64", Bytes(28, 0)), waveFormat({.channels = 2, .bitsPerSample = 16}),
                                        chunk("data", {}, {.declaredSize = 0xFFFFFFFF})});
  const std::uint64_t dataSize = fileSize - header.size();
  std::copy_n("RF64", 4, header.begin());
  setLe32(header, 4, 0xFFFFFFFF);
  for (auto [offset, value] : {std::pair<std::size_t, std::uint64_t>{20, fileSize - 8}, {28, dataSize}}) {
    setLe32(header, offset, static_cast<std::uint32_t>(value));
    setLe32(header, offset + 4, static_cast<std::uint32_t>(value >> 32));
  }
  std::copy(header.begin(), header.end(), file->writable.begin());

  model::Document document;
  RecordingReporter reporter;
  ASSERT_TRUE(readWaveFile(file->shared, document, reporter));
  EXPECT_EQ(document.wave.dataSize, dataSize);
  EXPECT_EQ(document.wave.samples.size(), dataSize);
  EXPECT_EQ(document.statusText, " RIFF size: " + std::to_string(fileSize - 8) + " bytes");
  EXPECT_EQ(waveFileSize(document), 12 + 24 + 8 + dataSize);

  testing::TempDir dir;
  auto target = dir.write("old.wav", Bytes(10, 1));
  EXPECT_FALSE(saveWaveFile(document, target, reporter));
  EXPECT_TRUE(reporter.showed("The wave file would be " + std::to_string(12 + 24 + 8 + dataSize) +
                              " bytes long, more than a RIFF file can describe (4 GiB); " + target.string() +
                              " was not written."));
  EXPECT_EQ(*testing::readFileBytes(target), Bytes(10, 1));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SingleChannelWriter, FactCountsTheChannelsSampleFrames) {
  const Read stereo(testing::riff("WAVE", {waveFormat({.channels = 2, .samplesPerSecond = 22050, .bitsPerSample = 16}),
                                           chunk("data", Bytes(4000, 4))}),
                    false);
  Bytes written = writeSingleChannel(stereo.document.wave, 0).bytes;
  ASSERT_EQ(written.size(), 58u + 2000);
  EXPECT_EQ(le32(written, 4), 2050u);
  EXPECT_EQ(le16(written, 22), 1u);      // channels
  EXPECT_EQ(le32(written, 28), 44100u);  // bytes per second
  EXPECT_EQ(le16(written, 32), 2u);      // block align
  EXPECT_EQ(le32(written, 46), 1000u);   // sample frames, not bytes
  EXPECT_EQ(le32(written, 54), 2000u);
}

TEST(KeptChunkNames, GiveBackTheirCodes) {
  using riff::fourccFromString;
  EXPECT_EQ(riff::keptChunkId("chunk_bext"), fourccFromString("bext"));
  EXPECT_EQ(riff::keptChunkId("chunk_cue"), fourccFromString("cue "));
  EXPECT_EQ(riff::keptChunkId("chunk_LIST_adtl"), fourccFromString("LIST"));
  EXPECT_EQ(riff::keptChunkId("chunk_ab_"), fourccFromString("ab_ "));
  EXPECT_EQ(riff::keptChunkId("chunk_\\x01abc"), riff::fourcc('\x01', 'a', 'b', 'c'));
  EXPECT_FALSE(riff::keptChunkId("chunk_"));
  const riff::FourCC spaces = fourccFromString("    ");
  EXPECT_EQ(riff::keptChunkId(riff::keptChunkName({.id = spaces})), spaces);
  EXPECT_FALSE(riff::keptChunkId("data"));
}

}  // namespace
}  // namespace delvix::formats
