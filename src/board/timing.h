#pragma once

#include <cstdint>
#include <string>

namespace sorvell::board {

// Every wait the program makes goes through here: millisecond sleeps and the counted busy waits
// that shape programming pulses and register strobes. The real implementation spins a fixed,
// documented time per iteration (kNanosecondsPerIteration), so a pulse is as long on a fast
// machine as on a slow one; the simulator's implementation advances virtual time by the same
// amounts instead of waiting.
class Timing {
 public:
  virtual ~Timing() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // A busy wait of `iterations` loop iterations; a count below 1 waits not at all.
  virtual void Spin(std::int64_t iterations) = 0;
  // A monotonic clock in nanoseconds, for timing work that has a deadline (a page's byte loads).
  virtual std::uint64_t NowNs() = 0;

  // A wait that ends at `deadlineNs` on NowNs's clock, never before; nothing when it has passed.
  // It shapes a programming pulse to its length at the socket, whatever the port writes inside it
  // took. The default spins whole iterations.
  virtual void WaitUntilNs(std::uint64_t deadlineNs);

  // Around a device run (memory locked where the system allows it), and around each piece of
  // timed work in it (a programming pulse, a page of byte loads, a part's command cycles, a byte
  // on the two-wire bus: real-time priority there, so that neither another process nor a page
  // fault stretches it; dropped between them, so the window runs). Runs may nest: the outermost
  // one holds. BeginTimedRun returns, the first time only, why the system refused (for the log).
  virtual std::string BeginTimedRun() { return {}; }
  virtual void EndTimedRun() {}
  virtual void BeginTimedWork() {}
  virtual void EndTimedWork() {}
};

// Length of one busy-wait iteration. At the default speed-slider position (18) the CMOS EPROM
// pulse (SpeedCountA = 202 iterations) lasts 101 us, the 100 us quick-pulse of the datasheets,
// and a register write (four port accesses and two strobe waits of 12 iterations) takes about
// 16 us. The byte loads of the page-write parts wait for no strobe: they go at port speed.
inline constexpr std::int64_t kNanosecondsPerIteration = 500;

// One piece of timed work, however it ends (a port fault or a stop unwinds through it).
class TimedWork {
 public:
  explicit TimedWork(Timing& timing) : timing_(timing) { timing_.BeginTimedWork(); }
  ~TimedWork() { timing_.EndTimedWork(); }
  TimedWork(const TimedWork&) = delete;
  TimedWork& operator=(const TimedWork&) = delete;

 private:
  Timing& timing_;
};

inline void Timing::WaitUntilNs(std::uint64_t deadlineNs) {
  const std::uint64_t now = NowNs();
  if (deadlineNs <= now) return;
  const std::uint64_t left = deadlineNs - now;
  const auto perIteration = static_cast<std::uint64_t>(kNanosecondsPerIteration);
  Spin(static_cast<std::int64_t>((left + perIteration - 1) / perIteration));
}

}  // namespace sorvell::board
