// The decode tables are written from the program's side and the simulated board from the wiring
// of the hardware; a byte that survives the round trip on every model shows the two agree.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "board/board.h"
#include "sim/rom_chip.h"
#include "sim/sim_port.h"
#include "sim/virtual_clock.h"
#include "sim/virtual_timing.h"

namespace sorvell::board {
namespace {

constexpr std::int32_t kMegabyte = 1 << 20;

std::vector<std::uint8_t> ScrambledImage() {
  std::vector<std::uint8_t> image(kMegabyte);
  std::uint32_t state = 12345;
  for (auto& byte : image) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(state >> 16);
  }
  for (int v = 0; v < 256; ++v) image[v] = static_cast<std::uint8_t>(v);
  return image;
}

class ReadThroughSimTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    simBoard_ = &port_.PlaceBoard(GetParam(), kLpt278);
    simBoard_->PowerOn(777u);  // latches hold garbage until the program writes them
    board_.InitStrobeTable();
    board_.InitDecodeTables();
    board_.DataPort = kLpt278;
    board_.BoardModel = GetParam();
    board_.SelectModelStrobes();
    board_.StrobeCount = 12;
  }

  void InsertRom() {
    image_ = ScrambledImage();
    simBoard_->Insert(std::make_unique<sim::RomChip>(image_));
    board_.Reset();
    board_.REG4OFF();
    board_.CEOEON();
  }

  std::uint8_t ReadAt(std::int32_t address) {
    board_.CurrentAddress = address;
    board_.Endereco2Adr();
    board_.SETADR();
    board_.GetNibbles();
    return board_.ReadByte;
  }

  sim::VirtualClock clock_;
  sim::VirtualTiming timing_{clock_};
  sim::SimulatedPort port_{clock_};
  sim::SimBoard* simBoard_ = nullptr;
  Board board_{port_, timing_};
  std::vector<std::uint8_t> image_;
};

TEST_P(ReadThroughSimTest, EveryByteValueFromRegister4) {
  board_.Reset();
  for (int v = 0; v < 256; ++v) {
    board_.Reg4Shadow = v;
    board_.SetReg4();
    board_.REG4ON();
    board_.GetNibbles();
    ASSERT_EQ(board_.ReadByte, v);
  }
}

TEST_P(ReadThroughSimTest, EveryByteValueFromTheChip) {
  InsertRom();
  for (int v = 0; v < 256; ++v) ASSERT_EQ(ReadAt(v), v) << "address " << v;
}

TEST_P(ReadThroughSimTest, AddressSweepUpToA19) {
  InsertRom();
  std::vector<std::int32_t> addresses;
  for (int bit = 0; bit < 20; ++bit) {
    addresses.push_back(1 << bit);                      // one line high
    addresses.push_back((kMegabyte - 1) ^ (1 << bit));  // one line low
  }
  for (std::int32_t a = 0; a < kMegabyte; a += 4099) addresses.push_back(a);
  addresses.push_back(kMegabyte - 1);
  for (std::int32_t a : addresses) ASSERT_EQ(ReadAt(a), image_[a]) << "address " << a;
}

TEST_P(ReadThroughSimTest, IncrementalReadCycleWritesOnlyRegister2WithinAPage) {
  InsertRom();
  ReadAt(0x5A300);
  const auto writesBefore = port_.Writes();
  const auto readsBefore = port_.Reads();
  for (std::int32_t a = 0x5A301; a < 0x5A400; ++a) {
    board_.IncADR();
    board_.Reg2Shadow = board_.AddrByte0;
    board_.SetReg2();
    board_.GetNibbles();
    ASSERT_EQ(board_.ReadByte, image_[a]);
  }
  EXPECT_EQ(port_.Writes() - writesBefore, 255u * 6u);
  EXPECT_EQ(port_.Reads() - readsBefore, 255u * 2u);
}

TEST_P(ReadThroughSimTest, NothingDrivesTheBusWhenTheChipIsDisabled) {
  InsertRom();
  ReadAt(3);
  board_.CEOEOFF();
  board_.GetNibbles();
  // Pull-ups; a model 6 board's identification line is off (register 3 bit 5 is 0).
  EXPECT_EQ(board_.ReadByte, 0xFF);
}

INSTANTIATE_TEST_SUITE_P(Models, ReadThroughSimTest, ::testing::Values(4, 5, 6));

TEST(ReadThroughSimTimingTest, PortAccessesAndBusyWaitsAdvanceVirtualTime) {
  sim::VirtualClock clock;
  sim::VirtualTiming timing(clock);
  sim::SimulatedPort port(clock);
  port.PlaceBoard(5, kLpt378);
  Board board(port, timing);
  board.InitStrobeTable();
  board.DataPort = kLpt378;
  board.BoardModel = 5;
  board.SelectModelStrobes();
  board.StrobeCount = 12;
  board.SetReg2();
  // Four accesses of 1 us and two strobe waits of 12 iterations.
  EXPECT_EQ(clock.NowNs(), 4u * 1000u + 2u * 12u * kNanosecondsPerIteration);
}

}  // namespace
}  // namespace sorvell::board
