#include "sim/socket_wiring.h"

namespace sorvell::sim {

namespace {

struct LatchBit {
  int pin;
  int latch;
  int bit;
};

// Socket pins that carry a logic level straight from one latch bit.
constexpr LatchBit kLatchLines[] = {
    {1, kR3, 3},   // A19
    {2, kR3, 0},   // A16
    {3, kR1, 7},   // A15
    {4, kR1, 4},   // A12
    {5, kR2, 7},   // A7
    {6, kR2, 6},   // A6
    {7, kR2, 5},   // A5
    {8, kR2, 4},   // A4
    {9, kR2, 3},   // A3
    {10, kR2, 2},  // A2
    {11, kR2, 1},  // A1
    {12, kR2, 0},  // A0
    {22, kR3, 7},  // CE
    {23, kR1, 2},  // A10
    {24, kR0, 6},  // OE
    {25, kR1, 3},  // A11
    {26, kR1, 1},  // A9
    {27, kR1, 0},  // A8
    {28, kR1, 5},  // A13
    {29, kR1, 6},  // A14
    {30, kR3, 1},  // A17
    {31, kR3, 2},  // A18
};

// R0 bits that switch VPP onto a socket pin in place of its logic level.
constexpr LatchBit kVppSwitches[] = {{24, kR0, 7}, {1, kR0, 5}, {3, kR0, 4}};

bool BitSet(const Latches& latches, const LatchBit& line) {
  return (latches[line.latch] >> line.bit) & 1;
}

std::uint16_t Level(bool high) {
  return high ? kHighMillivolts : kLowMillivolts;
}

void WireDataPins(int model, const Latches& latches, SocketLines& lines) {
  const bool r4Drives = (latches[kR3] & kR3DataDisable) == 0;
  for (int bit = 0; bit < 8; ++bit) {
    const bool high = r4Drives ? ((latches[kR4] >> bit) & 1) : true;
    lines.millivolts[kSocketDataPins[bit]] = Level(high);
  }
  if (model == 6 && !r4Drives && (latches[kR3] & kR3Model6Id)) {
    lines.millivolts[kSocketDataPins[4]] = kLowMillivolts;
  }
}

}  // namespace

std::uint16_t VppMillivolts(int model, std::uint8_t r0, std::uint16_t model4VppMillivolts) {
  if (model == 4) return (r0 & kR0Model4VppEnable) ? model4VppMillivolts : kHighMillivolts;
  switch (r0 & 0x03) {
    case 0b10:
      return 21000;
    case 0b11:
      return 25000;
    default:
      return 12500;
  }
}

SocketLines WireSocket(int model, const Latches& latches, std::uint16_t model4VppMillivolts) {
  SocketLines lines;
  for (const LatchBit& line : kLatchLines) {
    lines.millivolts[line.pin] = Level(BitSet(latches, line));
  }
  const std::uint16_t vpp = VppMillivolts(model, latches[kR0], model4VppMillivolts);
  for (const LatchBit& vppSwitch : kVppSwitches) {
    if (BitSet(latches, vppSwitch)) lines.millivolts[vppSwitch.pin] = vpp;
  }
  WireDataPins(model, latches, lines);
  lines.millivolts[kSocketGndPin] = kLowMillivolts;
  lines.millivolts[kSocketVccPin] = kHighMillivolts;
  return lines;
}

}  // namespace sorvell::sim
