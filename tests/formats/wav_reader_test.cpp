#include "formats/wav_reader.h"

#include <gtest/gtest.h>

#include "formats/le_bytes.h"
#include "formats/wav_writer.h"
#include "formats/wave_byte_order.h"
#include "formats/wave_channels.h"
#include "support/read_helpers.h"
#include "support/riff_builder.h"
#include "support/sample_bytes.h"
#include "support/temp_dir.h"

namespace delvix::formats {
namespace {

using testing::ByteVector;
using testing::childNames;
using testing::chunk;
using testing::list;
using testing::nodeAt;
using testing::waveFormat;
using testing::WaveFormatFields;

struct Read {
  model::Document document;
  RecordingReporter reporter;
  bool ok = false;

  explicit Read(const ByteVector& bytes) { ok = readWaveFile(bytes, document, reporter); }
  const model::WaveState& wave() const { return document.wave; }
  std::vector<std::string> names(const std::string& path) const {
    const model::Node* node = nodeAt(document.tree, path);
    return node ? childNames(*node) : std::vector<std::string>{"<no " + path + ">"};
  }
};

ByteVector samplesOf(const model::WaveState& wave) { return testing::bytesOf(wave.samples); }

ByteVector wave(const WaveFormatFields& format, const ByteVector& data) {
  return testing::riff("WAVE", {waveFormat(format), chunk("data", data)});
}

// The extensible format's 22 bytes after cbSize: valid bits, channel mask, sub-format GUID.
ByteVector extensibleTail(std::uint16_t validBits, std::uint16_t subFormat) {
  ByteVector tail;
  testing::appendLe16(tail, 22);
  testing::appendLe16(tail, validBits);
  testing::appendLe32(tail, 4);
  testing::appendLe16(tail, subFormat);
  ByteVector guidRest{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  tail.insert(tail.end(), guidRest.begin(), guidRest.end());
  return tail;
}

TEST(WavReader, BuildsTheTreeAndTheWaveState) {
  ByteVector file =
      testing::riff("WAVE", {waveFormat({.channels = 2, .samplesPerSecond = 11025, .bitsPerSample = 16}),
                             chunk("fact", testing::u32s({2})), chunk("data", {1, 0, 2, 0, 3, 0, 4, 0}),
                             list("INFO", {chunk("ISFT", testing::text("t")), chunk("IART", testing::text("a"))})});
  Read r(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.names("RIFF_WAVE"), (std::vector<std::string>{"fmt", "fact", "data", "List_info"}));
  EXPECT_EQ(r.names("RIFF_WAVE/List_info"), (std::vector<std::string>{"artist", "software"}));
  EXPECT_EQ(nodeAt(r.document.tree, "RIFF_WAVE/data")->stateImage(), model::state::waveData);
  EXPECT_FALSE(nodeAt(r.document.tree, "RIFF_WAVE/fmt")->hasBlock());
  const model::WaveState& w = r.wave();
  EXPECT_EQ(w.format.channels, 2);
  EXPECT_EQ(w.format.blockAlign, 4);
  EXPECT_EQ(w.format.extraSize, 0);  // a 16-byte "fmt " leaves the extra size 0
  EXPECT_EQ(w.fmtSize, 16u);
  EXPECT_EQ(w.factValue, 2u);
  EXPECT_EQ(w.dataSize, 8u);
  EXPECT_EQ(samplesOf(w), (ByteVector{1, 0, 2, 0, 3, 0, 4, 0}));
  EXPECT_EQ(w.riffSize, file.size() - 8);
  EXPECT_EQ(r.document.statusText, " RIFF size: " + std::to_string(file.size() - 8) + " bytes");
  EXPECT_EQ(w.infoListSize, 4u + 2 * 10);
}

TEST(WavReader, ALongFormatFillsTheRecordAndKeepsTheRest) {
  Read r(wave({.formatTag = 0xFFFE, .channels = 1, .bitsPerSample = 16, .extra = extensibleTail(12, 1)}, {0, 0}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.wave().fmtSize, 40u);
  EXPECT_EQ(r.wave().format.extraSize, 22);
  EXPECT_EQ(r.wave().formatTail.size(), 22u);
  // The extensible format with a PCM sub-format counts as PCM, with its valid bits.
  EXPECT_TRUE(r.wave().extensiblePcm);
  EXPECT_EQ(r.wave().validBitsPerSample, 12);

  Read adpcm(wave({.formatTag = 0xFFFE, .bitsPerSample = 16, .extra = extensibleTail(16, 2)}, {0, 0}));
  EXPECT_FALSE(adpcm.wave().isPcm());
}

TEST(WavReader, DataBeforeFormatReadsTheSame) {
  Read usual(testing::riff("WAVE", {waveFormat({}), chunk("data", {1, 2})}));
  Read reversed(testing::riff("WAVE", {chunk("data", {1, 2}), waveFormat({})}));
  ASSERT_TRUE(usual.ok && reversed.ok);
  EXPECT_EQ(usual.names("RIFF_WAVE"), reversed.names("RIFF_WAVE"));
  EXPECT_EQ(usual.wave().samples, reversed.wave().samples);
}

TEST(WavReader, MissingChunksShowTheErrorCode) {
  const DialogRequest notFound{"MMIO Error. Error Code: 265", Buttons::ok, BoxKind::plain, "MMIO Error"};
  Read noData(testing::riff("WAVE", {waveFormat({})}));
  EXPECT_FALSE(noData.ok);
  EXPECT_EQ(noData.reporter.dialogs, std::vector<DialogRequest>{notFound});
  EXPECT_TRUE(noData.reporter.lines.empty());
  EXPECT_EQ(noData.names("RIFF_WAVE"), std::vector<std::string>{"fmt"});

  Read noFormat(testing::riff("WAVE", {chunk("data", {1})}));
  EXPECT_FALSE(noFormat.ok);
  EXPECT_TRUE(noFormat.names("RIFF_WAVE").empty());

  Read noRiff(ByteVector{'R', 'I', 'F', 'Y', 0, 0, 0, 0});
  EXPECT_FALSE(noRiff.ok);
  EXPECT_EQ(noRiff.reporter.dialogs, std::vector<DialogRequest>{notFound});
}

TEST(WavReader, PlayingTimeOfPcm) {
  Read cd(wave({.channels = 2, .samplesPerSecond = 44100, .bitsPerSample = 16}, ByteVector(1000000)));
  EXPECT_NEAR(cd.wave().playingTime, 5.669, 0.001);
  // 12-bit samples in 2-byte containers: whole bytes per sample, not the bit count, give the bytes per frame.
  Read twelve(wave({.channels = 4, .samplesPerSecond = 8000, .bitsPerSample = 12, .blockAlign = 8}, ByteVector(72)));
  EXPECT_NEAR(twelve.wave().playingTime, 9.0 / 8000, 1e-7);
  EXPECT_TRUE(twelve.reporter.lines.empty());

  // A block align that disagrees with 3 channels x 3 bytes is not believed, and said so once.
  Read wrongAlign(
      wave({.channels = 3, .samplesPerSecond = 8000, .bitsPerSample = 24, .blockAlign = 4}, ByteVector(45)));
  EXPECT_NEAR(wrongAlign.wave().playingTime, 5.0 / 8000, 1e-7);
  EXPECT_EQ(wrongAlign.wave().format.blockAlign, 4);  // the field stays as the file has it
  EXPECT_EQ(wrongAlign.reporter.lines, std::vector<std::string>{"The block align of 4 bytes does not fit 3 channels of "
                                                                "24 bits; a sample frame is taken as 9 bytes."});
}

TEST(WavReader, PlayingTimeOfCompressedFormatsCountsFactFrames) {
  ByteVector file = testing::riff(
      "WAVE", {waveFormat({.formatTag = 0x11, .samplesPerSecond = 11025, .bitsPerSample = 4, .blockAlign = 256}),
               chunk("fact", testing::u32s({22050})), chunk("data", ByteVector(11264))});
  EXPECT_FLOAT_EQ(Read(file).wave().playingTime, 2.0f);
}

TEST(WavReader, DegenerateFormatsCompleteWithNoPlayingTime) {
  for (const WaveFormatFields& f :
       {WaveFormatFields{.channels = 0, .blockAlign = 0}, WaveFormatFields{.bitsPerSample = 0, .blockAlign = 0},
        WaveFormatFields{.samplesPerSecond = 0}}) {
    Read r(wave(f, {1, 2, 3, 4}));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.wave().playingTime, 0.0f);
  }
}

TEST(WavReader, DataClaimingMoreThanTheFileKeepsWhatIsThere) {
  for (std::uint32_t declared : {1000u, 0xFFFFFFFFu}) {
    ByteVector file = testing::riff("WAVE", {waveFormat({}), chunk("data", {1, 2, 3, 4}, {.declaredSize = declared})});
    Read r(file);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.wave().dataSize, 4u);
    EXPECT_EQ(samplesOf(r.wave()), (ByteVector{1, 2, 3, 4}));
    EXPECT_TRUE(r.reporter.logged("The chunk 'data' at offset 36 declares " + std::to_string(declared) +
                                  " bytes; only 4 are there."));
  }
}

TEST(WavReader, AnUnclosedRecordingUsesTheBytesToTheEnd) {
  ByteVector file =
      testing::riff("WAVE", {waveFormat({}), chunk("data", {0x80, 0x81, 0x7F, 0x80}, {.declaredSize = 0})});
  Read r(file);
  EXPECT_EQ(r.wave().dataSize, 4u);
  EXPECT_TRUE(r.reporter.logged(
      "The 'data' chunk declares 0 bytes, but 4 bytes follow it; they are taken as the sample data."));

  Read empty(testing::riff("WAVE", {waveFormat({}), chunk("data", {}), chunk("JUNK", {1, 2})}));
  EXPECT_EQ(empty.wave().dataSize, 0u);
  // Written back, an empty "data" follows a kept chunk whose name is not text, so it stays empty.
  Read kept(testing::riff("WAVE",
                          {waveFormat({}), chunk(std::string_view("\x01\x02\x03\x04", 4), {5, 6}), chunk("data", {})}));
  Read again(writeWaveFile(kept.document).joined());
  EXPECT_EQ(again.wave().dataSize, 0u);
  EXPECT_EQ(again.names("RIFF_WAVE"), kept.names("RIFF_WAVE"));
}

TEST(WavReader, KeepsWhatItDoesNotInterpret) {
  Read r(testing::riff("WAVE", {waveFormat({}), chunk("bext", {1, 2, 3}), chunk("data", {9}),
                                list("adtl", {chunk("labl", {1})}), list("INFO", {chunk("IZZZ", {5})})}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.names("RIFF_WAVE"),
            (std::vector<std::string>{"fmt", "data", "List_info", "chunk_bext", "chunk_LIST_adtl"}));
  EXPECT_EQ(r.names("RIFF_WAVE/List_info"), std::vector<std::string>{"chunk_IZZZ"});
  EXPECT_EQ(nodeAt(r.document.tree, "RIFF_WAVE/chunk_bext")->block(), (ByteVector{3, 0, 0, 0, 1, 2, 3}));
}

TEST(WavReader, AWrongRiffSizeAndAMissingPadByteStillFindEveryChunk) {
  ByteVector file =
      testing::riff("WAVE", {chunk("odd ", {1, 2, 3}, {.pad = false}), waveFormat({}), chunk("data", {7})}, 4);
  Read r(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.wave().riffSize, 4u);
  EXPECT_EQ(r.wave().dataSize, 1u);
}

TEST(WavReader, EveryTruncationIsReadWithoutHarm) {
  ByteVector file =
      testing::riff("WAVE", {waveFormat({.channels = 2, .bitsPerSample = 16}), chunk("fact", {1, 0, 0, 0}),
                             chunk("data", ByteVector(16, 3)), list("INFO", {chunk("INAM", {'a', 0})})});
  for (std::size_t length = 0; length < file.size(); ++length) {
    Read r(ByteVector(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length)));
    EXPECT_LE(r.wave().samples.size(), length);
  }
}

// An RF64 file as streaming writers leave it: every 32-bit size 0xFFFFFFFF, the real ones in "ds64".
ByteVector rf64(const ByteVector& samples, std::uint64_t dataSizeInDs64) {
  ByteVector sizes;
  for (std::uint64_t value : {std::uint64_t{0}, dataSizeInDs64, std::uint64_t{samples.size()}})
    for (int shift = 0; shift < 64; shift += 8) sizes.push_back(static_cast<std::uint8_t>(value >> shift));
  ByteVector file = testing::riff(
      "WAVE", {chunk("ds64", sizes), waveFormat({}), chunk("data", samples, {.declaredSize = 0xFFFFFFFF})});
  std::copy_n("RF64", 4, file.begin());
  setLe32(file, 4, 0xFFFFFFFF);
  setLe32(file, 12 + 8, static_cast<std::uint32_t>(file.size() - 8));  // the riff size in ds64
  return file;
}

TEST(WavReader, AnRf64FileTakesItsSizesFromTheDs64Chunk) {
  Read r(rf64({1, 2, 3, 4, 5, 6}, 4));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(samplesOf(r.wave()), (ByteVector{1, 2, 3, 4}));  // the ds64 size, not the rest of the file
  EXPECT_EQ(r.wave().riffSize, 82u - 8);
  EXPECT_EQ(r.document.statusText, " RIFF size: 74 bytes");
  EXPECT_EQ(r.names("RIFF_WAVE"), (std::vector<std::string>{"fmt", "data"}));  // ds64 is not written back
  EXPECT_TRUE(
      r.reporter.logged("This is an RF64 file: its sizes are taken from its 'ds64' chunk; it is saved as a "
                        "RIFF file."));
  for (const std::string& line : r.reporter.lines) EXPECT_EQ(line.find("declares 4294967295"), std::string::npos);

  Read past(rf64({1, 2}, 1000));  // a ds64 size past the end keeps what is there
  EXPECT_EQ(samplesOf(past.wave()), (ByteVector{1, 2}));

  ByteVector withoutSizes =
      testing::riff("WAVE", {waveFormat({}), chunk("data", {7, 8}, {.declaredSize = 0xFFFFFFFF})});
  std::copy_n("RF64", 4, withoutSizes.begin());
  Read cut(withoutSizes);  // no ds64: the data runs to the end of the file
  EXPECT_EQ(samplesOf(cut.wave()), (ByteVector{7, 8}));
}

TEST(WavReader, SamplesReadFromAFileOutliveTheDocument) {
  testing::TempDir dir;
  const auto path = dir.write("stereo.wav", wave({.channels = 2, .bitsPerSample = 8}, {10, 20, 11, 21, 12, 22}));
  WaveChannels channels;
  {
    model::Document document;
    RecordingReporter reporter;
    ASSERT_TRUE(readWaveFile(path, document, reporter));
    EXPECT_EQ(samplesOf(document.wave), (ByteVector{10, 20, 11, 21, 12, 22}));
    channels = prepareChannels(document.wave);
  }
  EXPECT_EQ(channels.left.gather(), (ByteVector{10, 11, 12}));
  EXPECT_EQ(channels.right.gather(), (ByteVector{20, 21, 22}));
}

// The numbers of a big-endian file, high byte first.
void appendBe(ByteVector& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

ByteVector beChunk(std::string_view code, const ByteVector& data) {
  ByteVector out(code.begin(), code.end());
  appendBe(out, static_cast<std::uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() % 2) out.push_back(0);
  return out;
}

ByteVector beFormat(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                    const ByteVector& extra = {}) {
  ByteVector data;
  const auto align = static_cast<std::uint16_t>(channels * bits / 8);
  for (auto [value, bytes] :
       {std::pair<std::uint32_t, int>{tag, 2}, {channels, 2}, {rate, 4}, {rate * align, 4}, {align, 2}, {bits, 2}})
    appendBe(data, value, bytes);
  data.insert(data.end(), extra.begin(), extra.end());
  return beChunk("fmt ", data);
}

ByteVector rifx(std::initializer_list<ByteVector> chunks) {
  ByteVector body{'W', 'A', 'V', 'E'};
  for (const ByteVector& c : chunks) body.insert(body.end(), c.begin(), c.end());
  ByteVector file{'R', 'I', 'F', 'X'};
  appendBe(file, static_cast<std::uint32_t>(body.size()), 4);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::vector<std::pair<std::string, model::Block>> nodesOf(const model::Tree& tree) {
  std::vector<std::pair<std::string, model::Block>> nodes;
  tree.forEach([&](const model::Node& node, int) { nodes.emplace_back(node.name(), node.block()); });
  return nodes;
}

TEST(WavReader, ABigEndianFileReadsLikeItsLittleEndianTwinAndIsWrittenBackAsItWas) {
  ByteVector fact, infoList{'I', 'N', 'F', 'O'};
  appendBe(fact, 2, 4);
  const ByteVector name = beChunk("INAM", testing::text("odd"));
  infoList.insert(infoList.end(), name.begin(), name.end());
  const ByteVector big = rifx({beFormat(1, 2, 11025, 16), beChunk("fact", fact),
                               beChunk("data", {0x01, 0x02, 0x80, 0x00, 0x7F, 0xFF, 0xFF, 0xFE}),
                               beChunk("LIST", infoList), beChunk("bext", {1, 2, 3})});
  Read be(big);
  Read le(testing::riff(
      "WAVE", {waveFormat({.channels = 2, .samplesPerSecond = 11025, .bitsPerSample = 16}),
               chunk("fact", testing::u32s({2})), chunk("data", {0x02, 0x01, 0x00, 0x80, 0xFF, 0x7F, 0xFE, 0xFF}),
               list("INFO", {chunk("INAM", testing::text("odd"))}), chunk("bext", {1, 2, 3})}));
  ASSERT_TRUE(be.ok && le.ok);
  EXPECT_TRUE(be.wave().bigEndian);
  EXPECT_FALSE(le.wave().bigEndian);
  EXPECT_EQ(be.wave().format, le.wave().format);
  EXPECT_EQ(be.wave().factValue, le.wave().factValue);
  EXPECT_EQ(be.wave().riffSize, le.wave().riffSize);
  EXPECT_EQ(be.wave().infoListSize, le.wave().infoListSize);
  EXPECT_EQ(nodesOf(be.document.tree), nodesOf(le.document.tree));  // INFO and kept blocks: u32 LE size + data
  EXPECT_EQ(samplesOf(be.wave()), (ByteVector{0x01, 0x02, 0x80, 0x00, 0x7F, 0xFF, 0xFF, 0xFE}));  // as stored
  EXPECT_EQ(littleEndianSamples(be.wave()), le.wave().samples);                                   // as played

  // Shown and split into channels in the right order.
  WaveChannels beChannels = prepareChannels(be.wave()), leChannels = prepareChannels(le.wave());
  EXPECT_EQ(beChannels.left.gather(), leChannels.left.gather());
  EXPECT_EQ(beChannels.right.gather(), leChannels.right.gather());
  for (std::size_t frame = 0; frame < 2; ++frame) {
    EXPECT_EQ(ChannelPoints(beChannels.left, 100)[frame], ChannelPoints(leChannels.left, 100)[frame]);
    EXPECT_EQ(ChannelPoints(beChannels.right, 100)[frame], ChannelPoints(leChannels.right, 100)[frame]);
  }

  EXPECT_EQ(writeWaveFile(be.document).bytes, big);
}

TEST(WavReader, ABigEndianExtensibleFormatHasItsNumbersTurned) {
  ByteVector extra;
  for (auto [value, bytes] : {std::pair<std::uint32_t, int>{22, 2}, {12, 2}, {4, 4}, {1, 4}, {0, 2}, {0x10, 2}})
    appendBe(extra, value, bytes);
  extra.insert(extra.end(), {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
  const ByteVector big = rifx({beFormat(0xFFFE, 1, 8000, 16, extra), beChunk("data", {0, 0})});
  Read be(big);
  Read le(wave({.formatTag = 0xFFFE, .channels = 1, .bitsPerSample = 16, .extra = extensibleTail(12, 1)}, {0, 0}));
  ASSERT_TRUE(be.ok);
  EXPECT_TRUE(be.wave().extensiblePcm);
  EXPECT_EQ(be.wave().validBitsPerSample, 12);
  EXPECT_EQ(be.wave().formatTail, le.wave().formatTail);
  EXPECT_EQ(writeWaveFile(be.document).bytes, big);
}

}  // namespace
}  // namespace delvix::formats
