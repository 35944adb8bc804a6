#pragma once

#include <cstdint>

namespace sorvell::board {

// The one way the program reaches an I/O port. Implementations: the real parallel port (ppdev or
// direct I/O), the simulated board, and a recording port for tests. Both calls return at once and
// report nothing: the board has no acknowledge, so there is nothing to check.
class PortIo {
 public:
  virtual ~PortIo() = default;
  virtual void PortOut(std::uint16_t port, std::uint8_t value) = 0;
  virtual std::uint8_t PortIn(std::uint16_t port) = 0;
};

// Parallel port register offsets from the base (data) address.
inline constexpr std::uint16_t kStatusOffset = 1;
inline constexpr std::uint16_t kControlOffset = 2;

// The three bases a programmer board can sit at.
inline constexpr std::uint16_t kLpt378 = 0x378;
inline constexpr std::uint16_t kLpt278 = 0x278;
inline constexpr std::uint16_t kLpt3BC = 0x3BC;

}  // namespace sorvell::board
