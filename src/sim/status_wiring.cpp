#include "sim/status_wiring.h"

namespace sorvell::sim {

namespace {

constexpr std::uint8_t kUndrivenLow3 = 0x07;  // bits 0..2 carry nothing
constexpr std::uint8_t kStatusBit3 = 0x08;
constexpr std::uint8_t kBusyBit = 0x80;  // reads inverted at the port

std::uint8_t Bit(std::uint8_t value, int bit) {
  return (value >> bit) & 1;
}

// Model 4 wires a nibble's bits (3, 2, 0, 1 of it) to status bits 4, 5, 6 and Busy.
std::uint8_t Model4Status(std::uint8_t nibble) {
  std::uint8_t status = kUndrivenLow3 | kStatusBit3;
  status |= Bit(nibble, 3) << 4;
  status |= Bit(nibble, 2) << 5;
  status |= Bit(nibble, 0) << 6;
  if (!Bit(nibble, 1)) status |= kBusyBit;
  return status;
}

// Models 5/6 put the nibble in order on status bits 3..6; Busy floats high and reads 0.
std::uint8_t Model56Status(std::uint8_t nibble) {
  return static_cast<std::uint8_t>(kUndrivenLow3 | (nibble << 3));
}

}  // namespace

std::uint8_t StatusInputs(int model, bool highNibble, std::uint8_t dataBus) {
  const std::uint8_t nibble = highNibble ? (dataBus >> 4) : (dataBus & 0x0F);
  return model == 4 ? Model4Status(nibble) : Model56Status(nibble);
}

}  // namespace sorvell::sim
