#include "board/board_config.h"

#include <gtest/gtest.h>

namespace sorvell::board {
namespace {

TEST(BoardConfigTest, WrittenFileHasFourCrLfLines) {
  EXPECT_EQ(FormatBoardConfig("12-08-2026", "10:58:39", 0x3BC, 6),
            "[SORVELL6 SETUP]\r\nDATE = 12-08-2026 10:58:39\r\nIO_PORT = 3BC\r\nMODEL =  6\r\n");
}

TEST(BoardConfigTest, WhatIsWrittenReadsBack) {
  const BoardConfig config =
      ParseBoardConfig(FormatBoardConfig("01-02-2027", "03:04:05", 0x278, 4));
  EXPECT_TRUE(config.NamesBoard());
  EXPECT_EQ(config.port, 0x278);
  EXPECT_EQ(config.model, 4);
}

TEST(BoardConfigTest, KeysInEitherOrderAndRepeats) {
  EXPECT_EQ(ParseBoardConfig("MODEL = 5\nIO_PORT = 378\n").keys, "MODELPORT");
  EXPECT_TRUE(ParseBoardConfig("MODEL = 5\nIO_PORT = 378\n").NamesBoard());
  const BoardConfig twice = ParseBoardConfig("IO_PORT = 278\r\nIO_PORT = 378\r\nMODEL = 5\r\n");
  EXPECT_EQ(twice.keys, "PORTPORTMODEL");
  EXPECT_FALSE(twice.NamesBoard());
  EXPECT_EQ(twice.port, 0x378);  // the later line wins
  const BoardConfig portOnly = ParseBoardConfig("IO_PORT = 278");
  EXPECT_TRUE(portOnly.hasPort);
  EXPECT_FALSE(portOnly.hasModel);
  EXPECT_FALSE(portOnly.NamesBoard());
}

TEST(BoardConfigTest, OnlyExactKeysCountAndValuesReadLeniently) {
  const BoardConfig junk = ParseBoardConfig(
      "[SORVELL6 SETUP]\nDATE = x\nio_port = 278\nIO_PORT= 278\n MODEL = 4\n"
      "garbage\n\nMODEL = 6\n");
  EXPECT_EQ(junk.keys, "MODEL");
  EXPECT_EQ(junk.model, 6);
  // Blanks are skipped inside the number; reading stops at the first other character.
  EXPECT_EQ(ParseBoardConfig("IO_PORT = 3 b c h\n").port, 0x3BC);
  EXPECT_EQ(ParseBoardConfig("IO_PORT = 27 8;comment\n").port, 0x278);
  EXPECT_EQ(ParseBoardConfig("MODEL =  5 boards\n").model, 5);
  EXPECT_EQ(ParseBoardConfig("MODEL = five\n").model, 0);
  EXPECT_EQ(ParseBoardConfig("IO_PORT = \n").port, 0);
}

TEST(BoardConfigTest, PortBeyondSixteenBitsIsIgnored) {
  const BoardConfig config = ParseBoardConfig("IO_PORT = 378\nIO_PORT = FFFFFFFFFFFF\nMODEL = 5\n");
  EXPECT_EQ(config.port, 0x378);
  EXPECT_EQ(config.badPortLines, 1);
  EXPECT_TRUE(config.NamesBoard());
}

}  // namespace
}  // namespace sorvell::board
