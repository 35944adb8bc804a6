#include "board/real_timing.h"

#include <chrono>
#include <thread>

namespace sorvell::board {

namespace {

using Clock = std::chrono::steady_clock;

void SpinUntil(Clock::time_point deadline) {
  while (Clock::now() < deadline) {
  }
}

}  // namespace

// A sleep may overshoot by the scheduler's slack but never ends early: a programming pulse timed
// by a sleep must be at least as long as asked.
void RealTiming::Sleep(std::uint32_t milliseconds) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  std::this_thread::sleep_until(deadline);
  SpinUntil(deadline);
}

void RealTiming::Spin(std::int64_t iterations) {
  if (iterations < 1) return;
  SpinUntil(Clock::now() + std::chrono::nanoseconds(iterations * kNanosecondsPerIteration));
}

}  // namespace sorvell::board
