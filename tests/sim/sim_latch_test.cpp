#include <gtest/gtest.h>

#include "sim/sim_port.h"
#include "sim_test_support.h"

namespace sorvell::sim {
namespace {

using test::kBase;
using test::LatchControl;
using test::RawControl;

class SimLatchTest : public ::testing::TestWithParam<int> {
 protected:
  int Model() const { return GetParam(); }
  std::array<std::uint8_t, 5> Contents() const {
    return {board_.Latch(0), board_.Latch(1), board_.Latch(2), board_.Latch(3), board_.Latch(4)};
  }
  VirtualClock clock_;
  SimulatedPort port_{clock_};
  SimBoard& board_ = port_.PlaceBoard(GetParam(), kBase);
};

TEST_P(SimLatchTest, LatchFollowsDataWhileClockedAndHoldsAfterwards) {
  port_.PortOut(kBase + 2, LatchControl(Model(), 2, true));
  port_.PortOut(kBase, 0x12);
  port_.PortOut(kBase, 0x34);
  port_.PortOut(kBase + 2, LatchControl(Model(), 2, false));
  port_.PortOut(kBase, 0x56);
  EXPECT_EQ(board_.Latch(2), 0x34);
  for (int latch : {0, 1, 3, 4}) test::WriteLatch(port_, Model(), latch, 0x11 * (latch + 1));
  EXPECT_EQ(Contents(), (std::array<std::uint8_t, 5>{0x11, 0x22, 0x34, 0x44, 0x55}));
}

TEST_P(SimLatchTest, UnusedAddressesLoadNoLatch) {
  port_.PortOut(kBase + 2, RawControl(Model(), 0b0100));
  for (std::uint8_t address : {0b010, 0b011, 0b110}) {
    port_.PortOut(kBase, 0xA5);
    port_.PortOut(kBase + 2, RawControl(Model(), static_cast<std::uint8_t>(address << 1 | 1)));
    port_.PortOut(kBase, 0x5A);
  }
  EXPECT_EQ(Contents(), (std::array<std::uint8_t, 5>{}));
}

TEST_P(SimLatchTest, PowerOnContentsAreZeroOrReproduciblyRandom) {
  port_.PortOut(kBase + 2, RawControl(Model(), 0b0100));  // nothing transparent
  board_.PowerOn(7);
  const auto seven = Contents();
  board_.PowerOn(8);
  EXPECT_NE(Contents(), seven);
  board_.PowerOn(7);
  EXPECT_EQ(Contents(), seven);
  board_.PowerOn();
  EXPECT_EQ(Contents(), (std::array<std::uint8_t, 5>{}));
  port_.PortOut(kBase + 2, LatchControl(Model(), 1, true));
  board_.PowerOn(7);
  EXPECT_EQ(board_.Latch(1), port_.PortIn(kBase)) << "an open latch follows the data port";
}

INSTANTIATE_TEST_SUITE_P(SimModels, SimLatchTest, ::testing::Values(4, 5, 6),
                         ::testing::PrintToStringParamName());

// Raw control F4h is "R0, clock 1" for models 5/6 (n = 1011b; bits 7..4 unused) and "no latch,
// clock 0" for model 4.
TEST(SimLatchDecodeTest, Models5And6DecodeTheControlLinesInverted) {
  VirtualClock clock;
  SimulatedPort port(clock);
  SimBoard& model4 = port.PlaceBoard(4, 0x378);
  SimBoard& model5 = port.PlaceBoard(5, 0x278);
  for (std::uint16_t base : {0x378, 0x278}) {
    port.PortOut(base, 0xA5);
    port.PortOut(base + 2, 0xF4);
  }
  EXPECT_EQ(model5.Latch(0), 0xA5);
  for (int latch = 0; latch < 5; ++latch) EXPECT_EQ(model4.Latch(latch), 0) << latch;
}

}  // namespace
}  // namespace sorvell::sim
