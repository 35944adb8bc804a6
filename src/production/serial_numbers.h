#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvell::production {

// How a serial number is laid into the part's bytes.
enum class SerialEncoding {
  kAsciiDecimal,  // decimal digits, leading zeros: 1000 in 6 bytes is "001000"
  kAsciiHex,      // upper-case hexadecimal digits, leading zeros
  kBcd,           // two decimal digits a byte, the most significant byte first
  kBinaryLe,      // the number's bytes, least significant first
  kBinaryBe,      // the number's bytes, most significant first
};

// The encoding a job file names ("ascii-decimal", "ascii-hex", "bcd", "binary-le",
// "binary-be"); none for any other word.
std::optional<SerialEncoding> EncodingNamed(std::string_view name);
std::string_view EncodingName(SerialEncoding encoding);

// The most bytes a serial number may take: a binary one holds 64 bits at most.
inline constexpr int kMaxSerialLength = 32;
int MaxLength(SerialEncoding encoding);

struct SerialBytes {
  std::vector<std::uint8_t> bytes;  // `length` bytes; empty when the number does not fit
  std::string error;                // why it does not fit
};

// `number` as `length` bytes in `encoding`. A number that needs more bytes is refused, never cut.
SerialBytes EncodeSerial(std::uint64_t number, int length, SerialEncoding encoding);

// The serial number as the log and the record show it: decimal.
std::string SerialText(std::uint64_t number);

// The numbers of a run, one a part: counting from a start by a step, or taken from a list in
// order. A failed part's number is given to the next part or skipped, as the job says.
class SerialSequence {
 public:
  static SerialSequence Counting(std::uint64_t start, std::uint64_t step);
  static SerialSequence Listed(std::vector<std::uint64_t> numbers);

  // The number for the next part; none once the list is used up or the count would pass 2^64.
  std::optional<std::uint64_t> Current() const;
  // The part that took Current() is done with: the next part gets the following number.
  void Advance();
  // The part that took Current() failed: with `reuse` the next part gets the same number.
  void Failed(bool reuse);

 private:
  std::vector<std::uint64_t> list_;
  std::uint64_t start_ = 0;
  std::uint64_t step_ = 1;
  std::uint64_t taken_ = 0;  // numbers used up
  bool listed_ = false;
};

}  // namespace sorvell::production
