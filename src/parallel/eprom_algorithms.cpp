// UV-EPROM programming: pulse, read back, compare, up to 254 pulses a byte. The five routines
// differ in the line that is pulsed, the pulse length, whether the cell is read first, and how
// register 0 switches VPP for the part's pinout.
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

constexpr int kPulseBudget = 255;     // decremented before each pulse: 254 pulses at most
constexpr int kLongPulseBelow = 200;  // from the 56th pulse on, the pulse is lengthened

}  // namespace

// Register 0 for the run: output enable inactive (bit 6), the activity lamp (bit 3), model 4's
// VPP enable (bit 2) or models 5/6's VPP level (bits 1..0), and the part's VPP switches (bits 5
// and 4). With no known model only the switches are added to what register 0 holds.
void MainForm::SetProgrammingRegister0(int model4Value, int model56Value, int switchBits) {
  if (board.BoardModel == 4) {
    board.Reg0Shadow = model4Value;
  } else if (board.BoardModel == 5 || board.BoardModel == 6) {
    board.Reg0Shadow = model56Value;
  } else {
    board.Reg0Shadow |= switchBits;
  }
  board.SetReg0();
}

// The level bits for the chosen voltage on parts that may take 21 V or 25 V.
int MainForm::VppLevelBits() const {
  if (device.VppCode != 3) return 0;
  if (device.VppVolts == 21) return 0x02;
  if (device.VppVolts == 25) return 0x03;
  return 0;
}

void MainForm::WaitForHighVpp() {
  if (device.VppVolts <= 12) return;
  AddLog("Wait 1500ms second VPP Settling");
  board.Sleep(1500);
}

// One attempt's budget step; false (after the failure report) when the byte is out of pulses.
bool MainForm::TakePulse() {
  if (--parallel.PulseBudget > 0) return true;
  ProgrammingFailure();
  return false;
}

void MainForm::SpeedPulse() {
  board.SpeedDelayA();
  if (parallel.PulseBudget < kLongPulseBelow) board.SpeedDelayB();
}

// Steps every byte, skipped ones included, so CurrentAddress always equals ProgramIndex while
// a byte is handled. False when a byte failed.
bool MainForm::ForEachProgramByte(int lampPeriod, bool (MainForm::*handleByte)()) {
  for (parallel.ProgramIndex = 0; parallel.ProgramIndex < parallel.ProgramLength;
       ++parallel.ProgramIndex) {
    parallel.ProgramByte = parallel.ProgramBuffer[static_cast<std::size_t>(parallel.ProgramIndex)];
    parallel.PulseBudget = kPulseBudget;
    if (!(this->*handleByte)()) return false;
    board.IncADR();
    if (parallel.ProgramIndex % lampPeriod == 0) ToggleProgramLed();
    GoProgressiveBar1();
  }
  return true;
}

void MainForm::P27256_040() {
  board.REG4ON();
  board.CEOEOFF();
  const int socketBits = device.DeviceVariant == "4"   ? 0x10
                         : device.DeviceVariant == "8" ? 0x20
                                                       : 0;
  SetProgrammingRegister0(0x4C | socketBits, 0x48 | socketBits, socketBits);
  AddLog("Programming Started... Wait ");
  ForEachProgramByte(512, &MainForm::P27256_040Byte);
}

bool MainForm::P27256_040Byte() {
  if (parallel.ProgramByte == 0xFF) return true;
  board.SETADR();
  do {
    if (!TakePulse()) return false;
    board.REG4ON();
    board.Reg4Shadow = parallel.ProgramByte;
    board.SetReg4();
    board.CEOEOFF();
    board.CEON();  // the program pulse
    SpeedPulse();
    board.CEOFF();
    board.DelayLoop20();
    board.OEON();
    ReadBackByte();
    board.OEOFF();
  } while (board.ReadByte != parallel.ProgramByte);
  return true;
}

void MainForm::P2764_128() {
  board.REG4ON();
  board.CEOEOFF();
  SetProgrammingRegister0(0x5C, 0x58 | VppLevelBits(), 0x10);
  WaitForHighVpp();
  AddLog("Programming Started... Wait ");
  if (ForEachProgramByte(512, &MainForm::P2764_128Byte)) board.CEOFF();
}

