#include <stdexcept>

#include "board/board.h"

namespace sorvell::board {

Board::RegisterLatch Board::LatchOf(int reg) {
  switch (reg) {
    case 0:
      return {Reg0Shadow, Reg0StrobeA, Reg0StrobeB};
    case 1:
      return {Reg1Shadow, Reg1StrobeA, Reg1StrobeB};
    case 2:
      return {Reg2Shadow, Reg2StrobeA, Reg2StrobeB};
    case 3:
      return {Reg3Shadow, Reg3StrobeA, Reg3StrobeB};
    case 4:
      return {Reg4Shadow, Reg4StrobeA, Reg4StrobeB};
    default:
      throw std::out_of_range("no board register " + std::to_string(reg));
  }
}

// A latch is transparent while it is addressed with its clock bit 1: the line changes at the
// clock write. Timing the pulse from the end of the opening clock write to the end of the closing
// one counts each edge at the same point of its port access. The closing write is made as any
// register write is (the data lines, a strobe wait, the select, a strobe wait), but inside the
// pulse: the latch holds while its clock is 0, so none of it reaches the socket before the clock
// write, which comes one port access before the pulse's end. Only when the strobe waits are
// longer than the pulse itself (the slowest slider positions) does the pulse outlast its length.
std::uint64_t Board::Pulse(int reg, int lineMask, std::uint64_t lengthNs) {
  const RegisterLatch latch = LatchOf(reg);
  latch.shadow &= ~lineMask;
  SelectRegister(latch.shadow, latch.strobeA);
  PortOut(ControlPort, latch.strobeB);
  const std::uint64_t onNs = timing_.NowNs();
  PortOut(ControlPort, latch.strobeA);
  latch.shadow |= lineMask;
  SelectRegister(latch.shadow, latch.strobeA);
  timing_.WaitUntilNs(onNs + (lengthNs > AccessNs ? lengthNs - AccessNs : 0));
  PortOut(ControlPort, latch.strobeB);
  const std::uint64_t offNs = timing_.NowNs();
  PortOut(ControlPort, latch.strobeA);
  return offNs - onNs;
}

}  // namespace sorvell::board
