#include "buffers/buffers.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace sorvell::buffers {

bool ReadImageFile(const std::filesystem::path& file, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes, std::string& error) {
  std::error_code code;
  if (std::filesystem::is_directory(file, code)) {
    error = file.string() + " is a folder, not a file";
    return false;
  }
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) {
    error = "cannot open " + file.string() + ": " + std::strerror(errno);
    return false;
  }
  const auto length = static_cast<std::size_t>(in.tellg());
  if (length == 0) {
    error = file.string() + " is empty";
    return false;
  }
  if (length > maxBytes) {
    error = file.string() + " is " + std::to_string(length) + " bytes long, more than the " +
            std::to_string(maxBytes) + " the buffer holds";
    return false;
  }
  std::vector<std::uint8_t> contents(length);
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(contents.data()), static_cast<std::streamsize>(length))) {
    error = "cannot read " + file.string();
    return false;
  }
  bytes = std::move(contents);
  return true;
}

std::int32_t FileChecksum(const std::vector<std::uint8_t>& bytes) {
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
