#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "sim/socket.h"

namespace sorvell::sim {

// Where a part written in-system through WE# has its control and supply pins, in its own
// datasheet pin numbers, and its address pins A0, A1, ... in bit order.
struct WritePinout {
  int pinCount;
  int cePin;
  int oePin;
  int wePin;
  int vccPin;
  std::span<const int> addressPins;
};

// One write cycle as the part latches it: the address at the falling edge of the later of WE#
// and CE#, the data at the rising edge of the earlier one.
struct BusWrite {
  std::uint32_t address;
  std::uint8_t data;
  std::uint64_t startNs;  // the falling edge
};

// What one change of the socket lines meant to the part.
struct BusEvents {
  bool powerLost = false;
  bool readBegan = false;  // CE# and OE# low with WE# high, newly: the part's read cycle
  // CE# and WE# went low with OE# low, or OE# fell within a write cycle. The datasheets' write
  // inhibit: no write takes place.
  bool inhibitedWrite = false;
  std::optional<BusWrite> write;  // a write cycle ended
};

// Tells a part's bus cycles from the socket lines. A write cycle is CE# and WE# low with OE#
// high; the board changes one latch at a time, so either edge may be CE# or WE#.
class BusCycles {
 public:
  explicit BusCycles(const WritePinout& pins) : pins_(pins) {}

  const WritePinout& Pins() const { return pins_; }
  BusEvents Update(const SocketLines& lines, std::uint64_t nowNs);
  // Powered with CE# and OE# low and WE# high: the part drives the bus.
  bool Reading(const SocketLines& lines) const;
  std::uint32_t Address(const SocketLines& lines) const;
  // The falling edge of the write cycle under way, if one is.
  std::optional<std::uint64_t> WriteStartNs() const;

 private:
  WritePinout pins_;
  bool powered_ = false;
  bool reading_ = false;
  bool inhibited_ = false;
  std::optional<BusWrite> writing_;
};

}  // namespace sorvell::sim
