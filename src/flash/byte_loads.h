#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"

namespace sorvell::flash {

// How a page-write part takes its byte loads: its write-enable line on register 1, and its
// byte-load window, the longest time a load may follow the one before it before the part starts
// its write cycle with what it has.
struct LoadLines {
  int writeEnableBit;
  std::uint64_t windowNs;
  // The X28C256 counts its window from the previous load's write-enable fall, the AT29C256 from
  // its rise.
  bool windowFromFall;
};

// X28C256: 100 us from the falling edge of the preceding WE#. AT29C256: 150 us from the low to
// high transition of the preceding WE#.
inline constexpr LoadLines kX28C256Lines{0x40, 100'000, true};
inline constexpr LoadLines kAT29C256Lines{0x80, 150'000, false};

// Byte loads at port speed: the page loads and the command sequences of the page-write parts.
//
// Each register write is the board's own sequence, data, select, clock, release, without the
// strobe waits the speed slider sets: the latch is transparent while it is addressed with its
// clock bit 1 and holds what the data lines carried when the clock ends, so what it needs is
// that the data is on the lines before the clock and stays there until the clock ends. It is, for
// at least one whole port access either side (some 1 us on a legacy port, more through ppdev),
// some thousand times what a transparent latch asks. The select still comes alone, before the
// clock, so that no latch can be clocked while the control lines move. The select is left out only
// when the control port already holds it (the second of two writes to one register), and a
// register is not written at all when its latch already holds the value. What the latches and the
// control port held before a run is not taken on trust: every register is written the first time.
class ByteLoads {
 public:
  // The longest time that surely passed between two loads of a run, and the load after it.
  struct Gap {
    std::uint64_t ns = 0;
    int load = 0;  // index in the run; 0 while the run has fewer than two loads
    bool Late(const LoadLines& lines) const { return ns > lines.windowNs; }
  };

  explicit ByteLoads(board::Board& board) : board_(board) {}

  void Begin(const LoadLines& lines);
  // The address on register 1 (write enable inactive) and register 2, the byte on register 4,
  // chip enable on register 3, a write-enable pulse on register 1, chip enable off. Registers 1
  // and 3 keep their other bits as the board's shadows hold them; the shadows follow every write.
  void Load(int reg1, int reg2, int data);
  const Gap& Longest() const { return longest_; }

 private:
  static constexpr int kUnknown = -1;
  // A clock write bounded by the clock read just before it and the one just after it.
  using Edge = board::Board::ClockEdge;

  void Write(int reg, int value);
  void Latch(int reg, int value);
  Edge LatchTimed(int reg, int value);
  void Select(int reg);
  void Time(const Edge& fall, const Edge& rise);

  board::Board& board_;
  LoadLines lines_ = kX28C256Lines;
  std::array<int, 5> latched_{};
  int selected_ = kUnknown;  // the latch the control port addresses
  int loads_ = 0;
  std::uint64_t windowStartNs_ = 0;
  Gap longest_;
};

}  // namespace sorvell::flash
