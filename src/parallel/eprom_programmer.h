#pragma once

#include "operation/operation.h"
#include "operation/timed_run.h"

namespace sorvell::parallel {

// UV-EPROM programming: pulse, read back, compare, up to 254 pulses a byte. The five routines
// differ in the line that is pulsed, the pulse length, whether the cell is read first, and how
// register 0 switches VPP for the part's pinout.
class EpromProgrammer {
 public:
  explicit EpromProgrammer(operation::Operation& operation);

  void P2732();
  void P2764_128();
  void P27256_040();
  void P27080();
  void P27010_020();

 private:
  bool P2732Byte();
  bool P2764_128Byte();
  bool P27256_040Byte();
  bool P27080Byte();
  bool P27010_020Byte();
  void StartRun(int model4Value, int model56Value, int switchBits, bool waitVpp);
  void SetProgrammingRegister0(int model4Value, int model56Value, int switchBits);
  int VppLevelBits() const;
  void WaitForHighVpp();
  bool TakePulse();
  void PulseLine(int reg, int lineMask, std::uint64_t lengthNs);
  std::uint64_t SpeedPulseNs() const;
  bool ProgramBytes(int lampPeriod, bool (EpromProgrammer::*handleByte)());
  bool ForEachProgramByte(int lampPeriod, bool (EpromProgrammer::*handleByte)());
  bool PulsePgmUntilRead(int reg, int pgmBit);

  operation::Operation& op_;
  board::Board& board_;
  const catalogue::Selection& device_;
  operation::RunState& run_;
  panel::Panel& panel_;
  operation::PulseRecord pulses_;
};

}  // namespace sorvell::parallel
