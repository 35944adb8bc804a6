#include "serial/two_wire_bus.h"

namespace sorvell::serial {

namespace {

constexpr int kAckSamples = 200;

}  // namespace

TwoWireBus::TwoWireBus(operation::Operation& operation)
    : board_(operation.board), run_(operation.run) {}

// SDA falls while SCL is high.
void TwoWireBus::Start24CXX() {
  board_.CEON();
  board_.Reg4Shadow = 0x80;
  board_.SetReg4();
  board_.REG4ON();
  board_.CEOFF();
  board_.Reg4Shadow = 0;
  board_.SetReg4();
  board_.CEON();
}

// SDA rises while SCL is high.
void TwoWireBus::Stop24CXX() {
  board_.CEON();
  board_.Reg4Shadow = 0;
  board_.SetReg4();
  board_.REG4ON();
  board_.CEOFF();
  board_.Reg4Shadow = 0x80;
  board_.SetReg4();
  board_.CEON();
}

// Most significant bit first, each set while SCL is low and clocked by one SCL pulse. A byte's
// clocks go out as timed work, so that no other process holds SCL in the middle of a byte.
void TwoWireBus::ShiftOutProgramByte() {
  const board::TimedWork held(board_.Clock());
  board_.REG4ON();
  board_.Reg4Shadow = run_.ProgramByte;
  for (int bit = 0; bit < 8; ++bit) {
    board_.SetReg4();
    board_.CEOFF();
    board_.CEON();
    board_.Reg4Shadow = (board_.Reg4Shadow * 2) & 0xFF;
  }
}

void TwoWireBus::SendByte24CXX() {
  ShiftOutProgramByte();
  WaitAck24CXX();
}

// The device drives the acknowledge from the eighth falling edge; the ninth clock follows whether
// or not it came.
void TwoWireBus::WaitAck24CXX() {
  board_.REG4OFF();
  for (int n = 1;; ++n) {
    run_.AckCount = n;
    board_.GetNibbles24CXX();
    if ((board_.ReadByte & 0x80) == 0) {
      run_.AckCount = 0;
      break;
    }
    board_.Sleep(1);
    if (n >= kAckSamples) break;
  }
  board_.CEOFF();
  board_.CEON();
}

void TwoWireBus::PollByte24CXX() {
  ShiftOutProgramByte();
  board_.REG4OFF();
  board_.Sleep(1);
  board_.GetNibbles24CXX();
  board_.ReadByte &= 0x80;
}

// SDA is sampled while SCL is high.
void TwoWireBus::ReceiveByte24CXX() {
  const board::TimedWork held(board_.Clock());
  int value = 0;
  board_.REG4OFF();
  for (int bit = 0; bit < 8; ++bit) {
    board_.CEON();
    board_.CEOFF();
    board_.GetNibbles24CXX();
    value = value * 2 + ((board_.ReadByte & 0x80) ? 1 : 0);
  }
  board_.CEON();
  board_.ReadByte = static_cast<std::uint8_t>(value);
}

}  // namespace sorvell::serial
