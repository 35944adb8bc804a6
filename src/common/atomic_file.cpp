#include "common/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace sorvell::common {

namespace {

constexpr std::string_view kTemporaryMark = ".sorvell-tmp-";
constexpr std::size_t kRandomLength = 6;  // mkstemp's XXXXXX
// A write interrupted this many times in a row, or that takes nothing, is given up: a save must
// end, with an error if need be.
constexpr int kMaxInterruptions = 100;

std::string Reason(const std::filesystem::path& file, const std::string& why) {
  return "cannot write " + file.string() + ": " + why;
}

std::string ErrnoReason(const std::filesystem::path& file) {
  return Reason(file, std::strerror(errno));
}

bool WriteAll(int fd, std::string_view contents, detail::WriteFunction write, std::string& why) {
  int interruptions = 0;
  while (!contents.empty()) {
    const ssize_t written = write(fd, contents.data(), contents.size());
    if (written < 0 && errno == EINTR && ++interruptions < kMaxInterruptions) continue;
    if (written < 0) {
      why = std::strerror(errno);
      return false;
    }
    if (written == 0) {
      why = "the disk takes no more data";
      return false;
    }
    interruptions = 0;
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The mode the saved file gets, or nothing with `error` set when the target must not be
// replaced.
std::optional<mode_t> SavedMode(const std::filesystem::path& target, std::string& error) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) != 0) {
    if (errno == ENOENT) return NewFileMode();
    error = ErrnoReason(target);
    return std::nullopt;
  }
  if (!S_ISREG(existing.st_mode)) {
    error = Reason(target, "not a regular file");
    return std::nullopt;
  }
  // access() lets root write anything; a file nobody may write is read-only to root too.
  const bool writeBits = (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  if (!writeBits || ::access(target.c_str(), W_OK) != 0) {
    error = Reason(target, "permission denied: read-only file");
    return std::nullopt;
  }
  return existing.st_mode & 07777;
}

// A link is written through, so the link stays and the file it names is replaced.
std::filesystem::path Resolved(const std::filesystem::path& target) {
  std::error_code code;
  if (!std::filesystem::is_symlink(target, code)) return target;
  const auto resolved = std::filesystem::weakly_canonical(target, code);
  return code ? target : resolved;
}

std::string FolderOf(const std::filesystem::path& target) {
  const auto folder = target.parent_path();
  return folder.empty() ? "." : folder.string();
}

int CreateTemporary(const std::filesystem::path& target, std::string& name, std::string& error) {
  name = TemporaryPrefix(target) + std::string(kRandomLength, 'X');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) return fd;
  if (errno == EACCES || errno == EROFS || errno == EPERM) {
    error = Reason(target, "the folder " + FolderOf(target) + " cannot be written (" +
                               std::strerror(errno) + ")");
  } else {
    error = ErrnoReason(target);
  }
  return -1;
}

// Makes the rename itself survive a power cut; a failure here loses nothing already written.
void SyncFolder(const std::filesystem::path& target) {
  const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool FillTemporary(int fd, std::string_view contents, mode_t mode, detail::WriteFunction write,
                   std::string& why) {
  if (!WriteAll(fd, contents, write, why)) return false;
  if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
    why = std::strerror(errno);
    return false;
  }
  return true;
}

bool IsTemporaryName(const std::string& name) {
  const auto mark = name.rfind(kTemporaryMark);
  // ".X" before the mark (a file name of at least one character), six characters after it.
  return name.starts_with('.') && mark != std::string::npos && mark >= 2 &&
         name.size() == mark + kTemporaryMark.size() + kRandomLength;
}

}  // namespace

std::string TemporaryPrefix(const std::filesystem::path& target) {
  const auto hidden = "." + target.filename().string() + std::string(kTemporaryMark);
  return (target.parent_path() / hidden).string();
}

namespace detail {

bool WriteFileAtomically(const std::filesystem::path& requested, std::string_view contents,
                         std::string& error, WriteFunction write) {
  const std::filesystem::path target = Resolved(requested);
  const auto mode = SavedMode(target, error);
  if (!mode) return false;
  std::string name;
  const int fd = CreateTemporary(target, name, error);
  if (fd < 0) return false;
  std::string why;
  const bool filled = FillTemporary(fd, contents, *mode, write, why);
  if (::close(fd) != 0 && filled) why = std::strerror(errno);
  if (!why.empty()) {
    error = Reason(target, why);
    ::unlink(name.c_str());
    return false;
  }
  if (::rename(name.c_str(), target.c_str()) != 0) {
    error = "cannot replace " + target.string() + ": " + std::strerror(errno);
    ::unlink(name.c_str());
    return false;
  }
  SyncFolder(target);
  return true;
}

}  // namespace detail

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view contents,
                         std::string& error) {
  return detail::WriteFileAtomically(target, contents, error, &::write);
}

int RemoveStaleTemporaries(const std::filesystem::path& folder) {
  int removed = 0;
  std::error_code code;
  for (std::filesystem::directory_iterator it(folder, code), end; !code && it != end;
       it.increment(code)) {
    const std::string name = it->path().filename().string();
    std::error_code statCode;
    if (!IsTemporaryName(name) || !it->is_regular_file(statCode) || it->is_symlink(statCode)) {
      continue;
    }
    if (std::filesystem::remove(it->path(), statCode)) ++removed;
  }
  return removed;
}

}  // namespace sorvell::common
