#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "scratch_folder.h"

namespace sorvell::common {
namespace {

using testing::ScratchFolder;

mode_t ModeOf(const std::filesystem::path& file) {
  struct stat info {};
  ::stat(file.c_str(), &info);
  return info.st_mode & 07777;
}

// Sets the umask for one test and puts the old one back.
struct Umask {
  explicit Umask(mode_t mask) : old(::umask(mask)) {}
  ~Umask() { ::umask(old); }
  mode_t old;
};

TEST(AtomicFileTest, ReplacesTheFileWholeAndKeepsItsMode) {
  ScratchFolder folder("atomic-mode");
  const auto file = folder.Write("SORVELL.LOG", "old log");
  ::chmod(file.c_str(), 0640);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(file, "new log", error)) << error;
  EXPECT_EQ(folder.Read("SORVELL.LOG"), "new log");
  EXPECT_EQ(ModeOf(file), 0640u);
  EXPECT_EQ(folder.Count(), 1);  // no temporary left

  const Umask mask(027);
  ASSERT_TRUE(WriteFileAtomically(folder.path / "new.bin", "x", error)) << error;
  EXPECT_EQ(ModeOf(folder.path / "new.bin"), 0640u);
}

TEST(AtomicFileTest, ALinkIsWrittenThroughAndStaysALink) {
  ScratchFolder folder("atomic-link");
  folder.Write("real.bin", "old");
  std::filesystem::create_symlink("real.bin", folder.path / "link.bin");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(folder.path / "link.bin", "new", error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path / "link.bin"));
  EXPECT_EQ(folder.Read("real.bin"), "new");
}

TEST(AtomicFileTest, AReadOnlyFileIsNotReplacedEvenByRoot) {
  ScratchFolder folder("atomic-readonly");
  const auto file = folder.Write("image.bin", "precious");
  ::chmod(file.c_str(), 0444);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(file, "overwritten", error));
  EXPECT_EQ(error, "cannot write " + file.string() + ": permission denied: read-only file");
  EXPECT_EQ(folder.Read("image.bin"), "precious");
  EXPECT_EQ(ModeOf(file), 0444u);
  EXPECT_EQ(folder.Count(), 1);
}

TEST(AtomicFileTest, AFolderThatCannotBeWrittenIsNamed) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  ScratchFolder folder("atomic-folder");
  const auto locked = folder.path / "locked";
  std::filesystem::create_directory(locked);
  ::chmod(locked.c_str(), 0555);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(locked / "out.bin", "x", error));
  EXPECT_NE(error.find("the folder " + locked.string() + " cannot be written"), std::string::npos)
      << error;
}

ssize_t TakesNothing(int, const void*, std::size_t) {
  return 0;
}
ssize_t AlwaysInterrupted(int, const void*, std::size_t) {
  errno = EINTR;
  return -1;
}
// Takes one byte at a time, then finds the disk full.
ssize_t FillsUp(int fd, const void* data, std::size_t) {
  static int calls = 0;
  if (++calls % 4 == 0) {
    errno = ENOSPC;
    return -1;
  }
  return ::write(fd, data, 1);
}

TEST(AtomicFileTest, AWriteThatFailsOrStallsEndsInAnErrorAndKeepsTheOldFile) {
  ScratchFolder folder("atomic-stall");
  const auto file = folder.Write("image.bin", "precious");
  const std::pair<detail::WriteFunction, const char*> failures[] = {
      {TakesNothing, "the disk takes no more data"},
      {AlwaysInterrupted, "Interrupted system call"},
      {FillsUp, "No space left on device"}};
  for (const auto& [write, why] : failures) {
    std::string error;
    EXPECT_FALSE(detail::WriteFileAtomically(file, "a longer image", error, write)) << why;
    EXPECT_EQ(error, "cannot write " + file.string() + ": " + why);
    EXPECT_EQ(folder.Read("image.bin"), "precious");
    EXPECT_EQ(folder.Count(), 1);
  }
}

TEST(AtomicFileTest, StaleTemporariesAreRemovedAndNothingElse) {
  ScratchFolder folder("atomic-stale");
  const std::string prefix = TemporaryPrefix(folder.path / "SORVELL.LOG");
  EXPECT_EQ(prefix, (folder.path / ".SORVELL.LOG.sorvell-tmp-").string());
  std::ofstream(prefix + "a1B2c3") << "half a log";
  folder.Write(".image.bin.sorvell-tmp-Zz9900", "half an image");
  for (const char* kept : {"SORVELL.LOG", ".SORVELL.LOG.sorvell-tmp-short", ".sorvell-tmp-abcdef",
                           "image.bin.sorvell-tmp-abcdef"}) {
    folder.Write(kept, "keep");
  }
  std::filesystem::create_directory(folder.path / ".dir.sorvell-tmp-abcdef");
  std::filesystem::create_symlink("SORVELL.LOG", folder.path / ".link.sorvell-tmp-abcdef");
  EXPECT_EQ(RemoveStaleTemporaries(folder.path), 2);
  EXPECT_EQ(folder.Count(), 6);
  EXPECT_EQ(RemoveStaleTemporaries(folder.path / "missing"), 0);
}

}  // namespace
}  // namespace sorvell::common
