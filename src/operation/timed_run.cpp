#include "operation/timed_run.h"

namespace sorvell::operation {

TimedRun::TimedRun(Operation& operation) : timing_(operation.board.Clock()) {
  const std::string why = timing_.BeginTimedRun();
  if (!why.empty()) operation.panel.AddLog(why);
}

TimedRun::~TimedRun() {
  timing_.EndTimedRun();
}

void PulseRecord::Note(std::uint64_t widthNs, std::uint64_t lengthNs) {
  ++pulses_;
  if (widthNs * 20 <= lengthNs * 21) return;
  ++longPulses_;
  if (widthNs <= longestNs_) return;
  longestNs_ = widthNs;
  longestLengthNs_ = lengthNs;
}

// "3 of 32768 programming pulses ran longer than the datasheets allow (5% over their length); the
// longest lasted 15703 us for a 101 us pulse"
std::string PulseRecord::LongPulseReport() const {
  if (longPulses_ == 0) return {};
  return std::to_string(longPulses_) + " of " + std::to_string(pulses_) +
         " programming pulses ran longer than the datasheets allow (5% over their length); the "
         "longest lasted " +
         std::to_string((longestNs_ + 500) / 1000) + " us for a " +
         std::to_string((longestLengthNs_ + 500) / 1000) + " us pulse";
}

}  // namespace sorvell::operation
