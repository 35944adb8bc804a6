#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvell::sim {

// Where a UV-EPROM's control and supply pins are, in its own datasheet pin numbers.
struct EpromPinout {
  int pinCount;  // 24, 28 or 32
  int cePin;
  int oePin;
  int pgmPin;  // 0: no PGM pin, CE is the program pulse
  int vppPin;  // equal to oePin on OE/VPP parts
  int vccPin;
};

// The VPP levels a part lives with, in millivolts: it programs only within [min, max], and a
// level above destroyMillivolts while it is powered ruins it for good.
struct VppRange {
  std::uint16_t minMillivolts;
  std::uint16_t maxMillivolts;
  std::uint16_t destroyMillivolts;
};

// The program pulse widths a part's datasheet allows, from the line change that begins a pulse to
// the one that ends it. A shorter pulse gives a cell less charge than the algorithm counts on; a
// longer one over-stresses the cell and its neighbours on the same lines.
struct PulseWindow {
  std::uint64_t minNs;
  std::uint64_t maxNs;
};

struct EpromPart {
  std::string_view name;
  EpromPinout pins;
  int addressBits;  // A0 up to A(addressBits - 1), in JEDEC positions for the package
  VppRange vpp;
  // Accumulated program-pulse time a typical cell needs before its bits take.
  std::uint64_t cellProgramNs;
  PulseWindow pulse;
  // The 2716 reads only with its VPP pin at VCC: VPP on a pin of its own that stays in the
  // circuit, unlike the later parts, where the pin doubles as OE or an address line. Its pin 21
  // sits on socket pin 25, where the board has no VPP switch, so it is never programmed here.
  bool readsWithVppAtVcc = false;

  std::uint32_t SizeBytes() const { return std::uint32_t{1} << addressBits; }
  bool OeIsVpp() const { return pins.vppPin == pins.oePin; }
  bool HasPgmPin() const { return pins.pgmPin != 0; }
  // Device pins of A0, A1, ... in bit order.
  std::span<const int> AddressPins() const;
};

// The part by the name the device list gives it (without the class word), or nullptr.
const EpromPart* FindEpromPart(std::string_view name);
std::vector<std::string> EpromPartNames();

}  // namespace sorvell::sim
