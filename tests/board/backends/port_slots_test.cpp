#include "board/backends/port_slots.h"

#include <gtest/gtest.h>

namespace sorvell::board {
namespace {

// Both real backends route every access through this lookup: a port that lands in the wrong slot
// or register would drive the wrong latch, and one that lands anywhere would reach the bus.
TEST(PpdevDirectPortSlots, FindsEachRegisterOfEachBase) {
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    for (std::uint16_t offset = 0; offset < kRegistersPerBase; ++offset) {
      const PortSlot at = FindPortSlot(static_cast<std::uint16_t>(kBoardBases[slot] + offset));
      EXPECT_EQ(at.slot, slot);
      EXPECT_EQ(at.offset, offset);
    }
  }
}

TEST(PpdevDirectPortSlots, RefusesPortsBesideTheBases) {
  for (const std::uint16_t port :
       {0x000, 0x080, 0x277, 0x27B, 0x377, 0x37B, 0x37A + 0x400, 0x3BB, 0x3BF, 0xD010, 0xFFFF}) {
    EXPECT_EQ(FindPortSlot(port).slot, kNoSlot) << std::hex << port;
  }
}

}  // namespace
}  // namespace sorvell::board
