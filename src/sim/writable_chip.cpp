#include "sim/writable_chip.h"

#include <cstdio>

namespace sorvell::sim {

std::uint8_t WritableChip::IdByte(std::uint32_t address) const {
  const ChipId id = foreignId_.value_or(Id().value_or(ChipId{0xFF, 0xFF}));
  switch (address & 0x03) {
    case 0:
      return id.maker;
    case 1:
      return id.device;
    default:
      return 0x00;
  }
}

std::uint8_t WritableChip::StatusByte(bool dq7, bool dq5, bool dq3) const {
  return static_cast<std::uint8_t>((dq7 ? 0x80 : 0) | (toggle_ ? 0x40 : 0) | (dq5 ? 0x20 : 0) |
                                   (dq3 ? 0x08 : 0));
}

std::string WritableChip::Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%05Xh", value);
  return text;
}

}  // namespace sorvell::sim
