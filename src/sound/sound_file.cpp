#include "sound/sound_file.h"

#include <limits>

namespace delvix::sound {

bool SoundFile::open(std::string& error) {
  sound_.reset();
  position_ = 0;
  info_ = {};
  SF_VIRTUAL_IO io{};
  io.get_filelen = [](void* self) { return static_cast<sf_count_t>(static_cast<SoundFile*>(self)->file_.size()); };
  io.seek = [](sf_count_t offset, int whence, void* self) {
    return static_cast<SoundFile*>(self)->seek(offset, whence);
  };
  io.read = [](void* out, sf_count_t count, void* self) { return static_cast<SoundFile*>(self)->read(out, count); };
  io.write = [](const void*, sf_count_t, void*) -> sf_count_t { return 0; };
  io.tell = [](void* self) { return static_cast<SoundFile*>(self)->position_; };
  sound_.reset(sf_open_virtual(&io, SFM_READ, &info_, this));
  if (!sound_) {
    error = sf_strerror(nullptr);
    return false;
  }
  if (info_.channels < 1 || info_.samplerate < 1) {
    sound_.reset();
    error = "The sound has no channels or no sample rate.";
    return false;
  }
  return true;
}

// Like a file's seek: a position before the start is refused, one past the end reads nothing.
sf_count_t SoundFile::seek(sf_count_t offset, int whence) {
  sf_count_t base = 0;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = position_; break;
    case SEEK_END: base = static_cast<sf_count_t>(file_.size()); break;
    default: return -1;
  }
  if (offset < -base || offset > std::numeric_limits<sf_count_t>::max() - base) return -1;
  position_ = base + offset;
  return position_;
}

sf_count_t SoundFile::read(void* out, sf_count_t count) {
  if (count <= 0 || position_ < 0) return 0;
  const std::size_t read = file_.read(static_cast<std::uint64_t>(position_),
                                      std::span(static_cast<std::uint8_t*>(out), static_cast<std::size_t>(count)));
  position_ += static_cast<sf_count_t>(read);
  return static_cast<sf_count_t>(read);
}

}  // namespace delvix::sound
