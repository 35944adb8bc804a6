#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sorvell::diagnosis {

// One byte of the part that is not what was wanted.
struct ByteDifference {
  std::int32_t address;
  std::uint8_t wanted;
  std::uint8_t read;
};

// A run of consecutive differing addresses, first and last included.
struct AddressRange {
  std::int32_t first;
  std::int32_t last;
};

// For one data line: bytes that read 0 where the image has 1, and 1 where it has 0.
struct LineTally {
  std::int32_t readLow = 0;
  std::int32_t readHigh = 0;
};

// The whole difference between what a part should hold and what it read, address by address.
struct Difference {
  std::int32_t compared = 0;
  std::vector<ByteDifference> bytes;  // in address order
  std::array<LineTally, 8> lines{};

  bool Any() const { return !bytes.empty(); }
  std::int32_t Count() const { return static_cast<std::int32_t>(bytes.size()); }
  std::vector<AddressRange> Ranges() const;
};

// `read` against `wanted`, over the shorter of the two.
Difference Compare(std::span<const std::uint8_t> wanted, std::span<const std::uint8_t> read);

// How many ranges the log names before it gives the rest as a count.
inline constexpr std::size_t kRangesNamed = 8;

// The log's summary: the count, first and last, the ranges, and each data line's wrong bits.
std::vector<std::string> SummaryLines(const Difference& difference);

// "0010h" or "0010h-001Fh".
std::string RangeText(const AddressRange& range);

}  // namespace sorvell::diagnosis
