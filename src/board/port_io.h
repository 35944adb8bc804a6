#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sorvell::board {

// A port access that the system refused or that failed (a USB adapter unplugged, a card that stops
// answering). Thrown by a backend from PortOut or PortIn: the operation in hand stops at once, and
// the shell resets the board where it still can and reports a device error.
class PortFault : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The one way the program reaches an I/O port. Implementations: the real parallel port (ppdev or
// direct I/O), the simulated board, and a recording port for tests. Both calls return at once.
// The board has no acknowledge, so a write that reached the port is all a backend can know; one
// that did not reach it throws PortFault, naming the port and the system's error.
class PortIo {
 public:
  virtual ~PortIo() = default;
  virtual void PortOut(std::uint16_t port, std::uint8_t value) = 0;
  virtual std::uint8_t PortIn(std::uint16_t port) = 0;
};

// Parallel port register offsets from the base (data) address.
inline constexpr std::uint16_t kStatusOffset = 1;
inline constexpr std::uint16_t kControlOffset = 2;

// How a failed access is told: "writing the data port", "reading the status port".
inline std::string AccessText(bool write, std::uint16_t offset) {
  const char* registers[] = {"the data port", "the status port", "the control port"};
  return std::string(write ? "writing " : "reading ") +
         (offset <= kControlOffset ? registers[offset] : "the port");
}

// The three bases a programmer board can sit at.
inline constexpr std::uint16_t kLpt378 = 0x378;
inline constexpr std::uint16_t kLpt278 = 0x278;
inline constexpr std::uint16_t kLpt3BC = 0x3BC;

}  // namespace sorvell::board
