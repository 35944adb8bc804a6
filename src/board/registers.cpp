#include "board/board.h"

namespace sorvell::board {

namespace {

constexpr int kNoLatch = -1;

// The latch a control value clocks: the board decodes n = control (model 4) or control XOR 0Fh
// (models 5 and 6); n bits 3..1 address a latch and bit 0 is its clock.
int ClockedLatch(int model, int control) {
  const int n = model == 4 ? (control & 0x0F) : ((control & 0x0F) ^ 0x0F);
  if ((n & 1) == 0) return kNoLatch;
  constexpr int kLatchAt[8] = {3, 1, kNoLatch, kNoLatch, 2, 0, kNoLatch, 4};
  return kLatchAt[(n >> 1) & 0x07];
}

}  // namespace

Board::Board(PortIo& port, Timing& timing) : port_(port), timing_(timing) {}

void Board::PortOut(std::uint16_t port, int value) {
  if (DataPort == 0) {
    ++RefusedPortAccesses;
    return;
  }
  port_.PortOut(port, static_cast<std::uint8_t>(value & 0xFF));
  FollowLatches(port, value & 0xFF);
}

void Board::FollowLatches(std::uint16_t port, int value) {
  if (DataPort != followedPort_ || BoardModel != followedModel_) {
    latched_ = {};
    dataLines_.reset();
    clockedLatch_ = kNoLatch;
    followedPort_ = DataPort;
    followedModel_ = BoardModel;
  }
  if (BoardModel < 4 || BoardModel > 6) return;
  if (port == DataPort) {
    dataLines_ = value;
  } else if (port == ControlPort) {
    clockedLatch_ = ClockedLatch(BoardModel, value);
  } else {
    return;
  }
  if (clockedLatch_ != kNoLatch) latched_[static_cast<std::size_t>(clockedLatch_)] = dataLines_;
}

std::uint8_t Board::PortIn(std::uint16_t port) {
  if (DataPort == 0) {
    ++RefusedPortAccesses;
    return 0xFF;
  }
  return port_.PortIn(port);
}

void Board::InitStrobeTable() {
  board::InitStrobeTable(StrobeTable);
}

void Board::SelectModelStrobes() {
  StatusPort = static_cast<std::uint16_t>(DataPort + kStatusOffset);
  ControlPort = static_cast<std::uint16_t>(DataPort + kControlOffset);
  int column = 0;
  if (BoardModel == 4) {
    column = kModel4Column;
    ReadLowSelect = kModel4ReadLowSelect;
    ReadHighSelect = kModel4ReadHighSelect;
  } else if (IsModel56()) {
    column = kModel56Column;
    ReadLowSelect = kModel56ReadLowSelect;
    ReadHighSelect = kModel56ReadHighSelect;
  } else {
    return;  // an unknown model keeps whatever values were last in use
  }
  const int* a = &StrobeTable[column];
  const int* b = &StrobeTable[column + 5];
  Reg0StrobeA = a[0], Reg1StrobeA = a[1], Reg2StrobeA = a[2], Reg3StrobeA = a[3],
  Reg4StrobeA = a[4];
  Reg0StrobeB = b[0], Reg1StrobeB = b[1], Reg2StrobeB = b[2], Reg3StrobeB = b[3],
  Reg4StrobeB = b[4];
}

// Data on the lines and the latch selected, each given a strobe wait to settle: nothing is clocked
// yet.
void Board::SelectRegister(int shadow, int strobeA) {
  PortOut(DataPort, shadow);
  StrobeDelay();
  PortOut(ControlPort, strobeA);
  StrobeDelay();
}

// Select, clock the latch for one port write, release the clock. The control port is left
// holding the A value, which the fast Flash loop relies on.
void Board::WriteRegister(int shadow, int strobeA, int strobeB) {
  SelectRegister(shadow, strobeA);
  PortOut(ControlPort, strobeB);
  PortOut(ControlPort, strobeA);
}

void Board::SetReg0() {
  WriteRegister(Reg0Shadow, Reg0StrobeA, Reg0StrobeB);
}
void Board::SetReg1() {
  WriteRegister(Reg1Shadow, Reg1StrobeA, Reg1StrobeB);
}
void Board::SetReg2() {
  WriteRegister(Reg2Shadow, Reg2StrobeA, Reg2StrobeB);
}
void Board::SetReg3() {
  WriteRegister(Reg3Shadow, Reg3StrobeA, Reg3StrobeB);
}
void Board::SetReg4() {
  WriteRegister(Reg4Shadow, Reg4StrobeA, Reg4StrobeB);
}

void Board::Endereco2Adr() {
  AddrByte2 = CurrentAddress / AddressDivisorHigh;
  const std::int32_t rest = CurrentAddress - AddressDivisorHigh * AddrByte2;
  AddrByte1 = rest / AddressDivisorLow;
  AddrByte0 = rest % AddressDivisorLow;
}

// Idle socket: output enable inactive, VPP off, LED off, address 0, chip enable inactive,
// register 4 not driving, the register 3 bit 2 write line inactive. Register 4 keeps its value.
void Board::Reset() {
  Reg0Shadow = 0x40;
  SetReg0();
  CurrentAddress = 0;
  Endereco2Adr();
  Reg1Shadow = Reg1FixedBits | AddrByte1;
  SetReg1();
  Reg2Shadow = AddrByte0;
  SetReg2();
  Reg3Shadow = Reg3FixedBits | 0xC4;
  SetReg3();
  if (OnReset) OnReset();
}

void Board::REG4ON() {
  Reg3Shadow &= 0xBF;
  SetReg3();
}
void Board::REG4OFF() {
  Reg3Shadow |= 0x40;
  SetReg3();
}
void Board::VPP24_ON() {
  Reg0Shadow |= 0xC0;
  SetReg0();
}
void Board::VPP24_OFF() {
  Reg0Shadow &= 0x3F;
  SetReg0();
}
void Board::REG0B3ON() {
  Reg0Shadow |= 0x08;
  SetReg0();
}
void Board::REG0B3OFF() {
  Reg0Shadow &= 0xF7;
  SetReg0();
}
void Board::REG1B7ON() {
  Reg1Shadow |= 0x80;
  SetReg1();
}
void Board::REG1B7OFF() {
  Reg1Shadow &= 0x7F;
  SetReg1();
}
void Board::REG1B6ON() {
  Reg1Shadow |= 0x40;
  SetReg1();
}
void Board::REG1B6OFF() {
  Reg1Shadow &= 0xBF;
  SetReg1();
}

}  // namespace sorvell::board
