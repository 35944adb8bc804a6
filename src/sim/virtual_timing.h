#pragma once

#include <cstdint>

#include "board/timing.h"
#include "sim/virtual_clock.h"

namespace sorvell::sim {

// Waits that advance the virtual clock by exactly the time the real waits would take.
class VirtualTiming final : public board::Timing {
 public:
  explicit VirtualTiming(VirtualClock& clock) : clock_(clock) {}

  void Sleep(std::uint32_t ms) override;
  void Spin(std::int64_t iterations) override;
  std::uint64_t NowNs() override { return clock_.NowNs(); }
  // To the nanosecond, as a spin on a real clock ends.
  void WaitUntilNs(std::uint64_t deadlineNs) override;

  std::uint64_t SleptMs() const { return sleptMs_; }
  std::int64_t SpunIterations() const { return spunIterations_; }

 private:
  VirtualClock& clock_;
  std::uint64_t sleptMs_ = 0;
  std::int64_t spunIterations_ = 0;
};

}  // namespace sorvell::sim
