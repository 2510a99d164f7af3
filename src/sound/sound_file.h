#pragma once

#include <sndfile.h>

#include <memory>
#include <string>

#include "formats/file_save.h"
#include "model/sample_data.h"
#include "sound/pieced_file.h"

namespace delvix::sound {

// libsndfile reading a written file in place through its virtual I/O: the samples are read where the document
// holds them, across its pieces, and kept alive as long as this is.
class SoundFile {
 public:
  SoundFile(formats::WrittenFile file, model::SampleData kept) : file_(std::move(file), std::move(kept)) {}
  SoundFile(const SoundFile&) = delete;
  SoundFile& operator=(const SoundFile&) = delete;

  // Opens the file, or opens it again from its start. False, with libsndfile's words in `error`, when it refuses
  // the file; also when libsndfile finds no channels or no sample rate.
  bool open(std::string& error);
  // The open file (null before a successful open) and what libsndfile says of it.
  SNDFILE* sound() const { return sound_.get(); }
  const SF_INFO& info() const { return info_; }

 private:
  sf_count_t seek(sf_count_t offset, int whence);
  sf_count_t read(void* out, sf_count_t count);

  PiecedFile file_;
  sf_count_t position_ = 0;
  struct Close {
    void operator()(SNDFILE* sound) const { sf_close(sound); }
  };
  std::unique_ptr<SNDFILE, Close> sound_;
  SF_INFO info_{};
};

}  // namespace delvix::sound
