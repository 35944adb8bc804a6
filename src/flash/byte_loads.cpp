#include "flash/byte_loads.h"

namespace sorvell::flash {

namespace {

constexpr int kChipEnable = 0x80;  // register 3 bit 7, active low

}  // namespace

void ByteLoads::Begin(const LoadLines& lines) {
  lines_ = lines;
  latched_.fill(kUnknown);
  selected_ = kUnknown;
  loads_ = 0;
  windowStartNs_ = 0;
  longest_ = {};
}

void ByteLoads::Load(int reg1, int reg2, int data) {
  board_.Reg1Shadow = reg1;
  Write(1, reg1);
  board_.Reg2Shadow = reg2;
  Write(2, reg2);
  board_.Reg4Shadow = data;
  Write(4, data);
  board_.Reg3Shadow &= ~kChipEnable;
  Write(3, board_.Reg3Shadow);
  board_.Reg1Shadow &= ~lines_.writeEnableBit;
  const Edge fall = LatchTimed(1, board_.Reg1Shadow);
  board_.Reg1Shadow |= lines_.writeEnableBit;
  const Edge rise = LatchTimed(1, board_.Reg1Shadow);
  board_.Reg3Shadow |= kChipEnable;
  Write(3, board_.Reg3Shadow);
  Time(fall, rise);
}

// The write-enable edge reaches the socket inside the port write of the clock, some time between
// the clock read before that write and the one after it. So the time from the edge that opened
// the window (read after it: at or after the edge) to the next load's fall (read before it: at or
// before the fall) is at least the difference of those two reads, however long the reads or the
// port writes take and wherever a preemption comes. Only when even that exceeds the window was a
// load surely late. The other two reads would give the most it can have been, which is no proof.
void ByteLoads::Time(const Edge& fall, const Edge& rise) {
  if (loads_ > 0 && fall.beforeNs > windowStartNs_) {
    const std::uint64_t gap = fall.beforeNs - windowStartNs_;
    if (gap > longest_.ns) longest_ = {gap, loads_};
  }
  windowStartNs_ = lines_.windowFromFall ? fall.afterNs : rise.afterNs;
  ++loads_;
}

void ByteLoads::Write(int reg, int value) {
  if (latched_[static_cast<std::size_t>(reg)] != value) Latch(reg, value);
}

void ByteLoads::Latch(int reg, int value) {
  board_.DriveDataLines(value);
  Select(reg);
  board_.ClockLatch(reg);
  latched_[static_cast<std::size_t>(reg)] = value;
}

ByteLoads::Edge ByteLoads::LatchTimed(int reg, int value) {
  board_.DriveDataLines(value);
  Select(reg);
  const Edge clocked = board_.ClockLatchTimed(reg);
  latched_[static_cast<std::size_t>(reg)] = value;
  return clocked;
}

void ByteLoads::Select(int reg) {
  if (selected_ == reg) return;
  board_.SelectLatch(reg);
  selected_ = reg;
}

}  // namespace sorvell::flash
