#include "common/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace sorvell::common {

namespace {

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string ErrnoText(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// Reads until end of file or until `limit` bytes are in; a read that fails is an error, never a
// short file.
bool ReadUpTo(int fd, std::size_t limit, std::string& contents, std::string& error) {
  constexpr std::size_t kChunk = 64 * 1024;
  while (contents.size() < limit) {
    const std::size_t before = contents.size();
    const std::size_t want = std::min(kChunk, limit - before);
    contents.resize(before + want);
    const ssize_t got = ::read(fd, contents.data() + before, want);
    if (got < 0 && errno == EINTR) {
      contents.resize(before);
      continue;
    }
    if (got < 0) {
      error = ErrnoText("could not be read");
      return false;
    }
    contents.resize(before + static_cast<std::size_t>(got));
    if (got == 0) break;
  }
  return true;
}

bool IsSomethingElse(const std::filesystem::path& file) {
  struct stat info {};
  return ::stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

}  // namespace

bool ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes, std::string& out,
                     std::string& error, EmptyFile empty) {
  // Opening a device can have effects of its own (a tape rewinds), so what is plainly no regular
  // file is refused unopened.
  if (IsSomethingElse(file)) {
    error = "not a regular file";
    return false;
  }
  // O_NONBLOCK: opening a FIFO with no writer would otherwise wait forever. The checks below look
  // at what was opened, not at the name, so nothing can be swapped in between.
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    error =
        errno == EISDIR || errno == ENXIO ? "not a regular file" : ErrnoText("could not be opened");
    return false;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    error = ErrnoText("could not be read");
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = "not a regular file";
    return false;
  }
  const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes";
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
    error = tooLarge;
    return false;
  }
  // The size can change while reading: one byte past the limit tells a file that grew.
  std::string contents;
  if (!ReadUpTo(fd.get(), maxBytes == SIZE_MAX ? maxBytes : maxBytes + 1, contents, error)) {
    return false;
  }
  if (contents.size() > maxBytes) {
    error = tooLarge;
    return false;
  }
  if (contents.empty() && empty == EmptyFile::kRefused) {
    error = "empty";
    return false;
  }
  out = std::move(contents);
  return true;
}

}  // namespace sorvell::common
