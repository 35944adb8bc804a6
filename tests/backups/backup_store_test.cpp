#include "backups/backup_store.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "buffers/checksums.h"
#include "common/scratch_folder.h"

namespace sorvell::backups {
namespace {

using common::testing::ScratchFolder;
using namespace std::string_literals;

const std::vector<std::uint8_t> kContents = {0x31, 0x00, 0xFF, 0x7E, 0x31};

std::string NameOf(const std::vector<std::uint8_t>& bytes) {
  return buffers::ChecksumsOf(bytes).sha256 + ".bin";
}

// The name proves the contents: a file of that name that holds something else (a copy cut short
// by a crash of another program, a hand edit) is replaced, one that holds them is left alone.
TEST(BackupStoreTest, ContentsAreKeptOnceUnderTheirSha256) {
  ScratchFolder scratch("backup-store");
  const BackupStore store(scratch.path / "data" / "backups");
  const KeptBackup first = store.Keep(kContents);
  ASSERT_TRUE(first.Kept()) << first.error;
  EXPECT_EQ(first.file, store.Folder() / NameOf(kContents));
  const auto written = std::filesystem::last_write_time(first.file);

  const KeptBackup again = store.Keep(kContents);
  EXPECT_EQ(again.file, first.file);
  EXPECT_EQ(std::filesystem::last_write_time(first.file), written);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store.Folder()), {}), 1);

  scratch.Write("data/backups/" + NameOf(kContents), "damaged");
  ASSERT_TRUE(store.Keep(kContents).Kept());
  EXPECT_EQ(scratch.Read("data/backups/" + NameOf(kContents)), "1\0\xFF~1"s);
}

ssize_t DiskFull(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

TEST(BackupStoreTest, WhatCannotBeWrittenIsSaidAndLeavesNothing) {
  ScratchFolder scratch("backup-refused");
  const KeptBackup full = BackupStore(scratch.path / "backups", DiskFull).Keep(kContents);
  EXPECT_FALSE(full.Kept());
  EXPECT_TRUE(full.file.empty());
  EXPECT_TRUE(full.error.starts_with("the disk is full (cannot write ")) << full.error;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path / "backups"), {}), 0);

  scratch.Write("blocked", "not a folder");
  const auto blockedFolder = scratch.path / "blocked";
  EXPECT_EQ(BackupStore(blockedFolder).Keep(kContents).error,
            "the backup folder " + blockedFolder.string() + " is a file, not a folder");
  const KeptBackup below = BackupStore(blockedFolder / "backups").Keep(kContents);
  EXPECT_TRUE(below.error.starts_with("the backup folder " + (blockedFolder / "backups").string() +
                                      " cannot be made ("))
      << below.error;
  EXPECT_EQ(scratch.Read("blocked"), "not a folder");
}

}  // namespace
}  // namespace sorvell::backups
