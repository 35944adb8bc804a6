// The two-wire bus primitives as register writes and status reads, from the recording port.
#include <gtest/gtest.h>

#include "../operation/operation_rig.h"
#include "panel/window_layouts.h"
#include "serial/two_wire_bus.h"

namespace sorvell::serial {
namespace {

using board::testing::RecordedBoard;
using namespace panel::testing;

constexpr std::uint16_t kData = 0x378;

struct BusRig : operation::testing::OperationRig {
  BusRig() : OperationRig(5) {}
  // (register, value) of every register write since the last call.
  std::vector<std::pair<int, int>> Writes() {
    std::vector<std::pair<int, int>> writes;
    const auto& all = rb.port.Accesses();
    const int b[] = {rb.board.Reg0StrobeB, rb.board.Reg1StrobeB, rb.board.Reg2StrobeB,
                     rb.board.Reg3StrobeB, rb.board.Reg4StrobeB};
    for (std::size_t i = 0; i + 2 < all.size(); ++i) {
      if (!all[i].isWrite || all[i].port != kData) continue;
      for (int reg = 0; reg < 5; ++reg) {
        if (all[i + 2].value == b[reg]) writes.emplace_back(reg, all[i].value);
      }
    }
    rb.port.Clear();
    return writes;
  }

  TwoWireBus bus{operation};
};

TEST(TwoWireBusTest, StartAndStopAreSdaEdgesWhileSclIsHigh) {
  BusRig rig;
  rig.rb.board.Reg3Shadow = 0xC0;  // idle: SCL high, SDA released
  rig.bus.Start24CXX();
  EXPECT_EQ(rig.Writes(), (std::vector<std::pair<int, int>>{
                              {3, 0x40}, {4, 0x80}, {3, 0x00}, {3, 0x80}, {4, 0x00}, {3, 0x00}}));
  rig.bus.Stop24CXX();
  EXPECT_EQ(rig.Writes(), (std::vector<std::pair<int, int>>{
                              {3, 0x00}, {4, 0x00}, {3, 0x00}, {3, 0x80}, {4, 0x80}, {3, 0x00}}));
}

TEST(TwoWireBusTest, AByteGoesOutMostSignificantBitFirstEachWithAClock) {
  BusRig rig;
  rig.rb.board.Reg3Shadow = 0x00;
  rig.run.ProgramByte = 0xA0;
  rig.rb.port.QueueReads({0x00});  // the acknowledge: D7 low at once
  rig.bus.SendByte24CXX();
  std::vector<int> data;
  int clocks = 0;
  for (const auto& [reg, value] : rig.Writes()) {
    if (reg == 4) data.push_back(value);
    if (reg == 3 && (value & 0x80)) ++clocks;
  }
  EXPECT_EQ(data, (std::vector<int>{0xA0, 0x40, 0x80, 0, 0, 0, 0, 0}));
  EXPECT_EQ(clocks, 8 + 1);  // the ninth is the acknowledge's
  EXPECT_EQ(rig.run.AckCount, 0);
  EXPECT_EQ(rig.rb.timing.sleptMs, 0u);
}

TEST(TwoWireBusTest, NoAcknowledgeMeans200SamplesAMillisecondApartAndStillANinthClock) {
  BusRig rig;
  rig.run.ProgramByte = 0xA0;
  rig.bus.SendByte24CXX();  // nothing pulls D7 low: the port reads FFh
  EXPECT_EQ(rig.run.AckCount, 200);
  EXPECT_EQ(rig.rb.timing.sleptMs, 200u);
  const auto writes = rig.Writes();
  ASSERT_GE(writes.size(), 2u);
  // SDA released (bit 6 set): SCL up and down.
  EXPECT_EQ(writes[writes.size() - 2], (std::pair<int, int>{3, 0xC0}));
  EXPECT_EQ(writes.back(), (std::pair<int, int>{3, 0x40}));
}

TEST(TwoWireBusTest, ReceivingSamplesD7WhileSclIsHigh) {
  BusRig rig;
  rig.bus.ReceiveByte24CXX();  // released bus: all ones
  EXPECT_EQ(rig.rb.board.ReadByte, 0xFF);
  rig.rb.port.QueueReads({0, 0, 0, 0, 0, 0, 0, 0});
  rig.bus.ReceiveByte24CXX();
  EXPECT_EQ(rig.rb.board.ReadByte, 0x00);
}

}  // namespace
}  // namespace sorvell::serial
