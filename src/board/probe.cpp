#include "board/probe.h"

namespace sorvell::board {

namespace {

constexpr int kProbedStatusBits = 0x70;

struct ProbeSteps {
  Board& board;
  void Data(int value) { board.PortOut(board.DataPort, value); }
  void Control(int value) { board.PortOut(board.ControlPort, value); }
  int Read() { return board.PortIn(board.StatusPort) & kProbedStatusBits; }
};

// Model 5/6 polarity: latch 00h then FFh into register 4 with register 4 driving the bus, and
// read the low nibble each time.
int TestA(Board& board) {
  ProbeSteps s{board};
  s.Data(0x9F);
  s.Control(0x0E);
  s.Control(0x00);
  s.Data(0x00);
  s.Control(0x06);
  board.WaitSettlingTime();
  const int first = s.Read();
  s.Control(0x00);
  s.Data(0xFF);
  s.Control(0x06);
  board.WaitSettlingTime();
  return first * 256 + s.Read();
}

// The same with model 4 values (register 2 B 9, register 3 B 1, register 4 B 15, register 2 A 8).
int TestB(Board& board) {
  ProbeSteps s{board};
  s.Control(9);
  s.Data(0xBF);
  s.Control(1);
  s.Control(9);
  s.Data(0x00);
  s.Control(15);
  s.Control(9);
  board.WaitSettlingTime();
  const int first = s.Read();
  s.Data(0xFF);
  s.Control(15);
  s.Control(9);
  board.WaitSettlingTime();
  const int second = s.Read();
  s.Control(8);
  return first * 256 + second;
}

}  // namespace

ProbeResult RunProbeTests(Board& board) {
  ProbeResult result;
  result.testA = TestA(board);
  result.testB = TestB(board);
  return result;
}

bool AnswersAsModel6(Board& board) {
  const int savedLow = board.ReadLowSelect;
  const int savedHigh = board.ReadHighSelect;
  board.ReadLowSelect = kModel56ReadLowSelect;
  board.ReadHighSelect = kModel56ReadHighSelect;
  ProbeSteps s{board};
  s.Data(0x60);  // register 3: identification line on, register 4 off the bus
  s.Control(0x0E);
  s.Control(0x00);
  board.GetNibbles();
  const int withLine = board.ReadByte;
  s.Data(0x40);  // identification line off
  s.Control(0x0E);
  s.Control(0x00);
  board.GetNibbles();
  const int withoutLine = board.ReadByte;
  board.ReadLowSelect = savedLow;
  board.ReadHighSelect = savedHigh;
  return withLine == 0xEF && withoutLine == 0xFF;
}

}  // namespace sorvell::board
