#include "formats/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace delvix::formats {

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

std::string fileTypeName(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}

namespace {

std::optional<std::string> problemOf(const struct stat& info) {
  if (S_ISREG(info.st_mode)) return std::nullopt;
  return "is " + fileTypeName(info.st_mode) + ", not a regular file";
}

}  // namespace

std::optional<std::string> inputProblem(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::string(std::strerror(errno));
  return problemOf(info);
}

OpenedFile openRegularFile(const std::filesystem::path& path) {
  if (auto problem = inputProblem(path)) return {Descriptor(), *problem};
  // O_NONBLOCK: a FIFO that took the file's place since the check must not make the open wait for a writer.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!file) return {Descriptor(), std::strerror(errno)};
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return {Descriptor(), std::strerror(errno)};
  if (auto problem = problemOf(info)) return {Descriptor(), *problem};
  // Reads of a regular file never wait anyway; the flag goes so that nothing downstream sees EAGAIN.
  ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
  return {std::move(file), {}};
}

}  // namespace delvix::formats
