#pragma once

#include <array>
#include <cstdint>

namespace sorvell::sim {

// The five write-only latches of the board.
inline constexpr int kR0 = 0;
inline constexpr int kR1 = 1;
inline constexpr int kR2 = 2;
inline constexpr int kR3 = 3;
inline constexpr int kR4 = 4;
inline constexpr int kLatchCount = 5;
inline constexpr int kNoLatch = -1;

using Latches = std::array<std::uint8_t, kLatchCount>;

// Latch bits with a board-wide meaning beyond a single socket line.
inline constexpr std::uint8_t kR0Model4VppEnable = 0x04;
inline constexpr std::uint8_t kR3DataDisable = 0x40;  // R4 output enable, active low
inline constexpr std::uint8_t kR3Model6Id = 0x20;     // pulls D4 low while R4 is not driving

// The control port as the board's decoder sees it: only the low four lines are used, and models 5
// and 6 decode them with the opposite polarity (n = control XOR 0Fh).
constexpr std::uint8_t NormaliseControl(int model, std::uint8_t control) {
  const std::uint8_t low = control & 0x0F;
  return model == 4 ? low : static_cast<std::uint8_t>(low ^ 0x0F);
}

// n bits 3..1 address one latch (or none).
constexpr int AddressedLatch(std::uint8_t n) {
  switch ((n >> 1) & 0x07) {
    case 0b101:
      return kR0;
    case 0b001:
      return kR1;
    case 0b100:
      return kR2;
    case 0b000:
      return kR3;
    case 0b111:
      return kR4;
    default:
      return kNoLatch;
  }
}

// The latch whose outputs follow the data port now: the addressed one while the clock is 1.
constexpr int TransparentLatch(std::uint8_t n) {
  return (n & 0x01) ? AddressedLatch(n) : kNoLatch;
}

// n bit 2 chooses the nibble of D7..D0 that reaches the status inputs.
constexpr bool HighNibbleSelected(std::uint8_t n) {
  return (n & 0x04) != 0;
}

}  // namespace sorvell::sim
