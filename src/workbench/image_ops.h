#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvell::workbench {

using Bytes = std::vector<std::uint8_t>;

// Each 16-bit word's two bytes change places; an odd last byte stays where it is. A 16-bit
// processor of the other byte order reads the image as it was meant.
void SwapBytes(std::span<std::uint8_t> bytes);

// The bytes at even and at odd addresses: the two ROMs of a 16-bit bus, low byte (even) first.
struct Halves {
  Bytes even;
  Bytes odd;
};
Halves SplitEvenOdd(std::span<const std::uint8_t> bytes);

// One image from its even and odd halves; empty with `error` set when their sizes differ.
Bytes Interleave(std::span<const std::uint8_t> even, std::span<const std::uint8_t> odd,
                 std::string& error);

// The image repeated to `size` bytes, as a smaller ROM's image sits in a larger part that has
// address lines the computer never drives; empty with `error` when `size` is not a whole number
// of copies.
Bytes RepeatTo(std::span<const std::uint8_t> image, std::size_t size, std::string& error);

// An address or a size as the operator types it: hex, as the dump shows addresses ("3FFF",
// "3FFFh", "0x3FFF", "$3FFF"), or a number of kilobytes ("32K"). None when it is neither.
std::optional<std::uint32_t> ParseAddress(std::string_view text);

// "START-END": both inclusive, START at most END. None when it is not such a range.
struct Range {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  std::size_t Size() const { return std::size_t{last} - first + 1; }
};
std::optional<Range> ParseRange(std::string_view text);

// What to look for or to write: hex bytes ("A9 00 8D", "A9008D") or, in double quotes or when it
// holds other characters than hex digits and blanks, the text's own characters ("COPYRIGHT").
// None when empty, or when hex digits do not make whole bytes.
std::optional<Bytes> ParseBytes(std::string_view text);

// The first place at or after `from` (or the last one before `from`, searching back) where
// `pattern` lies wholly inside `bytes`.
std::optional<std::size_t> Find(std::span<const std::uint8_t> bytes,
                                std::span<const std::uint8_t> pattern, std::size_t from,
                                bool forward);

// "3FFFh" for log lines and messages, six digits as the dump has them: "003FFFh".
std::string AddressText(std::uint32_t address);

}  // namespace sorvell::workbench
