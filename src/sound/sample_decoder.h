#pragma once

#include <memory>
#include <string>

#include "model/document.h"
#include "wave/sample_reader.h"

namespace delvix::sound {

struct OpenedSamples {
  std::unique_ptr<wave::SampleReader> reader;
  std::string problem;  // why there is no reader: wave::undecodableText, or the decoder's words
};

// The document's samples, whatever their encoding: read where they lie when every frame stands alone
// (wave::directSampleReader), otherwise decoded by libsndfile from the file the document would save, through
// its virtual I/O over the document's pieces (nothing is copied; unsaved cuts are heard and seen).
OpenedSamples openSamples(const model::Document& document);

}  // namespace delvix::sound
