#include <gtest/gtest.h>

#include <set>

#include "board/decode_tables.h"

namespace sorvell::board {
namespace {

DecodeTables Built() {
  DecodeTables t;
  BuildNibbleDecodes(t);
  BuildModel4Decode(t);
  return t;
}

TEST(BoardDecodeTableTest, Model4IsAPermutationWithTheKnownCorners) {
  const DecodeTables t = Built();
  std::set<int> seen(t.Model4Decode.begin(), t.Model4Decode.end());
  EXPECT_EQ(seen.size(), 256u);
  const int first16[16] = {0x22, 0x2A, 0x26, 0x2E, 0x23, 0x2B, 0x27, 0x2F,
                           0x20, 0x28, 0x24, 0x2C, 0x21, 0x29, 0x25, 0x2D};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(t.Model4Decode[i], first16[i]) << i;
  EXPECT_EQ(t.Model4Decode[0x10], 0xA2);
  EXPECT_EQ(t.Model4Decode[0x80], 0x02);
  EXPECT_EQ(t.Model4Decode[0xFF], 0xDD);
  EXPECT_EQ(t.Model4Decode[0xA5], 0x4B);
}

TEST(BoardDecodeTableTest, NibbleTablesIgnoreStatusBit7AndBits0To2) {
  const DecodeTables t = Built();
  for (int s = 0; s < 128; ++s) {
    EXPECT_EQ(t.LowNibbleDecode[s], t.LowNibbleDecode[s + 128]);
    EXPECT_EQ(t.LowNibbleDecode[s], s / 8);
    EXPECT_EQ(t.HighNibbleDecode[s], (s / 8) * 16);
  }
  EXPECT_EQ(t.LowNibbleDecode[0x78] | t.HighNibbleDecode[0x08], 0x1F);
}

TEST(BoardDecodeTableTest, PrintableSetHas91Characters) {
  EXPECT_EQ(kPrintableChars.size(), 91u);
  EXPECT_EQ(kPrintableChars.find(' '), std::string::npos);
}

}  // namespace
}  // namespace sorvell::board
