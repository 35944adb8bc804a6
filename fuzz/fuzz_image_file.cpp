// Image files come from anywhere: whatever their bytes and length, they load whole into the
// buffer or are refused with a reason, and the dump shows every byte.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "buffers/buffers.h"
#include "buffers/dump.h"

namespace {

std::filesystem::path ScratchFile() {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("sorvell-fuzz-image-" + std::to_string(::getpid()));
  return file;
}

void DumpAll(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> row(16);
  for (std::size_t at = 0; at < bytes.size(); at += 16) {
    std::fill(row.begin(), row.end(), 0xFF);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                std::min<std::size_t>(16, bytes.size() - at), row.begin());
    for (const auto rule :
         {sorvell::buffers::AsciiRule::kBuffer, sorvell::buffers::AsciiRule::kDevice}) {
      if (sorvell::buffers::DumpLine(static_cast<std::int32_t>(at), row.data(), rule).size() !=
          62) {
        std::abort();
      }
    }
  }
}

}  // namespace

// The first two bytes choose the buffer's size, the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t maxBytes = data[0] | data[1] << 8;
  const std::string contents(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::ofstream(ScratchFile(), std::ios::binary | std::ios::trunc) << contents;

  std::vector<std::uint8_t> bytes{1, 2, 3};
  std::string error;
  const bool read = sorvell::buffers::ReadImageFile(ScratchFile(), maxBytes, bytes, error);
  std::filesystem::remove(ScratchFile());
  const bool fits = !contents.empty() && contents.size() <= maxBytes;
  if (read != fits) std::abort();
  if (!read && (error.empty() || bytes != std::vector<std::uint8_t>{1, 2, 3})) std::abort();
  if (read && (bytes.size() != contents.size() ||
               std::memcmp(bytes.data(), contents.data(), bytes.size()) != 0)) {
    std::abort();
  }
  if (read) {
    DumpAll(bytes);
    sorvell::buffers::ChecksumText(sorvell::buffers::FileChecksum(bytes));
  }
  return 0;
}
