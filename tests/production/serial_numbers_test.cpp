// Serial numbers as bytes: each encoding, leading zeros, the largest number that fits and the
// first that does not; and the run's numbers when a part fails.
#include "production/serial_numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace sorvell::production {
namespace {

using Bytes = std::vector<std::uint8_t>;
using E = SerialEncoding;

Bytes Ascii(const char* text) {
  return Bytes(text, text + std::char_traits<char>::length(text));
}

TEST(SerialNumbersTest, EachEncodingGivesItsBytesOrRefusesANumberTooLarge) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  const struct {
    std::uint64_t number;
    int length;
    E encoding;
    Bytes bytes;  // empty: refused
  } kCases[] = {
      {1234, 4, E::kAsciiDecimal, Ascii("1234")},
      {7, 3, E::kAsciiDecimal, Ascii("007")},
      {9999, 4, E::kAsciiDecimal, Ascii("9999")},
      {10000, 4, E::kAsciiDecimal, {}},
      {0x1A2F, 4, E::kAsciiHex, Ascii("1A2F")},
      {0xFFFF, 4, E::kAsciiHex, Ascii("FFFF")},
      {0x10000, 4, E::kAsciiHex, {}},
      {12345678, 4, E::kBcd, {0x12, 0x34, 0x56, 0x78}},
      {1000, 4, E::kBcd, {0x00, 0x00, 0x10, 0x00}},
      {99, 1, E::kBcd, {0x99}},
      {100, 1, E::kBcd, {}},
      {0x01020304, 4, E::kBinaryLe, {0x04, 0x03, 0x02, 0x01}},
      {0x01020304, 4, E::kBinaryBe, {0x01, 0x02, 0x03, 0x04}},
      {0x0102, 4, E::kBinaryBe, {0x00, 0x00, 0x01, 0x02}},
      {0xFFFFFFFF, 4, E::kBinaryLe, {0xFF, 0xFF, 0xFF, 0xFF}},
      {0x100000000, 4, E::kBinaryLe, {}},
      {256, 1, E::kBinaryBe, {}},
      {kMax, 8, E::kBinaryBe, Bytes(8, 0xFF)},
      {kMax, 20, E::kAsciiDecimal, Ascii("18446744073709551615")},
      {1, 9, E::kBinaryLe, {}},  // a 64-bit number has 8 bytes
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.number) + " in " + std::to_string(c.length) + " bytes as " +
                 std::string(EncodingName(c.encoding)));
    const SerialBytes encoded = EncodeSerial(c.number, c.length, c.encoding);
    EXPECT_EQ(encoded.bytes, c.bytes);
    EXPECT_EQ(encoded.error.empty(), !c.bytes.empty()) << encoded.error;
  }
  EXPECT_EQ(EncodeSerial(10000, 4, E::kAsciiDecimal).error,
            "serial 10000 does not fit 4 bytes as ascii-decimal");
}

// Part 3 of each run fails; the numbers each part is given.
TEST(SerialNumbersTest, AFailedPartsNumberGoesToTheNextPartOnlyWhenTheJobSaysSo) {
  const struct {
    const char* what;
    SerialSequence sequence;
    bool reuse;
    std::vector<std::uint64_t> numbers;  // a part each, until the numbers run out
  } kCases[] = {
      {"counting, skipped", SerialSequence::Counting(1000, 5), false, {1000, 1005, 1010, 1015}},
      {"counting, reused", SerialSequence::Counting(1000, 5), true, {1000, 1005, 1010, 1010}},
      {"a list, skipped", SerialSequence::Listed({7, 3, 9}), false, {7, 3, 9}},
      {"a list, reused", SerialSequence::Listed({7, 3, 9}), true, {7, 3, 9, 9}},
      {"counting to the last number",
       SerialSequence::Counting(~std::uint64_t{0} - 1, 1),
       false,
       {~std::uint64_t{0} - 1, ~std::uint64_t{0}}},
  };
  for (auto c : kCases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint64_t> given;
    for (int part = 1; part <= 4; ++part) {
      const auto number = c.sequence.Current();
      if (!number) break;
      given.push_back(*number);
      part == 3 ? c.sequence.Failed(c.reuse) : c.sequence.Advance();
    }
    EXPECT_EQ(given, c.numbers);
  }
}

}  // namespace
}  // namespace sorvell::production
