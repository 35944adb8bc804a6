#include "buffers/buffers.h"

#include <cstdio>

#include "common/read_file.h"

namespace sorvell::buffers {

bool ReadImageFile(const std::filesystem::path& file, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes, std::string& error) {
  std::string contents;
  if (!common::ReadRegularFile(file, maxBytes, contents, error)) {
    error = FileError(file, error);
    return false;
  }
  bytes.assign(contents.begin(), contents.end());
  return true;
}

std::string FileError(const std::filesystem::path& file, const std::string& reason) {
  // "X is empty", "X is larger than N bytes", "X could not be opened: ...".
  const bool couldNot = reason.starts_with("could not");
  return file.string() + (couldNot ? " " : " is ") + reason;
}

std::int32_t FileChecksum(std::span<const std::uint8_t> bytes) {
  std::int32_t sum = 0;
  for (const std::uint8_t b : bytes) sum = (sum + b) & 0xFFFF;
  return sum;
}

std::string ChecksumText(std::int32_t checksum) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", checksum & 0xFFFF);
  return text;
}

}  // namespace sorvell::buffers
