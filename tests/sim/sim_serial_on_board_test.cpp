#include <gtest/gtest.h>

#include <algorithm>

#include "shell/simulator_commands.h"
#include "sim/serial_eeprom_chip.h"
#include "sim/sim_port.h"
#include "sim/writable_parts.h"
#include "sim_test_support.h"
#include "two_wire_master.h"

// A serial EEPROM in its adapter, put there by the console's sim lines and driven by raw latch
// writes: SCL is the CE line (R3 bit 7), SDA is D7, driven low by R4 bit 7 while R4 drives and
// read back through the status inputs.
namespace sorvell::sim {
namespace {

constexpr int kModel = 5;
constexpr std::uint8_t kR3Scl = 0x80;
constexpr std::uint8_t kR3DataOff = 0x40;
constexpr std::uint64_t kMs = 1'000'000;

class SimSerialOnBoardTest : public ::testing::Test,
                             public test::TwoWireMaster<SimSerialOnBoardTest> {
 public:
  void SetUp() override {
    Write(4, 0xFF);
    Write(3, kR3Scl);  // R4 drives, SCL high, SDA released
  }
  bool Sim(const std::string& line) { return shell::RunSimCommand(*board_, line, error_); }
  // Each latch write is followed by the 5 us a 100 kHz part needs between bus edges.
  void Write(int latch, std::uint8_t value) {
    test::WriteLatch(port_, kModel, latch, value);
    clock_.AdvanceNs(5000);
  }
  void Scl(bool high) {
    r3_ = static_cast<std::uint8_t>(high ? r3_ | kR3Scl : r3_ & ~kR3Scl);
    Write(3, r3_);
  }
  void Sda(bool high) { Write(4, high ? 0xFF : 0x7F); }
  bool SdaLine() { return (test::ReadDataBus(port_, kModel) & 0x80) != 0; }

  VirtualClock clock_;
  SimulatedPort port_{clock_};
  SimBoard* board_ = &port_.PlaceBoard(kModel, test::kBase);
  std::uint8_t r3_ = kR3Scl;
  std::string error_;
};

TEST_F(SimSerialOnBoardTest, WriteAndReadBackThroughTheLatchesWithSdaWiredAnd) {
  ASSERT_TRUE(Sim("insert 24C16")) << error_;
  Start();
  ASSERT_TRUE(Send(0xAE)) << "block 7";
  ASSERT_TRUE(Send(0x40));
  ASSERT_TRUE(Send(0x3C));
  ASSERT_TRUE(Send(0xC3));
  Stop();
  EXPECT_EQ(dynamic_cast<SerialEepromChip&>(*board_->Chip()).Contents()[0x740], 0x3C);
  Start();
  EXPECT_FALSE(Send(0xAE)) << "busy in its write cycle";
  Stop();
  clock_.AdvanceNs(5 * kMs);
  Start();
  ASSERT_TRUE(Send(0xAE));
  ASSERT_TRUE(Send(0x40));
  Start();
  ASSERT_TRUE(Send(0xAF));
  EXPECT_EQ(Receive(true), 0x3C);
  // With R4 off the bus the pull-up and the part alone make D7.
  r3_ |= kR3DataOff;
  Write(3, r3_);
  EXPECT_EQ(Receive(false), 0xC3);
  r3_ &= static_cast<std::uint8_t>(~kR3DataOff);
  Write(3, r3_);
  Stop();
  EXPECT_EQ(board_->ChipViolations().Count(), 0u) << board_->ChipViolations().Last();
}

TEST_F(SimSerialOnBoardTest, SimLinesInsertTheSerialPartsAndSetTheirFaults) {
  const std::vector<std::string> names = SocketPartNames();
  for (const char* part : {"24C08", "24C16", "24C32"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), part), names.end()) << part;
    ASSERT_TRUE(Sim(std::string("insert ") + part)) << error_;
  }
  EXPECT_TRUE(Sim("fault stuck FFF FF 00"));
  EXPECT_FALSE(Sim("fault stuck 1000 FF 00")) << "beyond the 24C32";
  EXPECT_EQ(dynamic_cast<SerialEepromChip&>(*board_->Chip()).Contents()[0xFFF], 0x00);
  EXPECT_TRUE(Sim("fault busy"));
  EXPECT_TRUE(Sim("fault no-ack"));
  Start();
  EXPECT_FALSE(Send(0xA0));
  Stop();
  ASSERT_TRUE(Sim("insert 27C256"));
  EXPECT_FALSE(Sim("fault no-ack"));
  EXPECT_FALSE(Sim("fault busy"));
}

}  // namespace
}  // namespace sorvell::sim
