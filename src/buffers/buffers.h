#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace sorvell::buffers {

inline constexpr std::size_t kCodeBufferSize = 2'100'001;
inline constexpr std::size_t kDataBufferSize = 8'292;
inline constexpr std::size_t kMaxDataFile = 8'192;
// Erasing the code image clears one byte more than 1 MB, the data image one more than 8 KB.
inline constexpr std::size_t kCodeEraseCount = 1'048'577;
inline constexpr std::size_t kDataEraseCount = 8'193;

// The device image and the microcontroller's data-memory image, with the files behind them.
struct Buffers {
  std::vector<std::uint8_t> CodeBuffer = std::vector<std::uint8_t>(kCodeBufferSize);
  std::vector<std::uint8_t> DataBuffer = std::vector<std::uint8_t>(kDataBufferSize);
  std::string CodeFileName;
  std::string DataFileName;
  std::int32_t DataFileSize = 0;
  // Bytes of the code image that came from a file or a device; 0 when none did (or the buffer
  // was erased to FFh).
  std::int32_t CodeImageSize = 0;
  std::int32_t FileCRC = 0;
  std::string FileCRCText;
  int CodeBufferLoaded = 0;
  int DataBufferLoaded = 0;
  std::string DisplayMode;
  // The part's addresses that differed from the image in the last compare (verify, blank check):
  // the dump marks them and steps from one to the next.
  std::vector<std::int32_t> DifferingAddresses;
  // The byte the operator went to or found last: the window's view keeps it in sight. Each move
  // counts, so going to the same place again brings it back into view.
  std::int32_t CursorAddress = 0;
  std::uint32_t CursorMoves = 0;
};

// Reads a whole image file of 1 to `maxBytes` bytes. False with `error` naming the file and saying
// why (missing, unreadable, not a regular file, empty, too large) and `bytes` untouched.
bool ReadImageFile(const std::filesystem::path& file, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes, std::string& error);

// `reason` as ReadRegularFile gives it, after the file's name: "X is empty", "X could not be
// opened: ...".
std::string FileError(const std::filesystem::path& file, const std::string& reason);

// The byte sum modulo 65536, and as four upper-case hex digits.
std::int32_t FileChecksum(std::span<const std::uint8_t> bytes);
std::string ChecksumText(std::int32_t checksum);

}  // namespace sorvell::buffers
