#include "board/board.h"

namespace sorvell::board {

// No strobe waits here: the parts these cycles are for take each write as it comes, and a part
// loading a page or a command must see the cycles back to back.

void Board::FastRegisterWrite(int reg, int value) {
  const RegisterLatch latch = LatchOf(reg);
  PortOut(DataPort, value);
  PortOut(ControlPort, latch.strobeB);
  PortOut(ControlPort, latch.strobeA);
}

void Board::DriveDataLines(int value) {
  PortOut(DataPort, value);
}

void Board::SelectLatch(int reg) {
  PortOut(ControlPort, LatchOf(reg).strobeA);
}

void Board::ClockLatch(int reg) {
  const RegisterLatch latch = LatchOf(reg);
  PortOut(ControlPort, latch.strobeB);
  PortOut(ControlPort, latch.strobeA);
}

// The latch's outputs change inside the clock write: the time read before it is at or before the
// edge, the one read after it at or after.
Board::ClockEdge Board::ClockLatchTimed(int reg) {
  const RegisterLatch latch = LatchOf(reg);
  ClockEdge edge{timing_.NowNs(), 0};
  PortOut(ControlPort, latch.strobeB);
  edge.afterNs = timing_.NowNs();
  PortOut(ControlPort, latch.strobeA);
  return edge;
}

}  // namespace sorvell::board
