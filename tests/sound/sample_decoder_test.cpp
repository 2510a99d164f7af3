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

TEST(OpenSamples, DecodesEveryCorpusWaveLikeSox) {
  if (!testing::haveProgram("sox")) GTEST_SKIP() << "sox is not installed";
  int compared = 0;
  for (const fs::path& path : testing::corpusFiles("wav")) {
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
  if (compared == 0) GTEST_SKIP() << "no corpus";
}

}  // namespace
}  // namespace delvix
