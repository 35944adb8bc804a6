#include "parallel/eprom_programmer.h"

namespace sorvell::parallel {

namespace {

constexpr int kPulseBudget = 255;     // decremented before each pulse: 254 pulses at most
constexpr int kLongPulseBelow = 200;  // from the 56th pulse on, the pulse is lengthened
// The old 24-pin parts take a fixed pulse, whatever the speed setting.
constexpr std::uint64_t k2732PulseNs = 5'000'000;
// Chip enable on register 3 bit 7; the PGM pins on register 1 bit 6 and register 3 bit 2.
constexpr int kChipEnableLine = 0x80;
constexpr int kPgmLineReg1 = 0x40;
constexpr int kPgmLineReg3 = 0x04;

std::uint64_t Iterations(std::int32_t count) {
  return count < 1 ? 0 : static_cast<std::uint64_t>(count);
}

}  // namespace

EpromProgrammer::EpromProgrammer(operation::Operation& operation)
    : op_(operation),
      board_(operation.board),
      device_(operation.device),
      run_(operation.run),
      panel_(operation.panel) {}

// Register 0 for the run: output enable inactive (bit 6), the activity lamp (bit 3), model 4's
// VPP enable (bit 2) or models 5/6's VPP level (bits 1..0), and the part's VPP switches (bits 5
// and 4). With no known model only the switches are added to what register 0 holds.
void EpromProgrammer::SetProgrammingRegister0(int model4Value, int model56Value, int switchBits) {
  if (board_.BoardModel == 4) {
    board_.Reg0Shadow = model4Value;
  } else if (board_.BoardModel == 5 || board_.BoardModel == 6) {
    board_.Reg0Shadow = model56Value;
  } else {
    board_.Reg0Shadow |= switchBits;
  }
  board_.SetReg0();
}

// Data driver on, chip and output enable off, register 0 for the run, the settling wait of the
// parts that take 21 V or 25 V.
void EpromProgrammer::StartRun(int model4Value, int model56Value, int switchBits, bool waitVpp) {
  board_.REG4ON();
  board_.CEOEOFF();
  SetProgrammingRegister0(model4Value, model56Value, switchBits);
  if (waitVpp) WaitForHighVpp();
  panel_.AddLog("Programming Started... Wait ");
}

// The level bits for the chosen voltage on parts that may take 21 V or 25 V.
int EpromProgrammer::VppLevelBits() const {
  if (device_.VppCode != 3) return 0;
  if (device_.VppVolts == 21) return 0x02;
  if (device_.VppVolts == 25) return 0x03;
  return 0;
}

void EpromProgrammer::WaitForHighVpp() {
  if (device_.VppVolts <= 12) return;
  panel_.AddLog("Wait 1500ms second VPP Settling");
  board_.Sleep(1500);
}

// One attempt's budget step; false (after the failure report) when the byte is out of pulses.
bool EpromProgrammer::TakePulse() {
  if (--run_.PulseBudget > 0) return true;
  op_.ProgrammingFailure();
  return false;
}

// The speed counts mean a busy wait of that many iterations: that is the pulse's length.
std::uint64_t EpromProgrammer::SpeedPulseNs() const {
  std::uint64_t iterations = Iterations(board_.SpeedCountA);
  if (run_.PulseBudget < kLongPulseBelow) iterations += Iterations(board_.SpeedCountB);
  return iterations * static_cast<std::uint64_t>(board::kNanosecondsPerIteration);
}

// The pulse runs as timed work: at real-time priority where the system grants it, so that no
// other process stretches it; the read-back after it needs none.
void EpromProgrammer::PulseLine(int reg, int lineMask, std::uint64_t lengthNs) {
  const board::TimedWork held(board_.Clock());
  pulses_.Note(board_.Pulse(reg, lineMask, lengthNs), lengthNs);
}

// The run's bytes, with what the system grants timed work held for the run, and the report of
// pulses that ran long at its end, however it ends (a failed byte, a stop, a port fault).
bool EpromProgrammer::ProgramBytes(int lampPeriod, bool (EpromProgrammer::*handleByte)()) {
  const operation::TimedRun held(op_);
  pulses_ = {};
  const auto report = [this] {
    const std::string longPulses = pulses_.LongPulseReport();
    if (!longPulses.empty()) panel_.AddLog(longPulses);
  };
  try {
    const bool done = ForEachProgramByte(lampPeriod, handleByte);
    report();
    return done;
  } catch (...) {
    report();
    throw;
  }
}

// Steps every byte, skipped ones included, so CurrentAddress always equals ProgramIndex while
// a byte is handled. False when a byte failed.
bool EpromProgrammer::ForEachProgramByte(int lampPeriod, bool (EpromProgrammer::*handleByte)()) {
  for (run_.ProgramIndex = 0; run_.ProgramIndex < run_.ProgramLength; ++run_.ProgramIndex) {
    run_.ProgramByte = run_.ProgramBuffer[static_cast<std::size_t>(run_.ProgramIndex)];
    run_.PulseBudget = kPulseBudget;
    if (!(this->*handleByte)()) return false;
    board_.IncADR();
    if (run_.ProgramIndex % lampPeriod == 0) op_.ToggleProgramLed();
    op_.GoProgressiveBar1();
  }
  return true;
}

void EpromProgrammer::P27256_040() {
  const int socketBits = device_.DeviceVariant == "4"   ? 0x10
                         : device_.DeviceVariant == "8" ? 0x20
                                                        : 0;
  StartRun(0x4C | socketBits, 0x48 | socketBits, socketBits, false);
  ProgramBytes(512, &EpromProgrammer::P27256_040Byte);
}

bool EpromProgrammer::P27256_040Byte() {
  if (run_.ProgramByte == 0xFF) return true;
  board_.SETADR();
  do {
    if (!TakePulse()) return false;
    board_.REG4ON();
    board_.Reg4Shadow = run_.ProgramByte;
    board_.SetReg4();
    board_.CEOEOFF();
    PulseLine(3, kChipEnableLine, SpeedPulseNs());
    board_.DelayLoop20();
    op_.ReleaseDataLines();
    board_.OEON();  // program verify: the part drives the cell just pulsed
    op_.ReadBackByte();
    board_.OEOFF();
  } while (board_.ReadByte != run_.ProgramByte);
  return true;
}

void EpromProgrammer::P2764_128() {
  StartRun(0x5C, 0x58 | VppLevelBits(), 0x10, true);
  if (ProgramBytes(512, &EpromProgrammer::P2764_128Byte)) board_.CEOFF();
}

// The pulse is the PGM pin on register 1 bit 6; chip enable stays active across the run.
bool EpromProgrammer::P2764_128Byte() {
  if (run_.ProgramByte == 0xFF) return true;
  board_.SETADR();
  board_.CEON();
  return PulsePgmUntilRead(1, kPgmLineReg1);
}

// Pulses a separate PGM line (a register bit, active low) with chip enable held active, then
// releases the data lines and reads the byte back with output enable on, until it reads as wanted
// or the budget runs out. Output enable is off again before the latch drives the next pulse's byte.
bool EpromProgrammer::PulsePgmUntilRead(int reg, int pgmBit) {
  do {
    if (!TakePulse()) return false;
    board_.REG4ON();
    board_.Reg4Shadow = run_.ProgramByte;
    board_.SetReg4();
    PulseLine(reg, pgmBit, SpeedPulseNs());
    board_.DelayLoop20();
    op_.ReleaseDataLines();
    board_.OEON();
    op_.ReadBackByte();
    board_.OEOFF();
  } while (board_.ReadByte != run_.ProgramByte);
  return true;
}

void EpromProgrammer::P27010_020() {
  board_.REG4ON();
  board_.CEON();
  board_.OEOFF();
  SetProgrammingRegister0(0x6C, 0x68, 0x20);
  panel_.AddLog("Programming Started... Wait ");
  ProgramBytes(512, &EpromProgrammer::P27010_020Byte);
}

// The pulse is the PGM pin on register 3 bit 2; chip enable stays active.
bool EpromProgrammer::P27010_020Byte() {
  if (run_.ProgramByte == 0xFF) return true;
  board_.SETADR();
  return PulsePgmUntilRead(3, kPgmLineReg3);
}

void EpromProgrammer::P27080() {
  StartRun(0x4C, 0x48, 0, false);
  board_.OEON();
  ProgramBytes(1024, &EpromProgrammer::P27080Byte);
}

// The cell is read first: a byte that already holds its value gets no pulse. The pulse is chip
// enable with VPP on the OE/VPP pin. Output enable stays active outside the pulses, so chip enable
// is what turns the part's outputs on: the data lines are released before the OE/VPP pin returns
// to output enable, and chip enable is off again before the latch drives the next pulse's byte.
bool EpromProgrammer::P27080Byte() {
  board_.SETADR();
  op_.ReleaseDataLines();
  board_.CEON();
  op_.ReadBackByte();
  board_.CEOFF();
  if (board_.ReadByte == run_.ProgramByte) run_.ProgramByte = 0xFF;
  if (run_.ProgramByte == 0xFF) return true;
  for (;;) {
    if (!TakePulse()) return false;
    board_.REG4ON();
    board_.Reg4Shadow = run_.ProgramByte;
    board_.SetReg4();
    board_.VPP24_ON();
    PulseLine(3, kChipEnableLine, SpeedPulseNs());
    op_.ReleaseDataLines();
    board_.VPP24_OFF();
    board_.CEON();
    board_.DelayLoop20();
    op_.ReadBackByte();
    if (board_.ReadByte == run_.ProgramByte) return true;  // chip enable is left active
    board_.CEOFF();
  }
}

void EpromProgrammer::P2732() {
  StartRun(0x4C, 0x48 | VppLevelBits(), 0, true);
  board_.OEON();
  ProgramBytes(64, &EpromProgrammer::P2732Byte);
}

// The old 24-pin parts: a fixed 5 ms chip-enable pulse with VPP on the OE/VPP pin, whatever the
// speed setting. As on the 27C080 chip enable turns the outputs on for each read: the data lines
// are released before output enable goes active, and chip enable is off before the latch drives.
bool EpromProgrammer::P2732Byte() {
  board_.SETADR();
  op_.ReleaseDataLines();
  board_.VPP24_OFF();
  board_.OEON();
  board_.CEON();
  op_.ReadBackByte();
  board_.CEOFF();
  if (board_.ReadByte == run_.ProgramByte) run_.ProgramByte = 0xFF;
  if (run_.ProgramByte == 0xFF) return true;
  board_.SETADR();
  do {
    if (!TakePulse()) return false;
    board_.Reg4Shadow = run_.ProgramByte;
    board_.SetReg4();
    board_.CEOFF();  // on a retry the part still drives the byte it was read with
    board_.REG4ON();
    board_.VPP24_ON();
    PulseLine(3, kChipEnableLine, k2732PulseNs);
    op_.ReleaseDataLines();
    board_.VPP24_OFF();
    board_.CEON();
    board_.DelayLoop20();
    op_.ReadBackByte();
  } while (board_.ReadByte != run_.ProgramByte);
  return true;
}

}  // namespace sorvell::parallel
