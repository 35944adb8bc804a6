#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/atomic_file.h"

namespace sorvell::backups {

// Where a part's contents went, or why they could not be kept.
struct KeptBackup {
  std::filesystem::path file;  // empty when nothing was kept
  std::string error;           // the reason, in the operator's words, when nothing was kept
  bool Kept() const { return error.empty(); }
};

// The contents of parts read before an erase or a burn changed them, one plain image file each,
// named by the SHA-256 of its bytes ("<sha256>.bin"): the same contents are kept once, however
// often the same part is burned, and a file's name proves what it holds.
class BackupStore {
 public:
  explicit BackupStore(std::filesystem::path folder);
  // With the write(2) a test hands in (a disk that fills up).
  BackupStore(std::filesystem::path folder, common::detail::WriteFunction write);

  // Makes the folder when it is not there, and writes the file whole or not at all; a file of
  // that name that already holds these bytes is left as it is.
  KeptBackup Keep(std::span<const std::uint8_t> bytes) const;

  const std::filesystem::path& Folder() const { return folder_; }

 private:
  // Empty when the folder is there (or was made), else why not.
  std::string MakeFolder() const;

  std::filesystem::path folder_;
  common::detail::WriteFunction write_ = nullptr;
};

}  // namespace sorvell::backups
