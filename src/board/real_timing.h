#pragma once

#include <memory>

#include "board/real_time.h"
#include "board/timing.h"

namespace sorvell::board {

// Waits on the real machine. Busy waits spin on the monotonic clock for their iteration count
// times kNanosecondsPerIteration, so a pulse has the same length on every processor. A sleep
// never ends early: what the scheduler leaves of it is spun out. Timed work takes what the system
// grants of real-time priority and locked memory.
class RealTiming final : public Timing {
 public:
  explicit RealTiming(std::unique_ptr<RealTimeCalls> calls = SystemRealTimeCalls());

  void Sleep(std::uint32_t milliseconds) override;
  void Spin(std::int64_t iterations) override;
  std::uint64_t NowNs() override;
  void WaitUntilNs(std::uint64_t deadlineNs) override;
  std::string BeginTimedRun() override { return section_.BeginRun(); }
  void EndTimedRun() override { section_.EndRun(); }
  void BeginTimedWork() override { section_.BeginWork(); }
  void EndTimedWork() override { section_.EndWork(); }

 private:
  std::unique_ptr<RealTimeCalls> calls_;
  RealTimeSection section_{*calls_};
};

}  // namespace sorvell::board
