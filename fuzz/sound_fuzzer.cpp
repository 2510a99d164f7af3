// Reads arbitrary bytes as a wave file and reads its samples as the wave view and the player do: from the start,
// at places far into the sound, and mixed down to stereo (libsndfile decodes what is not stored sample by sample).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/wav_reader.h"
#include "model/document.h"
#include "sound/playback.h"
#include "sound/sample_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  delvix::model::Document document;
  delvix::formats::RecordingReporter reporter;
  delvix::formats::readWaveFile(std::span(data, size), document, reporter);
  auto opened = delvix::sound::openSamples(document);
  if (!opened.reader) return 0;
  delvix::wave::SampleReader& reader = *opened.reader;
  const auto channels = static_cast<std::size_t>(reader.channels());
  if (channels == 0) return 0;
  // A decoder may make a long sound out of few bytes; bounded parts of it are enough to reach every path.
  std::vector<float> frames(channels * 1024);
  std::uint64_t read = 0;
  for (std::uint64_t first = 0; first < reader.frames() && read < (1u << 20);) {
    const std::size_t got = reader.read(first, frames);
    if (got == 0) break;
    first += got, read += got;
  }
  const std::uint64_t frameCount = reader.frames();
  for (const std::uint64_t place : {frameCount / 2, frameCount - frameCount / 8, frameCount / 3})
    reader.read(place, frames);

  std::string error;
  auto mixed = delvix::sound::playSource(document, {}, 2, error);
  if (!mixed) return 0;
  std::vector<std::uint8_t> pcm(4096);
  std::size_t played = 0;
  while (played < (1u << 20)) {
    const std::size_t bytes = mixed->read(pcm);
    if (bytes == 0) break;
    played += bytes;
  }
  return 0;
}
