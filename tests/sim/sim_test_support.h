#pragma once

#include <cstdint>
#include <optional>

#include "board/port_io.h"
#include "sim/socket.h"

// Drives a simulated board the way the hardware is described, from raw port values, without any
// of the program's own register code.
namespace sorvell::sim::test {

inline constexpr std::uint16_t kBase = 0x378;
// The decoder's latch address (n bits 3..1) of R0..R4.
inline constexpr std::uint8_t kLatchAddress[5] = {0b101, 0b001, 0b100, 0b000, 0b111};

inline std::uint8_t RawControl(int model, std::uint8_t n) {
  return model == 4 ? n : static_cast<std::uint8_t>(n ^ 0x0F);
}

inline std::uint8_t LatchControl(int model, int latch, bool clock) {
  return RawControl(model, static_cast<std::uint8_t>(kLatchAddress[latch] << 1 | clock));
}

// Data first, then a clock pulse on the latch.
inline void WriteLatch(board::PortIo& port, int model, int latch, std::uint8_t value,
                       std::uint16_t base = kBase) {
  port.PortOut(base, value);
  port.PortOut(base + 2, LatchControl(model, latch, true));
  port.PortOut(base + 2, LatchControl(model, latch, false));
}

// Status byte with the low (n = 0000b: R3, clock 0) or high (n = 0100b: no latch) nibble selected.
inline std::uint8_t ReadStatus(board::PortIo& port, int model, bool high) {
  port.PortOut(kBase + 2, RawControl(model, high ? 0b0100 : 0b0000));
  return port.PortIn(kBase + 1);
}

inline int Bit(std::uint8_t value, int bit) {
  return (value >> bit) & 1;
}

// Reassembles a nibble from the status inputs, per the board's read-back wiring.
inline std::uint8_t StatusNibble(int model, std::uint8_t status) {
  if (model != 4) return (status >> 3) & 0x0F;
  return static_cast<std::uint8_t>(Bit(status, 6) | (1 - Bit(status, 7)) << 1 |
                                   Bit(status, 5) << 2 | Bit(status, 4) << 3);
}

inline std::uint8_t ReadDataBus(board::PortIo& port, int model) {
  const std::uint8_t low = StatusNibble(model, ReadStatus(port, model, false));
  const std::uint8_t high = StatusNibble(model, ReadStatus(port, model, true));
  return static_cast<std::uint8_t>(high << 4 | low);
}

// A part that drives nothing and remembers what it was shown.
class ProbeChip final : public SocketChip {
 public:
  explicit ProbeChip(int pinCount) : pinCount_(pinCount) {}
  int PinCount() const override { return pinCount_; }
  void OnLines(const SocketLines& lines, std::uint64_t) override { lines_ = lines, ++changes; }
  std::optional<std::uint8_t> DrivenData(const SocketLines&, std::uint64_t) const override {
    return std::nullopt;
  }
  DevicePins Pins() const { return DevicePins(lines_, pinCount_); }
  int changes = 0;

 private:
  int pinCount_;
  SocketLines lines_;
};

}  // namespace sorvell::sim::test
