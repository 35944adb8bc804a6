#include <gtest/gtest.h>

#include "board_fixture.h"

namespace sorvell::board::testing {
namespace {

constexpr std::uint16_t kStatus = 0x379, kControl = 0x37A;
using R = RecordedBoard;

TEST(BoardReadCycleTest, Model4ReadSequenceAndDecode) {
  RecordedBoard rb(4);
  // Worked example: first status 50h, second A0h give 4Bh.
  rb.port.QueueReads({0x50, 0xA0});
  rb.board.GetNibbles();
  EXPECT_EQ(rb.board.ReadByte, 0x4B);
  EXPECT_EQ(rb.port.Accesses(),
            (std::vector<R::Access>{R::Out(kControl, 0), R::In(kStatus, 0x50), R::Out(kControl, 4),
                                    R::In(kStatus, 0xA0)}));
  // Every line low reads 22h (D1 and D5 come in through the inverted Busy line); all high DDh.
  rb.port.QueueReads({0x00, 0x00, 0xF0, 0xF0});
  rb.board.GetNibbles();
  EXPECT_EQ(rb.board.ReadByte, 0x22);
  rb.board.GetNibbles();
  EXPECT_EQ(rb.board.ReadByte, 0xDD);
}

TEST(BoardReadCycleTest, Model56ReadSequenceIgnoresBusy) {
  for (int model : {5, 6}) {
    RecordedBoard rb(model);
    rb.port.QueueReads({0x78, 0x00, 0x00, 0x78, 0xF8, 0x88});
    rb.board.GetNibbles();
    EXPECT_EQ(rb.board.ReadByte, 0x0F);
    rb.board.GetNibbles();
    EXPECT_EQ(rb.board.ReadByte, 0xF0);
    rb.board.GetNibbles();  // bit 7 set in both reads changes nothing
    EXPECT_EQ(rb.board.ReadByte, 0x1F);
    EXPECT_EQ(rb.port.Accesses()[0], R::Out(kControl, 5));
    EXPECT_EQ(rb.port.Accesses()[2], R::Out(kControl, 1));
  }
}

TEST(BoardReadCycleTest, UnknownModelTouchesNothing) {
  RecordedBoard rb(0);
  rb.board.ReadByte = 0x77;
  rb.board.GetNibbles();
  rb.board.GetNibbles24CXX();
  EXPECT_EQ(rb.board.ReadByte, 0x77);
  EXPECT_TRUE(rb.port.Accesses().empty());
}

TEST(BoardReadCycleTest, UpperNibbleOnlyRead) {
  RecordedBoard rb4(4);
  rb4.port.QueueReads({0x0F});  // low status bits are not wired on model 4
  rb4.board.GetNibbles24CXX();
  EXPECT_EQ(rb4.board.ReadByte, 0x22);
  EXPECT_EQ(rb4.port.Accesses()[0], R::Out(kControl, 4));

  RecordedBoard rb5(5);
  rb5.port.QueueReads({0x40});  // status bit 6 carries D7
  rb5.board.GetNibbles24CXX();
  EXPECT_EQ(rb5.board.ReadByte, 0x80);
  EXPECT_EQ(rb5.port.Accesses()[0], R::Out(kControl, 1));
}

TEST(BoardAddressTest, SplitterAndIncrement) {
  RecordedBoard rb(5);
  Board& b = rb.board;
  b.CurrentAddress = 0x12345;
  b.Endereco2Adr();
  EXPECT_EQ(b.AddrByte2, 1);
  EXPECT_EQ(b.AddrByte1, 0x23);
  EXPECT_EQ(b.AddrByte0, 0x45);

  b.CurrentAddress = 0xFFFF;
  b.Endereco2Adr();
  b.IncADR();
  EXPECT_EQ(b.CurrentAddress, 0x10000);
  EXPECT_EQ(b.AddrByte2, 1);
  EXPECT_EQ(b.AddrByte1, 0);
  EXPECT_EQ(b.AddrByte0, 0);
  EXPECT_TRUE(rb.port.Accesses().empty());
}

TEST(BoardAddressTest, SetAddressWritesRegisters1To3ThroughTheMaps) {
  RecordedBoard rb(5);
  Board& b = rb.board;
  b.AdrMapC[4] = 8;  // a Flash family moves A18 to register 3 bit 3
  b.Reg3Shadow = 0xC4;
  b.Reg1FixedBits = 0x40;
  b.CurrentAddress = 0x4A5B6;
  b.Endereco2Adr();
  b.SETADR();
  EXPECT_EQ(b.Reg1Shadow, 0xA5 | 0x40);
  EXPECT_EQ(b.Reg2Shadow, 0xB6);
  EXPECT_EQ(b.Reg3Shadow, 0xC8);  // bit 3 set, not bit 2; control bits 7..4 kept
  const auto& a = rb.port.Accesses();
  ASSERT_EQ(a.size(), 12u);
  EXPECT_EQ(a[0].value, 0xE5);
  EXPECT_EQ(a[4].value, 0xB6);
  EXPECT_EQ(a[8].value, 0xC8);
}

TEST(BoardAddressTest, PageWriteAddressPathWritesOnlyChanges) {
  RecordedBoard rb(5);
  Board& b = rb.board;
  b.Reg1FixedBits = 0x40;
  b.Reg3Shadow = 0xC0;
  b.CurrentAddress = 0x4000;
  b.Endereco2Adr();
  b.SETADR_XICOR();
  EXPECT_EQ(b.Reg1Shadow, 0xC0);  // A14 on bit 7, the write enable (bit 6) held inactive
  EXPECT_EQ(b.Reg3Shadow, 0xC0);
  const auto written = rb.port.Accesses().size();
  EXPECT_EQ(written, 4u);  // register 2 stays 0, register 3 unchanged
  b.SETADR_XICOR();
  EXPECT_EQ(rb.port.Accesses().size(), written);

  b.CurrentAddress = 0;
  b.Endereco2Adr();
  b.SETADR_XICOR();
  EXPECT_EQ(b.Reg1Shadow, 0x40);
}

// An address past the board's twenty lines must not spill into register 3's control bits (chip
// enable, the data driver's enable, the identification line), on either address path.
TEST(BoardAddressTest, NoAddressReachesTheControlBitsOfRegister3) {
  for (const std::int32_t address : {0x100000, 0x200000, 0x1FFFFF}) {
    RecordedBoard rb(6);
    Board& b = rb.board;
    b.Reg3Shadow = 0xC4;
    b.CurrentAddress = address;
    b.Endereco2Adr();
    b.SETADR();
    EXPECT_EQ(b.Reg3Shadow & 0xF0, 0xC0) << std::hex << address;
    b.Reg3Shadow = 0xC0;
    b.SETADR_XICOR();
    EXPECT_EQ(b.Reg3Shadow & 0xF0, 0xC0) << std::hex << address;
  }
}

TEST(BoardDelayTest, BusyWaitsUseTheirCounts) {
  RecordedBoard rb(4);
  Board& b = rb.board;
  b.StrobeFactor = 5;
  b.SpeedCountA = 202;
  b.SpeedCountB = 1002;
  b.WaitSettlingTime();
  b.SpeedDelayA();
  b.SpeedDelayB();
  b.DelayLoop20();
  b.DelayLoop10();
  b.DelayLoop300();
  b.Sleep(1500);
  EXPECT_EQ(rb.timing.spins, (std::vector<std::int64_t>{500, 202, 1002, 20, 10, 300}));
  EXPECT_EQ(rb.timing.sleptMs, 1500u);
}

}  // namespace
}  // namespace sorvell::board::testing
