#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvell::buffers {

// The two text formats of code files that compilers, assemblers and other programmers write.
enum class RecordFormat { kIntelHex, kSRecord };

// What a record file held: the bytes from address 0 to its highest data address, with every
// address no record covers at FFh, as an erased part reads.
struct RecordImage {
  std::vector<std::uint8_t> bytes;
  std::uint32_t lowest = 0;   // first address with data
  std::uint32_t highest = 0;  // last address with data
};

// Why a record file was refused: the line (counting from 1; 0 when the file as a whole is at
// fault) and what is wrong there.
struct RecordError {
  std::int64_t line = 0;
  std::string reason;
};

// Reads Intel HEX (data, end of file, extended segment and linear addresses; start addresses
// ignored) or S-records (S0 header, S1/S2/S3 data, S5/S6 counts, S7/S8/S9 termination). A record
// with a bad checksum, a line that is no record, a file cut short before its end record, or data
// at or above `limit` refuses the whole file; `beyond` names what `limit` is, for the last case
// ("the 32768 bytes of the 27C256"). `image` is only written on success.
bool ReadRecords(std::string_view text, RecordFormat format, std::size_t limit,
                 std::string_view beyond, RecordImage& image, RecordError& error);

// The records of `bytes` placed from address 0, with their header and end records.
bool WriteRecords(std::span<const std::uint8_t> bytes, RecordFormat format, std::string& text,
                  std::string& error);

}  // namespace sorvell::buffers
