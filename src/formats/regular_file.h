#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace delvix::formats {

// A file descriptor that is closed when it goes.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  ~Descriptor();

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// What a file that is not a regular file is, in words: "a FIFO (named pipe)", "a folder", "a character
// device", ...; empty for a regular file.
std::string fileTypeName(mode_t mode);

// Why `path` cannot be read as a file ("is a FIFO (named pipe), not a regular file", "No such file or
// directory"), found without opening it; nullopt for a regular file, or a link to one.
std::optional<std::string> inputProblem(const std::filesystem::path& path);

struct OpenedFile {
  Descriptor descriptor;
  std::string error;  // why there is no descriptor, as inputProblem words it
};

// Opens `path` for reading when it is a regular file, and never waits: what is not one is refused before it
// is opened, and the kind is checked again on the descriptor, so a FIFO put in its place meanwhile is refused
// too instead of waiting for a writer.
OpenedFile openRegularFile(const std::filesystem::path& path);

}  // namespace delvix::formats
