#include <gtest/gtest.h>

#include "sim/eprom_chip.h"
#include "sim/sim_port.h"
#include "sim_test_support.h"

namespace sorvell::sim {
namespace {

constexpr int kModel = 5;
constexpr std::uint8_t kR3CeHigh = 0x80;
constexpr std::uint8_t kR3R4Off = 0x40;
constexpr std::uint8_t kR0OeHigh = 0x40;

// Board address lines that must stay high for a part to read: its VCC where it lands on an
// address line (24-pin: socket 28, A13; 28-pin: socket 30, A17) and its PGM pin (2764: socket
// 29, A14; 27C010: socket 31, A18).
struct PinoutCase {
  const char* part;
  int addressBits;
  std::uint32_t heldHigh;
};

constexpr PinoutCase kCases[] = {
    {"2732A", 12, 1u << 13},  {"2764", 13, 1u << 17 | 1u << 14}, {"27C256", 15, 1u << 17},
    {"27C512", 16, 1u << 17}, {"27C010", 17, 1u << 18},          {"27C080", 20, 0},
};

// A distinct byte at address 0 and at each single-bit address, FFh elsewhere: a part reading
// through a wrong pin, or from a wrong socket position, lands on another value.
std::vector<std::uint8_t> Landmarks(std::uint32_t size) {
  std::vector<std::uint8_t> image(size, 0xFF);
  image[0] = 0x5A;
  for (int bit = 0; (1u << bit) < size; ++bit) image[1u << bit] = static_cast<std::uint8_t>(bit);
  return image;
}

class SimEpromPinoutTest : public ::testing::Test {
 protected:
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

TEST_F(SimEpromPinoutTest, EachAddressPinReachesItsOwnBit) {
  for (const PinoutCase& c : kCases) {
    SCOPED_TRACE(c.part);
    board_.Insert(MakeEprom(c.part, Landmarks(1u << c.addressBits)));
    EXPECT_EQ(Read(c.heldHigh), 0x5A);
    for (int bit = 0; bit < c.addressBits; ++bit) {
      EXPECT_EQ(Read(c.heldHigh | 1u << bit), bit) << "A" << bit;
    }
  }
}

// One line each taken away: supply, CE, OE, PGM; or VPP switched onto OE/VPP.
TEST_F(SimEpromPinoutTest, DrivesNothingUnlessPoweredSelectedAndEnabled) {
  board_.Insert(MakeEprom("27C256", Landmarks(1u << 15)));
  EXPECT_EQ(Read(1u << 17), 0x5A);
  EXPECT_EQ((std::array{Read(0), Read(1u << 17, kR3CeHigh), Read(1u << 17, 0, kR0OeHigh)}),
            (std::array<std::uint8_t, 3>{0xFF, 0xFF, 0xFF}));
  board_.Insert(MakeEprom("2764", Landmarks(1u << 13)));
  EXPECT_EQ(Read(1u << 17), 0xFF) << "PGM (A14) low";
  board_.Insert(MakeEprom("27C512", Landmarks(1u << 16)));
  EXPECT_EQ(Read(1u << 17, 0, 0x80), 0xFF) << "OE/VPP at VPP";
}

TEST(SimEpromFactoryTest, KnowsEveryListedPartAndItsSize) {
  const std::pair<const char*, std::uint32_t> sizes[] = {
      {"2716", 2},     {"2732", 4},      {"2732A", 4},    {"2732B", 4},     {"27C32", 4},
      {"2764", 8},     {"27C64", 8},     {"27128", 16},   {"27C128", 16},   {"27256", 32},
      {"27C256", 32},  {"27C259", 32},   {"27C512", 64},  {"27C010", 128},  {"27C1001", 128},
      {"27C020", 256}, {"27C2001", 256}, {"27C040", 512}, {"27C4001", 512}, {"27C080", 1024},
      {"27C801", 1024}};
  EXPECT_EQ(EpromPartNames().size(), std::size(sizes));
  for (const auto& [name, kib] : sizes) {
    const auto chip = MakeEprom(name);
    ASSERT_NE(chip, nullptr) << name;
    EXPECT_EQ(chip->Contents().size(), kib * 1024) << name;
  }
  EXPECT_EQ(MakeEprom("27C257"), nullptr);
  EXPECT_EQ(MakeEprom("27c256"), nullptr) << "names are matched as the device list writes them";
  EXPECT_THROW(MakeEprom("2732", std::vector<std::uint8_t>(4097)), std::invalid_argument);
}

}  // namespace
}  // namespace sorvell::sim
