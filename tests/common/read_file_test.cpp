#include "common/read_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "scratch_folder.h"

namespace sorvell::common {
namespace {

using testing::ScratchFolder;

struct Outcome {
  bool ok;
  std::string out;
  std::string error;
};

Outcome Read(const std::filesystem::path& file, std::size_t maxBytes,
             EmptyFile empty = EmptyFile::kRefused) {
  Outcome outcome{false, "untouched", ""};
  outcome.ok = ReadRegularFile(file, maxBytes, outcome.out, outcome.error, empty);
  return outcome;
}

TEST(ReadRegularFileTest, ReadsUpToTheLimitAndNoFurther) {
  ScratchFolder folder("read-limit");
  const auto file = folder.Write("image.bin", std::string("ab\0\xff", 4));
  const Outcome exact = Read(file, 4);
  EXPECT_TRUE(exact.ok) << exact.error;
  EXPECT_EQ(exact.out, std::string("ab\0\xff", 4));
  const Outcome over = Read(file, 3);
  EXPECT_FALSE(over.ok);
  EXPECT_EQ(over.error, "larger than 3 bytes");
  EXPECT_EQ(over.out, "untouched");
}

TEST(ReadRegularFileTest, AFileLongerThanItsSizeSaysIsStillBounded) {
  // Files under /proc claim a size of 0 and hold more: the read itself must stop at the limit.
  const Outcome status = Read("/proc/self/status", 10);
  EXPECT_FALSE(status.ok);
  EXPECT_EQ(status.error, "larger than 10 bytes");
  EXPECT_TRUE(Read("/proc/self/status", 1 << 20).ok);
}

TEST(ReadRegularFileTest, RefusesWhatIsNoRegularFileWithoutBlocking) {
  ScratchFolder folder("read-special");
  const auto fifo = folder.path / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(fifo, folder.path / "link-to-fifo");
  std::filesystem::create_symlink(folder.path, folder.path / "link-to-folder");
  for (const std::filesystem::path& special :
       {fifo, folder.path / "link-to-fifo", folder.path, folder.path / "link-to-folder",
        std::filesystem::path("/dev/zero"), std::filesystem::path("/dev/null")}) {
    const Outcome outcome = Read(special, 100);
    EXPECT_FALSE(outcome.ok) << special;
    EXPECT_EQ(outcome.error, "not a regular file") << special;
    EXPECT_EQ(outcome.out, "untouched") << special;
  }
}

TEST(ReadRegularFileTest, MissingEmptyAndFailingFiles) {
  ScratchFolder folder("read-missing");
  const Outcome missing = Read(folder.path / "nothing", 100);
  EXPECT_EQ(missing.error, "could not be opened: No such file or directory");
  const auto empty = folder.Write("empty", "");
  EXPECT_EQ(Read(empty, 100).error, "empty");
  const Outcome accepted = Read(empty, 100, EmptyFile::kAccepted);
  EXPECT_TRUE(accepted.ok);
  EXPECT_EQ(accepted.out, "");
  // A regular file whose reading fails: the process's memory at address 0 is never mapped.
  const Outcome failing = Read("/proc/self/mem", 100);
  EXPECT_FALSE(failing.ok);
  EXPECT_TRUE(failing.error.starts_with("could not be read: ")) << failing.error;
  EXPECT_EQ(failing.out, "untouched");
}

}  // namespace
}  // namespace sorvell::common
