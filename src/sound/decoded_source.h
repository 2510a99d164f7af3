#pragma once

#include <memory>
#include <string>

#include "model/document.h"
#include "wave/pcm_source.h"

namespace delvix::sound {

// The document's sound as libsndfile decodes it (ADPCM, GSM, A-law, µ-law, float, 24 and 32 bits, ...), as
// 16-bit PCM, decoded as it is read. It reads the file the document would save, samples straight from where
// the document holds them, so unsaved cuts are heard. Null with `error` set when libsndfile refuses it.
std::unique_ptr<wave::PcmSource> decodedSource(const model::Document& document, std::string& error);

}  // namespace delvix::sound
