#include "sound/sample_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "formats/wav_reader.h"
#include "support/corpus.h"
#include "support/riff_builder.h"
#include "support/sample_bytes.h"
#include "support/temp_dir.h"
#include "wave/peak_summary.h"
#include "wave/view_columns.h"

namespace delvix {
namespace {

namespace fs = std::filesystem;

// What sox decodes the file to, as 32-bit floats; empty when it cannot.
std::vector<float> soxSamples(const fs::path& file) {
  const std::string command = "sox -D '" + file.string() + "' -t f32 - 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::vector<float> samples;
  float buffer[16384];
  while (pipe) {
    const std::size_t read = fread(buffer, sizeof(float), std::size(buffer), pipe.get());
    if (read == 0) break;
    samples.insert(samples.end(), buffer, buffer + read);
  }
  return samples;
}

std::unique_ptr<model::Document> readWave(const fs::path& path) {
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  if (!formats::readWaveFile(path, *document, reporter)) return nullptr;
  return document;
}

std::vector<float> readAll(wave::SampleReader& reader) {
  std::vector<float> samples(static_cast<std::size_t>(reader.frames()) * static_cast<std::size_t>(reader.channels()));
  // In uneven pieces, so that reads start and end anywhere.
  std::uint64_t frame = 0;
  for (std::size_t piece = 1; frame < reader.frames(); piece = piece * 3 % 1000 + 1) {
    const std::size_t frames = std::min<std::uint64_t>(piece, reader.frames() - frame);
    const std::size_t at = static_cast<std::size_t>(frame) * reader.channels();
    const std::size_t read = reader.read(frame, std::span(samples).subspan(at, frames * reader.channels()));
    if (read == 0) break;
    frame += read;
  }
  samples.resize(static_cast<std::size_t>(frame) * reader.channels());
  return samples;
}

// sox turns every sample into 32 bits before it writes floats: float samples beyond full scale are clipped.
float asSoxHasIt(float sample) { return std::clamp(sample, -1.0f, 1.0f); }

// The lowest and highest of each column's frames, worked out from the samples alone; a wide column takes the
// whole summary blocks it touches.
std::vector<std::optional<wave::Peak>> expectedColumns(const std::vector<float>& samples, int channels,
                                                       const wave::ViewSpan& span) {
  const std::uint64_t frames = samples.size() / channels;
  std::vector<std::optional<wave::Peak>> peaks(static_cast<std::size_t>(channels * span.width));
  for (int x = 0; x < span.width; ++x) {
    std::uint64_t first = span.first + static_cast<std::uint64_t>(std::floor(x * span.framesPerColumn));
    std::uint64_t end =
        std::max(first + 1, span.first + static_cast<std::uint64_t>(std::floor((x + 1) * span.framesPerColumn)));
    if (first >= frames) break;
    if (span.framesPerColumn >= wave::PeakSummary::fineFrames) {
      first = first / wave::PeakSummary::fineFrames * wave::PeakSummary::fineFrames;
      end = (end + wave::PeakSummary::fineFrames - 1) / wave::PeakSummary::fineFrames * wave::PeakSummary::fineFrames;
    }
    end = std::min(end, frames);
    for (int c = 0; c < channels; ++c) {
      wave::Peak peak{samples[first * channels + c], samples[first * channels + c]};
      for (std::uint64_t f = first; f < end; ++f) {
        peak.low = std::min(peak.low, samples[f * channels + c]);
        peak.high = std::max(peak.high, samples[f * channels + c]);
      }
      peaks[static_cast<std::size_t>(c * span.width + x)] = peak;
    }
  }
  return peaks;
}

// Files sox makes beside the corpus: more channels, big-endian ("RIFX") files, codecs of several channels.
std::vector<fs::path> soxMadeFiles(const testing::TempDir& folder) {
  const char* const made[] = {
      "-c 8 -b 16 eight-channels.wav",        "-c 6 -e floating-point -b 32 six-channels-float.wav",
      "-B -c 2 -b 24 big-endian-24.wav",      "-B -c 3 -e floating-point -b 64 big-endian-double.wav",
      "-B -c 2 -b 16 big-endian-16.wav",      "-c 2 -e ima-adpcm stereo-ima.wav",
      "-c 2 -e ms-adpcm stereo-ms-adpcm.wav", "-c 4 -e u-law four-channels-ulaw.wav",
  };
  std::vector<fs::path> files;
  for (const char* options : made) {
    const std::string command = "cd '" + folder.path().string() + "' && sox -n -r 8000 " + options +
                                " synth 0.3 sine 100-900 sine 440 square 60 sine 1000 vol 0.9 2>/dev/null";
    if (std::system(command.c_str()) == 0)
      files.push_back(folder.path() / std::string(options).substr(std::string(options).rfind(' ') + 1));
  }
  return files;
}

TEST(OpenSamples, DecodesEveryWaveLikeSox) {
  if (!testing::haveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  const testing::TempDir folder;
  std::vector<fs::path> files = testing::corpusFiles("wav");
  std::ranges::copy(soxMadeFiles(folder), std::back_inserter(files));
  int compared = 0;
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    const std::vector<float> expected = soxSamples(path);
    if (expected.empty()) continue;
    auto document = readWave(path);
    ASSERT_TRUE(document);
    const std::uint16_t tag = wave::encodingTagOf(document->wave);
    auto opened = sound::openSamples(*document);
    ASSERT_TRUE(opened.reader) << opened.problem;
    wave::SampleReader& reader = *opened.reader;
    ASSERT_EQ(reader.channels(), document->wave.format.channels);
    // The reader keeps its samples alive.
    document.reset();
    const std::vector<float> decoded = readAll(reader);
    ASSERT_EQ(decoded.size(), expected.size());
    // Stored samples are exact; decoders may differ by a step of 16 bits.
    const float tolerance = tag == 0x0001 || tag == 0x0003 || tag == 0x0006 || tag == 0x0007 ? 1e-7f : 2.0f / 32768;
    for (std::size_t i = 0; i < decoded.size(); ++i)
      ASSERT_NEAR(asSoxHasIt(decoded[i]), expected[i], tolerance) << "sample " << i;

    wave::PeakSummary summary(reader.channels(), reader.frames());
    EXPECT_TRUE(summary.build(reader, [](std::uint64_t) { return true; }));
    std::vector<float> clipped = decoded;
    std::ranges::transform(clipped, clipped.begin(), asSoxHasIt);
    const double frames = static_cast<double>(reader.frames());
    for (const wave::ViewSpan span : {wave::ViewSpan{0, 1, 300}, wave::ViewSpan{17, 3.5, 200},
                                      wave::ViewSpan{100, 300, 100}, wave::ViewSpan{0, frames / 97, 97}}) {
      SCOPED_TRACE(span.framesPerColumn);
      auto peaks = wave::columnPeaks(reader, &summary, span);
      for (auto& peak : peaks)
        if (peak) *peak = {asSoxHasIt(peak->low), asSoxHasIt(peak->high)};
      const auto wanted = expectedColumns(clipped, reader.channels(), span);
      ASSERT_EQ(peaks.size(), wanted.size());
      for (std::size_t i = 0; i < peaks.size(); ++i) {
        ASSERT_EQ(peaks[i].has_value(), wanted[i].has_value()) << "column " << i;
        if (!peaks[i]) continue;
        EXPECT_NEAR(peaks[i]->low, wanted[i]->low, tolerance) << "column " << i;
        EXPECT_NEAR(peaks[i]->high, wanted[i]->high, tolerance) << "column " << i;
      }
    }
    ++compared;
  }
  EXPECT_GE(compared, 8);
}

// sox does not read samples of 5 bytes: the 36-bit file holds what its 24-bit twin does, to two steps of 24 bits.
TEST(OpenSamples, WideSamplesMatchTheirNarrowerTwin) {
  const fs::path folder = fs::path(DELVIX_CORPUS_DIR) / "wav";
  auto wide = readWave(folder / "scipy-8000Hz-le-3ch-5S-36bit.wav"),
       narrow = readWave(folder / "scipy-8000Hz-le-3ch-5S-24bit.wav");
  if (!wide || !narrow) GTEST_SKIP() << "no corpus";
  auto wideSamples = sound::openSamples(*wide), narrowSamples = sound::openSamples(*narrow);
  ASSERT_TRUE(wideSamples.reader && narrowSamples.reader);
  const std::vector<float> expected = readAll(*narrowSamples.reader), decoded = readAll(*wideSamples.reader);
  ASSERT_EQ(decoded.size(), expected.size());
  for (std::size_t i = 0; i < decoded.size(); ++i) EXPECT_NEAR(decoded[i], expected[i], 2.0 / (1 << 23)) << i;
}

std::unique_ptr<model::Document> readWave(const testing::ByteVector& file) {
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter reporter;
  if (!formats::readWaveFile(file, *document, reporter)) return nullptr;
  return document;
}

// Decoders read at any place what they read in order. GSM cannot seek: it is read forward, from the frames
// it keeps, or from the start again (a long file keeps only its last frames).
TEST(OpenSamples, CodecsReadAtAnyPlace) {
  const testing::TempDir folder;
  std::vector<fs::path> files;
  for (const char* name : {"sox-gsm.wav", "sox-ima-adpcm.wav", "sox-ms-adpcm.wav"})
    files.push_back(fs::path(DELVIX_CORPUS_DIR) / "wav" / name);
  const fs::path longGsm = folder.path() / "long-gsm.wav";
  if (std::system(
          ("sox -n -r 8000 -e gsm-full-rate '" + longGsm.string() + "' synth 140 sine 200-2000 2>/dev/null").c_str()) ==
      0)
    files.push_back(longGsm);
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    auto document = readWave(path);
    if (!document) continue;
    auto opened = sound::openSamples(*document);
    ASSERT_TRUE(opened.reader) << opened.problem;
    const std::vector<float> inOrder = readAll(*opened.reader);
    ASSERT_EQ(inOrder.size(), opened.reader->frames());
    constexpr std::size_t piece = 1000;
    const std::size_t last = inOrder.size() - piece, middle = inOrder.size() / 2;
    for (const std::size_t first : {last, std::size_t{0}, middle, middle - 700, middle + 300, last, std::size_t{5}}) {
      std::vector<float> samples(piece);
      EXPECT_EQ(opened.reader->read(first, samples), piece);
      EXPECT_TRUE(std::ranges::equal(samples, std::span(inOrder).subspan(first, piece))) << "from " << first;
    }
  }
}

// libsndfile's length of an MPEG wave is an estimate: the reader still gives every frame it announces.
TEST(OpenSamples, AnEstimatedLengthIsReadToItsEnd) {
  if (!testing::haveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  const testing::TempDir folder;
  const fs::path path = folder.path() / "mpeg.wav";
  const std::string command =
      "ffmpeg -loglevel error -f lavfi -i sine=frequency=440:duration=1 -ac 2 -c:a libmp3lame -f wav '" +
      path.string() + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "ffmpeg makes no MPEG wave";
  auto document = readWave(path);
  ASSERT_TRUE(document);
  auto opened = sound::openSamples(*document);
  ASSERT_TRUE(opened.reader) << opened.problem;
  EXPECT_EQ(readAll(*opened.reader).size(), opened.reader->frames() * 2);
  wave::PeakSummary summary(2, opened.reader->frames());
  EXPECT_TRUE(summary.build(*opened.reader, [](std::uint64_t) { return true; }));
}

// A cut GSM file (two blocks of 65 bytes out) decodes from its pieces as from the same bytes in one.
TEST(OpenSamples, DecodesTheSamplesACutLeft) {
  const fs::path path = fs::path(DELVIX_CORPUS_DIR) / "wav" / "sox-gsm.wav";
  auto pieced = readWave(path), whole = readWave(path);
  if (!pieced) GTEST_SKIP() << "no corpus";
  model::WaveState& wave = pieced->wave;
  wave.samples.erase(650, 130);
  wave.dataSize = wave.samples.size();
  wave.factValue -= 640;
  ASSERT_EQ(wave.samples.pieces().size(), 2u);
  whole->wave = wave;
  whole->wave.samples = model::SharedBytes::copyOf(testing::bytesOf(wave.samples));
  auto fromPieces = sound::openSamples(*pieced), fromWhole = sound::openSamples(*whole);
  ASSERT_TRUE(fromPieces.reader && fromWhole.reader);
  const std::vector<float> decoded = readAll(*fromPieces.reader);
  EXPECT_EQ(decoded.size(), 12800u - 640u);
  EXPECT_EQ(decoded, readAll(*fromWhole.reader));
}

TEST(OpenSamples, UndecodableEncodingsAreNamedAndDamagedFilesGetTheDecodersWords) {
  const testing::ByteVector data(100, 0x5A);
  struct Case {
    const char* name;
    testing::WaveFormatFields format;
    bool undecodable;
  };
  const Case cases[] = {
      {"G.726", {.formatTag = 0x64, .bitsPerSample = 4, .blockAlign = 1, .extra = {2, 0, 0, 0}}, true},
      {"Yamaha ADPCM", {.formatTag = 0x20, .channels = 2, .bitsPerSample = 4, .blockAlign = 1, .extra = {0, 0}}, true},
      {"unknown", {.formatTag = 0x7777, .bitsPerSample = 16}, true},
      {"IMA ADPCM of 6 channels",
       {.formatTag = 0x11, .channels = 6, .bitsPerSample = 4, .blockAlign = 1536, .extra = {2, 0, 0xF9, 0x01}},
       true},
      {"IMA ADPCM without a block size",
       {.formatTag = 0x11, .bitsPerSample = 4, .blockAlign = 0, .extra = {2, 0, 0, 0}},
       false},
      {"extensible without its sub-format",
       {.formatTag = 0xFFFE, .bitsPerSample = 16, .extra = {6, 0, 16, 0, 4, 0, 0, 0}},
       false},
      {"MS ADPCM without its coefficients",
       {.formatTag = 0x02, .bitsPerSample = 4, .blockAlign = 64, .extra = {0, 0}},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto document = readWave(testing::riff("WAVE", {testing::waveFormat(c.format), testing::chunk("data", data)}));
    ASSERT_TRUE(document);
    const auto opened = sound::openSamples(*document);
    EXPECT_FALSE(opened.reader);
    EXPECT_EQ(opened.problem == wave::undecodableText(document->wave), c.undecodable) << opened.problem;
    EXPECT_FALSE(opened.problem.empty());
  }
  EXPECT_FALSE(sound::openSamples(model::Document()).problem.empty());
}

// Headers that lie: nothing is read past the data, and no count leads to a large allocation.
TEST(OpenSamples, HostileHeadersGiveWhatTheDataHolds) {
  const testing::ByteVector data(100, 0x5A);
  struct Case {
    const char* name;
    testing::ByteVector file;
    std::optional<std::uint64_t> mostFrames;  // none: no reader
  };
  const auto format = [](testing::WaveFormatFields fields) { return testing::waveFormat(fields); };
  const Case cases[] = {
      {"no channels",
       testing::riff("WAVE", {format({.channels = 0, .bitsPerSample = 16}), testing::chunk("data", data)}),
       std::nullopt},
      {"block align 0",
       testing::riff("WAVE",
                     {format({.channels = 2, .bitsPerSample = 16, .blockAlign = 0}), testing::chunk("data", data)}),
       25},
      {"data cut short",
       testing::riff("WAVE", {format({.bitsPerSample = 16}), testing::chunk("data", data, {.declaredSize = 1u << 30})}),
       50},
      {"4 G frames in the fact chunk",
       testing::riff("WAVE",
                     {format({.formatTag = 0x31, .bitsPerSample = 0, .blockAlign = 65, .extra = {2, 0, 0x40, 1}}),
                      testing::chunk("fact", testing::u32s({0xFFFFFFFF})), testing::chunk("data", data)}),
       800},
      {"4 G frames of IMA ADPCM",
       testing::riff("WAVE",
                     {format({.formatTag = 0x11, .bitsPerSample = 4, .blockAlign = 36, .extra = {2, 0, 0x41, 0}}),
                      testing::chunk("fact", testing::u32s({0xFFFFFFFF})), testing::chunk("data", data)}),
       800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto document = readWave(c.file);
    ASSERT_TRUE(document);
    auto opened = sound::openSamples(*document);
    ASSERT_EQ(opened.reader != nullptr, c.mostFrames.has_value()) << opened.problem;
    if (!opened.reader) continue;
    EXPECT_LE(opened.reader->frames(), *c.mostFrames);
    wave::PeakSummary summary(opened.reader->channels(), opened.reader->frames());
    summary.build(*opened.reader, [](std::uint64_t) { return true; });
    wave::columnPeaks(*opened.reader, &summary, {0, 1, 1000});
    wave::columnPeaks(*opened.reader, &summary, {0, 1e6, 1000});
  }
}

}  // namespace
}  // namespace delvix
