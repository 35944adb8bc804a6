#include <gtest/gtest.h>

#include "shell/simulator_commands.h"
#include "sim/amd_flash_chip.h"
#include "sim/page_write_chip.h"
#include "sim/sim_port.h"
#include "sim_test_support.h"

// The Flash and EEPROM parts in the board's socket, put there by the console's sim lines and
// driven by raw latch writes as the board description gives them.
namespace sorvell::sim {
namespace {

constexpr int kModel = 5;
constexpr std::uint8_t kR0OeHigh = 0x40;
constexpr std::uint8_t kR3CeHigh = 0x80;
constexpr std::uint8_t kR3DataOff = 0x40;
constexpr std::uint8_t kR3A18Line = 0x04;  // socket pin 31: WE# of the 32-pin Flash
constexpr std::uint8_t kR3A17Line = 0x02;  // socket pin 30: VCC of a 28-pin part

class SimFlashOnBoardTest : public ::testing::Test {
 protected:
  // Latches power up at 0, which is CE# and a 32-pin Flash's WE# low: deselect it first.
  void SetUp() override { Write(3, kR3CeHigh | kR3DataOff | kR3A18Line); }
  bool Sim(const std::string& line) { return shell::RunSimCommand(*board_, line, error_); }
  void Write(int latch, std::uint8_t value) { test::WriteLatch(port_, kModel, latch, value); }
  // A16 and A17 on board lines A16/A17 (R3 bits 0, 1); the 32-pin Flash's A18 sits on pin 1,
  // board line A19 (R3 bit 3).
  static std::uint8_t HighLines(std::uint32_t address) {
    return static_cast<std::uint8_t>((address >> 16 & 0x03) | (address >> 15 & 0x08));
  }
  // A write cycle on a 32-pin Flash: address and data set, then CE# and WE# (R3) low together.
  void FlashWrite(std::uint32_t address, std::uint8_t data) {
    Write(0, kR0OeHigh);
    Write(2, address & 0xFF);
    Write(1, (address >> 8) & 0xFF);
    Write(4, data);
    const std::uint8_t high = HighLines(address);
    Write(3, high);
    Write(3, high | kR3CeHigh | kR3DataOff | kR3A18Line);
  }
  std::uint8_t FlashRead(std::uint32_t address) {
    Write(2, address & 0xFF);
    Write(1, (address >> 8) & 0xFF);
    Write(3, HighLines(address) | kR3DataOff | kR3A18Line);
    Write(0, 0x00);
    const std::uint8_t value = test::ReadDataBus(port_, kModel);
    Write(0, kR0OeHigh);
    return value;
  }

  VirtualClock clock_;
  SimulatedPort port_{clock_};
  SimBoard* board_ = &port_.PlaceBoard(kModel, test::kBase);
  std::string error_;
};

TEST_F(SimFlashOnBoardTest, AnInsertedFlashAnswersAutoselectThroughTheBoard) {
  ASSERT_TRUE(Sim("insert AM29F040")) << error_;
  FlashWrite(0x5555, 0xAA);
  FlashWrite(0x2AAA, 0x55);
  FlashWrite(0x5555, 0x90);
  EXPECT_EQ(FlashRead(0), 0x01);
  EXPECT_EQ(FlashRead(1), 0xA4);
  ASSERT_TRUE(Sim("fault id 1F 0D"));
  EXPECT_EQ(FlashRead(0), 0x1F);
  EXPECT_EQ(FlashRead(1), 0x0D);
  EXPECT_EQ(board_->ChipViolations().Count(), 0u);
}

TEST_F(SimFlashOnBoardTest, ProgramReachesTheTopOfTheAm29f040ThroughBoardLineA19) {
  ASSERT_TRUE(Sim("insert AM29F040"));
  FlashWrite(0x5555, 0xAA);
  FlashWrite(0x2AAA, 0x55);
  FlashWrite(0x5555, 0xA0);
  FlashWrite(0x7FFFF, 0x3C);
  clock_.AdvanceNs(100'000);
  EXPECT_EQ(FlashRead(0x7FFFF), 0x3C);
  EXPECT_EQ(dynamic_cast<AmdFlashChip&>(*board_->Chip()).Contents()[0x7FFFF], 0x3C);
}

TEST_F(SimFlashOnBoardTest, SimLinesSetFaultsAndProtection) {
  ASSERT_TRUE(Sim("insert X28C256"));
  auto& eeprom = dynamic_cast<PageWriteChip&>(*board_->Chip());
  EXPECT_FALSE(eeprom.Protected());
  EXPECT_TRUE(Sim("protect on"));
  EXPECT_TRUE(eeprom.Protected());
  EXPECT_TRUE(Sim("fault stuck 7FFF FF 00"));
  EXPECT_EQ(eeprom.Contents()[0x7FFF], 0x00);
  EXPECT_FALSE(Sim("fault id 01 20")) << "the X28C256 has no ID mode";
  EXPECT_FALSE(Sim("fault stuck 8000 FF 00"));
  EXPECT_FALSE(Sim("fault slow 0 2")) << "slow cells are an EPROM fault";

  ASSERT_TRUE(Sim("insert AT29C256"));
  EXPECT_TRUE(Sim("fault erase-hangs"));
  EXPECT_TRUE(Sim("fault id 1F 5D"));
  EXPECT_EQ(board_->Chip() ? dynamic_cast<WritableChip&>(*board_->Chip()).Name() : "", "AT29C256");

  ASSERT_TRUE(Sim("insert AM29F010"));
  EXPECT_FALSE(Sim("protect on"));
  ASSERT_TRUE(Sim("insert 27C256"));
  EXPECT_FALSE(Sim("fault erase-hangs"));
  EXPECT_FALSE(Sim("insert AM29F080"));
}

TEST_F(SimFlashOnBoardTest, A28PinPartNeedsA17HighForItsSupply) {
  ASSERT_TRUE(Sim("insert X28C256"));
  ASSERT_TRUE(Sim("fault stuck 0 FF 5A"));
  Write(1, 0x40);        // board line A14 is WE# of the 28-pin part: high
  Write(3, kR3DataOff);  // CE# low, board line A17 low: no VCC
  Write(0, 0x00);
  EXPECT_EQ(test::ReadDataBus(port_, kModel), 0xFF);
  Write(3, kR3DataOff | kR3A17Line);
  EXPECT_EQ(test::ReadDataBus(port_, kModel), 0x5A);
}

}  // namespace
}  // namespace sorvell::sim
