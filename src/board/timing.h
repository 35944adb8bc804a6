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

  // Around a programming run of page loads, and around each page load in it: where the system
  // allows it the real timing locks memory for the run and runs each page load at real-time
  // priority, so that neither a page fault nor another process comes between two byte loads.
  // BeginPageLoads returns, the first time only, why that could not be had (for the log).
  virtual std::string BeginPageLoads() { return {}; }
  virtual void EndPageLoads() {}
  virtual void BeginPageLoad() {}
  virtual void EndPageLoad() {}
};

// Length of one busy-wait iteration. At the default speed-slider position (18) the CMOS EPROM
// pulse (SpeedCountA = 202 iterations) lasts 101 us, the 100 us quick-pulse of the datasheets,
// and a register write (four port accesses and two strobe waits of 12 iterations) takes about
// 16 us. The byte loads of the page-write parts wait for no strobe: they go at port speed.
inline constexpr std::int64_t kNanosecondsPerIteration = 500;

}  // namespace sorvell::board
