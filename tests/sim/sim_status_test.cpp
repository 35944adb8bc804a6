#include <gtest/gtest.h>

#include "sim/rom_chip.h"
#include "sim/sim_port.h"
#include "sim_test_support.h"

namespace sorvell::sim {
namespace {

using test::kBase;
using test::ReadDataBus;
using test::ReadStatus;
using test::WriteLatch;

class SimStatusTest : public ::testing::TestWithParam<int> {
 protected:
  int Model() const { return GetParam(); }
  VirtualClock clock_;
  SimulatedPort port_{clock_};
  SimBoard& board_ = port_.PlaceBoard(GetParam(), kBase);
};

TEST_P(SimStatusTest, EveryDataBitComesBackThroughItsStatusInput) {
  for (int bit = 0; bit < 8; ++bit) {
    for (std::uint8_t value : {std::uint8_t(1u << bit), std::uint8_t(~(1u << bit))}) {
      WriteLatch(port_, Model(), 4, value);
      EXPECT_EQ(ReadDataBus(port_, Model()), value) << "bit " << bit;
    }
  }
}

// Bits 0..2 and model 4's bit 3 carry nothing and float high; the undriven Busy input of models
// 5/6 then reads 0, while model 4's Busy carries D1 or D5 inverted.
TEST_P(SimStatusTest, UndrivenInputsAndInvertedBusy) {
  WriteLatch(port_, Model(), 4, 0x00);
  EXPECT_EQ(ReadStatus(port_, Model(), false), Model() == 4 ? 0x8F : 0x07);
  WriteLatch(port_, Model(), 4, 0xFF);
  EXPECT_EQ(ReadStatus(port_, Model(), true), 0x7F);
}

// R3 bit 6 turns R4 off, bit 5 is the model 6 identification line.
TEST_P(SimStatusTest, IdentificationLinePullsD4LowOnlyOnModel6AndOnlyWithR4Off) {
  const bool model6 = Model() == 6;
  WriteLatch(port_, Model(), 3, 0x60);
  EXPECT_EQ(ReadDataBus(port_, Model()), model6 ? 0xEF : 0xFF);
  EXPECT_EQ(board_.Lines().millivolts[18], model6 ? 0 : 5000) << "a part sees it on D4 too";
  WriteLatch(port_, Model(), 4, 0xFF);
  WriteLatch(port_, Model(), 3, 0x20);
  EXPECT_EQ(ReadDataBus(port_, Model()), 0xFF);
}

INSTANTIATE_TEST_SUITE_P(SimModels, SimStatusTest, ::testing::Values(4, 5, 6),
                         ::testing::PrintToStringParamName());

TEST(SimPortTest, DataAndControlReadBackOnlyWhereABoardAnswers) {
  VirtualClock clock;
  SimulatedPort port(clock);
  port.PlaceBoard(5, 0x378);
  port.PortOut(0x378, 0x3C);
  port.PortOut(0x37A, 0xE4);
  EXPECT_EQ(port.PortIn(0x378), 0x3C);
  EXPECT_EQ(port.PortIn(0x37A), 0xE4);
  port.RemoveBoard(0x378);
  EXPECT_EQ(port.BoardAt(0x378), nullptr);
  for (std::uint16_t address : {0x378, 0x379, 0x37A, 0x27A, 0x3BD, 0x300}) {
    EXPECT_EQ(port.PortIn(address), 0xFF) << std::hex << address;
  }
  EXPECT_THROW(port.PlaceBoard(5, 0x379), std::invalid_argument);
  EXPECT_THROW(port.PlaceBoard(7, 0x378), std::invalid_argument);
}

TEST(SimPortTest, BoardsAtSeveralBasesAreIndependent) {
  VirtualClock clock;
  SimulatedPort port(clock);
  SimBoard& first = port.PlaceBoard(4, 0x378);
  SimBoard& second = port.PlaceBoard(6, 0x3BC);
  WriteLatch(port, 4, 1, 0x12, 0x378);
  WriteLatch(port, 6, 1, 0x34, 0x3BC);
  EXPECT_EQ(first.Latch(1), 0x12);
  EXPECT_EQ(second.Latch(1), 0x34);
  EXPECT_EQ(port.PlaceBoard(5, 0x378).Latch(1), 0) << "a replaced board starts afresh";
}

TEST(SimPortTest, EveryAccessIsCountedAndCostsVirtualTime) {
  VirtualClock clock;
  SimulatedPort port(clock);
  port.PortOut(0x378, 1);
  port.PortIn(0x379);
  port.PortIn(0x278);
  EXPECT_EQ(port.Writes(), 1u);
  EXPECT_EQ(port.Reads(), 2u);
  EXPECT_EQ(clock.NowNs(), 3000u);
  port.SetAccessCostNs(250);
  port.ResetCounters();
  port.PortOut(0x378, 1);
  EXPECT_EQ(clock.NowNs(), 3250u);
  EXPECT_EQ(port.Writes() + port.Reads(), 1u);
}

// R4 driving the data lines while the part drives them too is a clash, counted once for each time
// it begins; with either output off there is none. What a clash reads is neither driver's byte.
TEST(SimPortTest, ABusClashIsCountedWhenItBegins) {
  VirtualClock clock;
  SimulatedPort port(clock);
  SimBoard& board = port.PlaceBoard(5, kBase);
  WriteLatch(port, 5, 3, 0x40);  // CE on, R4 off the bus
  WriteLatch(port, 5, 0, 0x00);  // OE on: the part drives
  board.Insert(std::make_unique<RomChip>(std::vector<std::uint8_t>(256, 0x5A)));
  EXPECT_EQ(ReadDataBus(port, 5), 0x5A);
  WriteLatch(port, 5, 3, 0x00);  // R4 drives as well
  WriteLatch(port, 5, 4, 0xF0);
  EXPECT_EQ(board.BusClashes(), 1u);
  EXPECT_EQ(ReadDataBus(port, 5), 0x50);
  WriteLatch(port, 5, 3, 0x80);  // CE off: only R4 drives
  WriteLatch(port, 5, 3, 0x00);
  EXPECT_EQ(board.BusClashes(), 2u);
}

// A board that loses its power or cable, and a port that fails: what the program then meets.
TEST(SimPortTest, ABoardGoesSilentAndAPortFailsAfterTheirAccesses) {
  VirtualClock clock;
  SimulatedPort port(clock);
  SimBoard& board = port.PlaceBoard(5, kBase);
  auto made = std::make_unique<test::ProbeChip>(32);
  const test::ProbeChip& part = *made;
  board.Insert(std::move(made));
  WriteLatch(port, 5, 1, 0x12);
  board.LoseConnectionAfter(3);
  WriteLatch(port, 5, 4, 0x0F);  // these three accesses still reach it
  EXPECT_EQ(board.Latch(4), 0x0F);
  EXPECT_EQ(port.PortIn(kBase + 1), 0xFF);
  EXPECT_FALSE(board.Connected());
  EXPECT_EQ(board.Latch(1), 0) << "the latches forget";
  EXPECT_FALSE(part.Pins().Powered(32)) << "the part loses its supply";
  WriteLatch(port, 5, 4, 0x00);
  EXPECT_EQ(ReadDataBus(port, 5), 0xFF);
  board.Reconnect();
  EXPECT_EQ(ReadDataBus(port, 5), 0x00);

  port.FailAfter(1);
  EXPECT_NO_THROW(port.PortOut(kBase, 0));
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      port.PortIn(kBase + 1);
      ADD_FAILURE() << "the failed port answered";
    } catch (const board::PortFault& fault) {
      EXPECT_STREQ(fault.what(), "simulated port at 378h: reading the status port: No such device");
    }
  }
  port.Repair();
  EXPECT_EQ(ReadDataBus(port, 5), 0x00);
}

}  // namespace
}  // namespace sorvell::sim
