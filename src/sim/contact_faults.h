#pragma once

#include <cstdint>
#include <random>

#include "sim/socket.h"

namespace sorvell::sim {

// Faults between the board's lines and the part's pins: a socket contact that does not close, a
// pin bent onto its neighbour, a line shorted by solder. They act on the lines, not on the part's
// cells, so every part and every operation meets them as it would on the bench.
class ContactFaults {
 public:
  // Data line D`line` held low (shorted to ground) or high (to VCC) at the socket: the board and
  // the part both see the level, whoever drives.
  void HoldDataLine(int line, bool high);
  // The contact between D`line` and the part's pin open: the part's input floats high, and what
  // the part drives never reaches the board, whose pull-up reads 1 instead.
  void OpenDataLine(int line);
  // Address line A`line` (0..19) open: the part's input floats high.
  void OpenAddressLine(int line);
  // A`line` and A`line`+1 shorted: wherever either is driven low both read low.
  void ShortAddressLines(int line);
  // Data line D`line` makes contact with the part now and then: each read of what the part drives
  // sees it inverted with probability `percent` / 100, drawn from `seed` so that a run repeats.
  void MakeContactFlaky(int line, int percent, std::uint32_t seed);
  void Clear() { *this = ContactFaults{}; }

  // The lines as the part's pins see them.
  SocketLines ToPart(SocketLines lines) const;
  // The data lines as the board reads them; `partDrives` while the part, not the board's latch,
  // drives them.
  std::uint8_t ToBoard(std::uint8_t data, bool partDrives);

 private:
  std::uint8_t dataLow_ = 0;
  std::uint8_t dataHigh_ = 0;
  std::uint8_t dataOpen_ = 0;
  std::uint32_t addressOpen_ = 0;
  std::uint32_t addressShorted_ = 0;  // bit n: A(n) shorted with A(n+1)
  std::uint8_t flaky_ = 0;
  int flakyPercent_ = 0;
  std::mt19937 random_;
};

}  // namespace sorvell::sim
