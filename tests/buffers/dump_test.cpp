#include "buffers/dump.h"

#include <gtest/gtest.h>

#include "buffers/buffers.h"

namespace sorvell::buffers {
namespace {

TEST(BuffersDumpTest, LineLayoutAndBufferAsciiRule) {
  const std::uint8_t hello[16] = {'H', 'e', 'l', 'l', 'o',  ' ',  'W',  'o',
                                  'r', 'l', 'd', '!', 0xFF, 0xFF, 0xFF, 0xFF};
  const std::string line = DumpLine(0x100, hello, AsciiRule::kBuffer);
  EXPECT_EQ(line, "000100| 48656C6C 6F20576F 726C6421 FFFFFFFF | Hello.World!....");
  EXPECT_EQ(line.size(), 62u);
  std::uint8_t run[16];
  for (int i = 0; i < 16; ++i) run[i] = static_cast<std::uint8_t>(0x20 + i);
  EXPECT_EQ(DumpLine(0x20, run, AsciiRule::kBuffer).substr(46), ".!.#$%&'()*+,-./");
  EXPECT_EQ(DumpLine(0x20, run, AsciiRule::kDevice).substr(46), " !\"#$%&'()*+,-./");
}

TEST(BuffersDumpTest, BracesTildeAndHighBytes) {
  const std::uint8_t bytes[16] = {0x7B, 0x7C, 0x7D, 0x7E, 0x60, 0x7A, 0x80, 0xE9,
                                  0x00, 0x41, 0x30, 0x5C, 0x27, 0x3F, 0x0D, 0x0A};
  EXPECT_EQ(DumpLine(0xABCDEF, bytes, AsciiRule::kBuffer).substr(46), "{|}..z...A0\\'?..");
  EXPECT_EQ(DumpLine(0xABCDEF, bytes, AsciiRule::kDevice).substr(46), "....`z...A0\\'?..");
  EXPECT_EQ(DumpLine(0x1ABCDEF, bytes, AsciiRule::kBuffer).substr(0, 8), "ABCDEF| ");
}

TEST(BuffersChecksumTest, SumModulo65536AsFourDigits) {
  EXPECT_EQ(FileChecksum(std::vector<std::uint8_t>{'a', 'b', 'c'}), 294);
  EXPECT_EQ(ChecksumText(294), "0126");
  EXPECT_EQ(ChecksumText(FileChecksum(std::vector<std::uint8_t>(256, 0xFF))), "FF00");
  EXPECT_EQ(ChecksumText(FileChecksum(std::vector<std::uint8_t>(258, 0xFF))), "00FE");
}

}  // namespace
}  // namespace sorvell::buffers