// The pulse is the PGM pin on register 1 bit 6; chip enable stays active across the run.
bool MainForm::P2764_128Byte() {
  if (parallel.ProgramByte == 0xFF) return true;
  board.SETADR();
  board.CEON();
  return PulsePgmUntilRead(board.Reg1Shadow, 0x40, &board::Board::SetReg1);
}

// Pulses a separate PGM line (a register bit, active low) with chip enable held active, then
// reads the byte back with output enable on, until it reads as wanted or the budget runs out.
bool MainForm::PulsePgmUntilRead(int& shadow, int pgmBit, void (board::Board::*write)()) {
  do {
    if (!TakePulse()) return false;
    board.REG4ON();
    board.Reg4Shadow = parallel.ProgramByte;
    board.SetReg4();
    shadow &= ~pgmBit;
    (board.*write)();  // the program pulse starts
    SpeedPulse();
    shadow |= pgmBit;
    (board.*write)();
    board.DelayLoop20();
    board.OEON();
    ReadBackByte();
    board.OEOFF();
  } while (board.ReadByte != parallel.ProgramByte);
  return true;
}

void MainForm::P27010_020() {
  board.REG4ON();
  board.CEON();
  board.OEOFF();
  SetProgrammingRegister0(0x6C, 0x68, 0x20);
  AddLog("Programming Started... Wait ");
  ForEachProgramByte(512, &MainForm::P27010_020Byte);
}

// The pulse is the PGM pin on register 3 bit 2; chip enable stays active.
bool MainForm::P27010_020Byte() {
  if (parallel.ProgramByte == 0xFF) return true;
  board.SETADR();
  return PulsePgmUntilRead(board.Reg3Shadow, 0x04, &board::Board::SetReg3);
}

void MainForm::P27080() {
  board.REG4ON();
  board.CEOEOFF();
  SetProgrammingRegister0(0x4C, 0x48, 0);
  AddLog("Programming Started... Wait ");
  board.OEON();
  ForEachProgramByte(1024, &MainForm::P27080Byte);
}

// The cell is read first: a byte that already holds its value gets no pulse. The pulse is chip
// enable with VPP on the OE/VPP pin.
bool MainForm::P27080Byte() {
  board.SETADR();
  board.CEON();
  ReadBackByte();
  board.CEOFF();
  if (board.ReadByte == parallel.ProgramByte) parallel.ProgramByte = 0xFF;
  if (parallel.ProgramByte == 0xFF) return true;
  do {
    if (!TakePulse()) return false;
    board.REG4ON();
    board.Reg4Shadow = parallel.ProgramByte;
    board.SetReg4();
    board.VPP24_ON();
    board.CEON();
    SpeedPulse();
    board.CEOFF();
    board.VPP24_OFF();
    board.CEON();
    board.DelayLoop20();
    ReadBackByte();
  } while (board.ReadByte != parallel.ProgramByte);
  return true;
}

void MainForm::P2732() {
  board.REG4ON();
  board.CEOEOFF();
  SetProgrammingRegister0(0x4C, 0x48 | VppLevelBits(), 0);
  WaitForHighVpp();
  AddLog("Programming Started... Wait ");
  board.OEON();
  ForEachProgramByte(64, &MainForm::P2732Byte);
}

// The old 24-pin parts: a fixed 5 ms chip-enable pulse with VPP on the OE/VPP pin, whatever the
// speed setting.
bool MainForm::P2732Byte() {
  board.SETADR();
  board.VPP24_OFF();
  board.OEON();
  board.CEON();
  ReadBackByte();
  board.CEOFF();
  if (board.ReadByte == parallel.ProgramByte) parallel.ProgramByte = 0xFF;
  if (parallel.ProgramByte == 0xFF) return true;
  board.SETADR();
  do {
    if (!TakePulse()) return false;
    board.Reg4Shadow = parallel.ProgramByte;
    board.SetReg4();
    board.REG4ON();
    board.CEOFF();
    board.VPP24_ON();
    board.CEON();  // the program pulse starts
    board.Sleep(5);
    board.CEOFF();
    board.VPP24_OFF();
    board.CEON();
    board.DelayLoop20();
    ReadBackByte();
  } while (board.ReadByte != parallel.ProgramByte);
  return true;
}

}  // namespace sorvell::shell
