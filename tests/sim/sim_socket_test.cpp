#include <gtest/gtest.h>

#include "sim/sim_port.h"
#include "sim_test_support.h"

namespace sorvell::sim {
namespace {

using test::ProbeChip;

// Socket pins of A0..A19 in the JEDEC 32-pin package.
constexpr int kAddressPins[20] = {12, 11, 10, 9,  8,  7, 6, 5,  27, 26,
                                  23, 25, 4,  28, 29, 3, 2, 30, 31, 1};

class SimSocketTest : public ::testing::Test {
 protected:
  ProbeChip& Insert(int pinCount) {
    auto chip = std::make_unique<ProbeChip>(pinCount);
    ProbeChip& probe = *chip;
    board_->Insert(std::move(chip));
    return probe;
  }
  void Write(int latch, std::uint8_t value) {
    test::WriteLatch(port_, board_->Model(), latch, value);
  }
  std::uint16_t Pin(int pin) const { return board_->Lines().millivolts[pin]; }

  VirtualClock clock_;
  SimulatedPort port_{clock_};
  SimBoard* board_ = &port_.PlaceBoard(5, test::kBase);
};

TEST_F(SimSocketTest, EachAddressBitReachesItsJedecPin) {
  for (int bit = 0; bit < 20; ++bit) {
    const std::uint32_t address = 1u << bit;
    Write(2, address & 0xFF);
    Write(1, (address >> 8) & 0xFF);
    Write(3, (address >> 16) & 0x0F);
    for (int other = 0; other < 20; ++other) {
      EXPECT_EQ(Pin(kAddressPins[other]), other == bit ? 5000 : 0) << bit << " " << other;
    }
  }
}

TEST_F(SimSocketTest, ControlDataAndSupplyPins) {
  Write(3, 0x80);
  Write(0, 0x40);
  Write(4, 0x81);
  EXPECT_EQ((std::array{Pin(22), Pin(24), Pin(13), Pin(14), Pin(21), Pin(16), Pin(32)}),
            (std::array<std::uint16_t, 7>{5000, 5000, 5000, 0, 5000, 0, 5000}));
  Write(3, 0x40);  // CE low, R4 off: the data lines are pulled up
  EXPECT_EQ(Pin(22) + Pin(14), 5000);
}

// R0 bits 7, 5, 4 switch VPP onto pins 24, 1, 3; models 5/6 set its level with bits 1..0 (01 is
// 12.5 V), model 4 has it only while bit 2 enables it and otherwise passes 5 V.
TEST_F(SimSocketTest, VppSwitchesAndLevels) {
  const struct {
    int model;
    std::uint8_t r0;
    int pin;
    std::uint16_t millivolts;
  } cases[] = {{5, 0x82, 24, 21000}, {5, 0x23, 1, 25000},  {5, 0x11, 3, 12500}, {6, 0x80, 3, 0},
               {4, 0x80, 24, 5000},  {4, 0x84, 24, 12500}, {4, 0x24, 1, 12500}};
  for (const auto& c : cases) {
    board_ = &port_.PlaceBoard(c.model, test::kBase);
    Write(0, c.r0);
    EXPECT_EQ(Pin(c.pin), c.millivolts) << c.model << " " << int{c.r0};
  }
  board_->SetModel4VppMillivolts(21000);
  EXPECT_EQ(Pin(1), 21000);
}

TEST_F(SimSocketTest, PartHearsOnlyRealChanges) {
  ProbeChip& probe = Insert(32);
  EXPECT_EQ(probe.changes, 1) << "a new part learns the lines";
  Write(1, 0x00);
  test::ReadDataBus(port_, 5);
  Write(3, 0x40);
  Write(4, 0x5A);  // R4 does not drive, the LED and the VPP level reach no socket pin
  Write(0, 0x0B);
  EXPECT_EQ(probe.changes, 2);
  Write(1, 0x80);
  EXPECT_TRUE(probe.Pins().High(3));
  board_->PowerOn();
  EXPECT_FALSE(probe.Pins().High(3));
  EXPECT_EQ(probe.changes, 4);
}

// Device pin 28 (VCC) of a 28-pin part is socket pin 30, A17; pin 24 of a 24-pin part is A13.
TEST_F(SimSocketTest, SmallPartsSitAtTheBottomOfTheSocket) {
  ProbeChip& part28 = Insert(28);
  EXPECT_FALSE(part28.Pins().Powered(28));
  Write(3, 0x02);
  EXPECT_TRUE(part28.Pins().Powered(28));
  EXPECT_EQ(part28.Pins().SocketPin(1), 3);
  ProbeChip& part24 = Insert(24);
  Write(1, 0x20);
  EXPECT_TRUE(part24.Pins().Powered(24));
  EXPECT_EQ(part24.Pins().Millivolts(12), 0) << "GND";
}

}  // namespace
}  // namespace sorvell::sim
