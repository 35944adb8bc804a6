#pragma once

#include <cstdint>

#include "operation/operation.h"

namespace sorvell::flash {

// The wire level of the Flash and page-write parts: the three-cycle unlock and command writes,
// the fast register writes that carry them at port speed, the slow command cycles of the 28-pin
// parts, and the Flash write enable (register 3 bit 2, the socket's pin 31).
class FlashCommands {
 public:
  explicit FlashCommands(operation::Operation& operation);

  // The command byte of the third cycle: 90h autoselect, F0h reset, A0h byte program, 80h and
  // 10h chip erase.
  int FlashCommand = 0;
  // The address of one slow command cycle (5555h or 2AAAh).
  int CommandAddress = 0;

  void SendFlashCommand();
  void AT29Command();
  void WriteCycleAT29();
  void WriteCycleXICOR();
  void WEON();
  void WEOFF();
  // The slider's wait: (maximum - position + extra) ms, shorter at faster positions, and never
  // shorter than `atLeast` ms.
  void SliderWait(int extraMilliseconds, int atLeast = 0);

 private:
  // Value, then the register's B and A strobes: three port writes with no delay. The shadow
  // keeps its old value; the next shadow-based write of the register overwrites this one.
  void FastWrite(int reg, int value);
  void FastWriteCycle(int address, int data);
  void SlowWriteCycle(void (board::Board::*weActive)(), void (board::Board::*weInactive)());

  board::Board& board_;
  const catalogue::Selection& device_;
  panel::Panel& panel_;
};

}  // namespace sorvell::flash
