#include "backups/backup_store.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>

#include "buffers/checksums.h"
#include "common/read_file.h"

namespace sorvell::backups {

namespace {

// A disk that fills up says so in the C library's words; the operator reads it plainly first.
std::string InOperatorsWords(const std::string& error) {
  const std::string_view full = std::strerror(ENOSPC);
  if (error.find(full) != std::string::npos ||
      error.find("takes no more data") != std::string::npos) {
    return "the disk is full (" + error + ")";
  }
  return error;
}

bool HoldsAlready(const std::filesystem::path& file, std::string_view bytes) {
  std::error_code code;
  if (!std::filesystem::is_regular_file(file, code) ||
      std::filesystem::file_size(file, code) != bytes.size() || code) {
    return false;
  }
  std::string contents;
  std::string error;
  return common::ReadRegularFile(file, bytes.size(), contents, error) && contents == bytes;
}

}  // namespace

BackupStore::BackupStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

BackupStore::BackupStore(std::filesystem::path folder, common::detail::WriteFunction write)
    : folder_(std::move(folder)), write_(write) {}

std::string BackupStore::MakeFolder() const {
  std::error_code code;
  if (std::filesystem::is_directory(folder_, code)) return {};
  if (std::filesystem::exists(folder_, code)) {
    return "the backup folder " + folder_.string() + " is a file, not a folder";
  }
  std::filesystem::create_directories(folder_, code);
  if (code) {
    return "the backup folder " + folder_.string() + " cannot be made (" + code.message() + ")";
  }
  return {};
}

KeptBackup BackupStore::Keep(std::span<const std::uint8_t> bytes) const {
  if (std::string error = MakeFolder(); !error.empty()) return {{}, std::move(error)};
  const std::filesystem::path file = folder_ / (buffers::ChecksumsOf(bytes).sha256 + ".bin");
  const std::string_view contents(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (HoldsAlready(file, contents)) return {file, {}};
  std::string error;
  const bool written = write_ ? common::detail::WriteFileAtomically(file, contents, error, write_)
                              : common::WriteFileAtomically(file, contents, error);
  if (!written) return {{}, InOperatorsWords(error)};
  return {file, {}};
}

}  // namespace sorvell::backups
