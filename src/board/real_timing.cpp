#include "board/real_timing.h"

#include <chrono>
#include <thread>
#include <utility>

namespace sorvell::board {

namespace {

using Clock = std::chrono::steady_clock;
// A wake-up comes within some 100 us of its time, at real-time priority within a few.
constexpr auto kSleepAbove = std::chrono::milliseconds(1);
constexpr auto kSpunOut = std::chrono::microseconds(300);

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

// A long wait sleeps most of the way, so a pulse of milliseconds leaves the processor to others,
// and spins out the last stretch, which a wake-up may overshoot.
void RealTiming::WaitUntilNs(std::uint64_t deadlineNs) {
  const Clock::time_point deadline{
      std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(deadlineNs))};
  if (deadline - Clock::now() > kSleepAbove) std::this_thread::sleep_until(deadline - kSpunOut);
  SpinUntil(deadline);
}

std::uint64_t RealTiming::NowNs() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
          .count());
}

}  // namespace sorvell::board
