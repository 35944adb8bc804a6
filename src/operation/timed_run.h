#pragma once

#include <cstdint>
#include <string>

#include "operation/operation.h"

namespace sorvell::operation {

// A device run of timed work (programming pulses, command cycles, bytes on the two-wire bus):
// what the system grants it is taken here and given back however the run ends; a refusal is
// logged, once per program run, with its fix.
class TimedRun {
 public:
  explicit TimedRun(Operation& operation);
  ~TimedRun();
  TimedRun(const TimedRun&) = delete;
  TimedRun& operator=(const TimedRun&) = delete;

 private:
  board::Timing& timing_;
};

// The programming pulses of one run as the clock measured them at the socket. The datasheets give
// each pulse width within 5% of its nominal length: a pulse past that stressed the part (the
// process was preempted inside it, or the slider's strobe waits outlast it), and the operator is
// told how many did, and the longest.
class PulseRecord {
 public:
  void Note(std::uint64_t widthNs, std::uint64_t lengthNs);
  // Empty when no pulse ran long.
  std::string LongPulseReport() const;

 private:
  std::uint64_t pulses_ = 0;
  std::uint64_t longPulses_ = 0;
  std::uint64_t longestNs_ = 0;
  std::uint64_t longestLengthNs_ = 0;
};

}  // namespace sorvell::operation
