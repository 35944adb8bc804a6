#pragma once

#include "operation/operation.h"

namespace sorvell::serial {

// The two-wire bus made of board lines: SCL is the chip-enable line (register 3 bit 7), SDA is
// data line D7, driven from register 4 bit 7 while register 4's outputs are on (register 3 bit 6)
// and read back through the status port. Every edge is one register write.
class TwoWireBus {
 public:
  explicit TwoWireBus(operation::Operation& operation);

  void Start24CXX();
  void Stop24CXX();
  // Clocks out ProgramByte, then waits for the acknowledge (AckCount 0, or 200 without one).
  void SendByte24CXX();
  void WaitAck24CXX();
  // Clocks out ProgramByte and samples the acknowledge once: ReadByte 0 or 80h. No ninth clock.
  void PollByte24CXX();
  // Clocks in eight bits into ReadByte; the caller gives the acknowledge.
  void ReceiveByte24CXX();

 private:
  void ShiftOutProgramByte();

  board::Board& board_;
  operation::RunState& run_;
};

}  // namespace sorvell::serial
