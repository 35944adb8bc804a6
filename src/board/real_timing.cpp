#include "board/real_timing.h"

#include <chrono>
#include <thread>
#include <utility>

namespace sorvell::board {

namespace {

using Clock = std::chrono::steady_clock;

void SpinUntil(Clock::time_point deadline) {
  while (Clock::now() < deadline) {
  }
}

}  // namespace

RealTiming::RealTiming(std::unique_ptr<RealTimeCalls> calls) : calls_(std::move(calls)) {}

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

std::uint64_t RealTiming::NowNs() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
          .count());
}

}  // namespace sorvell::board
