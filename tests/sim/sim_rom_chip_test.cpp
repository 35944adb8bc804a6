#include <gtest/gtest.h>

#include "sim/rom_chip.h"
#include "sim/sim_port.h"
#include "sim_test_support.h"

namespace sorvell::sim {
namespace {

constexpr int kModel = 4;  // the one whose read-back is scrambled
constexpr std::uint8_t kR3CeHigh = 0x80;
constexpr std::uint8_t kR3R4Off = 0x40;

std::uint8_t Pattern(std::uint32_t address) {
  return static_cast<std::uint8_t>(address ^ (address >> 8) ^ (address >> 16) * 37);
}

class SimRomChipTest : public ::testing::Test {
 protected:
  void Insert(std::size_t size) {
    std::vector<std::uint8_t> image(size);
    for (std::uint32_t a = 0; a < size; ++a) image[a] = Pattern(a);
    board_.Insert(std::make_unique<RomChip>(std::move(image)));
  }
  std::uint8_t Read(std::uint32_t address, std::uint8_t r3Extra = 0, std::uint8_t r0 = 0) {
    test::WriteLatch(port_, kModel, 0, r0);
    test::WriteLatch(port_, kModel, 2, address & 0xFF);
    test::WriteLatch(port_, kModel, 1, (address >> 8) & 0xFF);
    test::WriteLatch(port_, kModel, 3, kR3R4Off | r3Extra | ((address >> 16) & 0x0F));
    return test::ReadDataBus(port_, kModel);
  }
  VirtualClock clock_;
  SimulatedPort port_{clock_};
  SimBoard& board_ = port_.PlaceBoard(kModel, test::kBase);
};

TEST_F(SimRomChipTest, ReadsTheAddressedByteEndToEnd) {
  Insert(1 << 20);
  for (std::uint32_t address : {0x00000u, 0x00001u, 0x12345u, 0x7FFFFu, 0x80000u, 0xFEDCBu}) {
    EXPECT_EQ(Read(address), Pattern(address)) << std::hex << address;
  }
}

// Pull-ups answer while CE or OE is high, or while the VPP switch holds the OE pin.
TEST_F(SimRomChipTest, OutputsOffLeaveThePullUpsAndAddressesWrap) {
  Insert(1 << 16);
  EXPECT_EQ(Read(0x30000), 0x00);
  EXPECT_EQ(Read(0x30000, kR3CeHigh), 0xFF);
  EXPECT_EQ(Read(0x30000, 0, 0x40), 0xFF);
  EXPECT_EQ(Read(0x30000, 0, 0x80), 0xFF);
  EXPECT_THROW(RomChip(std::vector<std::uint8_t>{}), std::invalid_argument);
}

}  // namespace
}  // namespace sorvell::sim
