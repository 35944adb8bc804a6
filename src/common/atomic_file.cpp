#include "common/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sorvell::common {

namespace {

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string Reason(const std::filesystem::path& file, const char* what) {
  return "cannot " + std::string(what) + " " + file.string() + ": " + std::strerror(errno);
}

// mkstemp makes the file private; a saved file keeps the mode of the file it replaces, or gets
// the mode a newly created file would have.
mode_t NewFileMode(const std::filesystem::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view contents,
                         std::string& error) {
  std::filesystem::path temporary = target;
  temporary += ".tmp-XXXXXX";
  std::string name = temporary.string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = Reason(target, "write");
    return false;
  }
  const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
  const int savedErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    errno = written ? errno : savedErrno;
    error = Reason(target, "write");
    ::unlink(name.c_str());
    return false;
  }
  ::chmod(name.c_str(), NewFileMode(target));
  if (::rename(name.c_str(), target.c_str()) != 0) {
    error = Reason(target, "replace");
    ::unlink(name.c_str());
    return false;
  }
  return true;
}

}  // namespace sorvell::common
