// Reads arbitrary bytes as a wave file and decodes its sound with libsndfile through the in-memory file that
// a save would write, as the window does for what the sound output cannot play as it is.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/wav_reader.h"
#include "model/document.h"
#include "sound/decoded_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  delvix::model::Document document;
  delvix::formats::RecordingReporter reporter;
  delvix::formats::readWaveFile(std::span(data, size), document, reporter);
  std::string error;
  auto source = delvix::sound::decodedSource(document, error);
  if (!source) return 0;
  std::vector<std::uint8_t> buffer(4096);
  // A decoder may make a long sound out of few bytes; a bounded part of it is enough to reach every path.
  std::size_t decoded = 0;
  while (decoded < (1u << 22)) {
    const std::size_t read = source->read(buffer);
    if (read == 0) break;
    decoded += read;
  }
  return decoded > 0 && source->remaining() > (1ull << 62) ? 1 : 0;
}
