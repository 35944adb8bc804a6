#include "sim/virtual_timing.h"

namespace sorvell::sim {

namespace {
constexpr std::uint64_t kNanosecondsPerMillisecond = 1'000'000;
}

void VirtualTiming::Sleep(std::uint32_t ms) {
  sleptMs_ += ms;
  clock_.AdvanceNs(ms * kNanosecondsPerMillisecond);
}

void VirtualTiming::Spin(std::int64_t iterations) {
  if (iterations < 1) return;
  spunIterations_ += iterations;
  clock_.AdvanceNs(static_cast<std::uint64_t>(iterations * board::kNanosecondsPerIteration));
}

void VirtualTiming::WaitUntilNs(std::uint64_t deadlineNs) {
  const std::uint64_t now = clock_.NowNs();
  if (deadlineNs > now) clock_.AdvanceNs(deadlineNs - now);
}

}  // namespace sorvell::sim
