#include <gtest/gtest.h>

#include "board_fixture.h"

namespace sorvell::board::testing {
namespace {

constexpr std::uint16_t kData = 0x378, kStatus = 0x379, kControl = 0x37A;

TEST(BoardRegisterWriteTest, Model4WritesDataThenSelectClockRelease) {
  RecordedBoard rb(4);
  rb.board.StrobeCount = 7;
  rb.board.Reg3Shadow = 0xC4;
  rb.board.SetReg3();
  using R = RecordedBoard;
  EXPECT_EQ(rb.port.Accesses(), (std::vector<R::Access>{R::Out(kData, 0xC4), R::Out(kControl, 0),
                                                        R::Out(kControl, 1), R::Out(kControl, 0)}));
  // Two strobe waits: after the data and after the select, none before the release.
  EXPECT_EQ(rb.timing.spins, (std::vector<std::int64_t>{7, 7}));
}

TEST(BoardRegisterWriteTest, Model5And6UseInvertedControlValues) {
  for (int model : {5, 6}) {
    RecordedBoard rb(model);
    rb.board.Reg3Shadow = 0x12;
    rb.board.SetReg3();
    using R = RecordedBoard;
    EXPECT_EQ(rb.port.Accesses(),
              (std::vector<R::Access>{R::Out(kData, 0x12), R::Out(kControl, 15),
                                      R::Out(kControl, 14), R::Out(kControl, 15)}));
  }
}

TEST(BoardRegisterWriteTest, EveryRegisterClocksItsOwnLatch) {
  // Model 4 latch addresses in control bits 3..1: R0 101b, R1 001b, R2 100b, R3 000b, R4 111b.
  const int latchAddress[5] = {5, 1, 4, 0, 7};
  RecordedBoard rb(4);
  void (Board::*writes[5])() = {&Board::SetReg0, &Board::SetReg1, &Board::SetReg2, &Board::SetReg3,
                                &Board::SetReg4};
  for (int reg = 0; reg < 5; ++reg) {
    rb.port.Clear();
    (rb.board.*writes[reg])();
    const auto& a = rb.port.Accesses();
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[1].value, latchAddress[reg] << 1) << "register " << reg;
    EXPECT_EQ(a[2].value, (latchAddress[reg] << 1) | 1) << "register " << reg;
    EXPECT_EQ(a[3].value, a[1].value);
  }
}

TEST(BoardModelSelectTest, PortsFollowDataPortAndUnknownModelKeepsStrobes) {
  RecordedBoard rb(5);
  rb.board.DataPort = kLpt278;
  rb.board.BoardModel = 0;
  rb.board.SelectModelStrobes();
  EXPECT_EQ(rb.board.StatusPort, 0x279);
  EXPECT_EQ(rb.board.ControlPort, 0x27A);
  EXPECT_EQ(rb.board.Reg3StrobeA, 15);
  EXPECT_EQ(rb.board.ReadLowSelect, 5);
  EXPECT_EQ(rb.board.ReadHighSelect, 1);

  rb.board.BoardModel = 4;
  rb.board.SelectModelStrobes();
  EXPECT_EQ(rb.board.Reg0StrobeA, 10);
  EXPECT_EQ(rb.board.Reg4StrobeB, 15);
  EXPECT_EQ(rb.board.ReadHighSelect, 4);
}

TEST(BoardResetTest, IdleShadowsLeaveRegister4Alone) {
  RecordedBoard rb(5);
  bool hookRan = false;
  rb.board.OnReset = [&] { hookRan = true; };
  rb.board.Reg4Shadow = 0x5A;
  rb.board.CurrentAddress = 0x12345;
  rb.board.Reset();
  EXPECT_EQ(rb.board.Reg0Shadow, 0x40);
  EXPECT_EQ(rb.board.Reg1Shadow, 0);
  EXPECT_EQ(rb.board.Reg2Shadow, 0);
  EXPECT_EQ(rb.board.Reg3Shadow, 0xC4);
  EXPECT_EQ(rb.board.Reg4Shadow, 0x5A);
  EXPECT_EQ(rb.board.CurrentAddress, 0);
  EXPECT_TRUE(hookRan);
  // Registers 0..3 in that order, register 4 never.
  const auto& a = rb.port.Accesses();
  ASSERT_EQ(a.size(), 16u);
  EXPECT_EQ(a[0].value, 0x40);
  EXPECT_EQ(a[13].value, 15);  // register 3 A on model 5/6
}

TEST(BoardResetTest, FixedBitsReachRegisters1And3) {
  RecordedBoard rb(4);
  rb.board.Reg1FixedBits = 0xC0;
  rb.board.Reg3FixedBits = 0x01;
  rb.board.Reset();
  EXPECT_EQ(rb.board.Reg1Shadow, 0xC0);
  EXPECT_EQ(rb.board.Reg3Shadow, 0xC5);
}

TEST(BoardBitTest, SingleBitProceduresEditOnlyTheirBits) {
  RecordedBoard rb(4);
  Board& b = rb.board;
  b.Reg0Shadow = 0x4D;
  b.VPP24_ON();
  EXPECT_EQ(b.Reg0Shadow, 0xCD);
  b.VPP24_OFF();  // clears output-enable inactive too: outputs end up enabled
  EXPECT_EQ(b.Reg0Shadow, 0x0D);
  b.REG0B3OFF();
  EXPECT_EQ(b.Reg0Shadow, 0x05);
  b.REG0B3ON();
  EXPECT_EQ(b.Reg0Shadow, 0x0D);

  b.Reg3Shadow = 0xC5;
  b.REG4ON();
  EXPECT_EQ(b.Reg3Shadow, 0x85);
  b.REG4OFF();
  EXPECT_EQ(b.Reg3Shadow, 0xC5);

  b.Reg1Shadow = 0x3F;
  b.REG1B7ON();
  b.REG1B6ON();
  EXPECT_EQ(b.Reg1Shadow, 0xFF);
  b.REG1B7OFF();
  EXPECT_EQ(b.Reg1Shadow, 0x7F);
  b.REG1B6OFF();
  EXPECT_EQ(b.Reg1Shadow, 0x3F);
  // Each procedure wrote its whole register once.
  EXPECT_EQ(rb.port.Accesses().size(), 10u * 4u);
}

TEST(BoardBitTest, ChipAndOutputEnables) {
  RecordedBoard rb(5);
  Board& b = rb.board;
  b.Reg0Shadow = 0xC8;
  b.Reg3Shadow = 0xC4;
  b.CEOEON();
  EXPECT_EQ(b.Reg3Shadow, 0x44);
  EXPECT_EQ(b.Reg0Shadow, 0x08);
  // Register 3 first, then register 0.
  EXPECT_EQ(rb.port.Accesses()[0].value, 0x44);
  EXPECT_EQ(rb.port.Accesses()[4].value, 0x08);
  b.CEOEOFF();
  EXPECT_EQ(b.Reg3Shadow, 0xC4);
  EXPECT_EQ(b.Reg0Shadow, 0x48);  // bit 6 back, bit 7 (VPP on OE) stays off
  b.CEON();
  EXPECT_EQ(b.Reg3Shadow, 0x44);
  b.CEOFF();
  EXPECT_EQ(b.Reg3Shadow, 0xC4);
  b.Reg0Shadow = 0xC0;
  b.OEON();
  EXPECT_EQ(b.Reg0Shadow, 0x00);
  b.OEOFF();
  EXPECT_EQ(b.Reg0Shadow, 0x40);
}

TEST(BoardPortGuardTest, NoPortChosenMeansNoPortAccess) {
  RecordedBoard rb(5);
  rb.board.DataPort = 0;
  rb.board.SelectModelStrobes();
  rb.board.Reset();
  rb.board.GetNibbles();
  EXPECT_TRUE(rb.port.Accesses().empty());
  EXPECT_EQ(rb.board.RefusedPortAccesses, 16u + 4u);
  EXPECT_EQ(rb.board.ReadByte, 0xFF);  // nothing connected reads all ones
}

TEST(BoardPortGuardTest, StrobesAreZeroBeforeAnyModelIsSelected) {
  RecordingPort port;
  CountingTiming timing;
  Board board(port, timing);
  board.InitStrobeTable();
  board.DataPort = kLpt378;
  board.SelectModelStrobes();  // model 0: ports derived, strobes stay 0
  board.Reg2Shadow = 0x33;
  board.SetReg2();
  using R = RecordedBoard;
  EXPECT_EQ(port.Accesses(), (std::vector<R::Access>{R::Out(kData, 0x33), R::Out(kControl, 0),
                                                     R::Out(kControl, 0), R::Out(kControl, 0)}));
}

}  // namespace
}  // namespace sorvell::board::testing
