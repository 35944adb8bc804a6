#pragma once

#include <cstdint>

namespace sorvell::sim {

// Simulated time in nanoseconds. Port accesses, busy waits and sleeps all advance it, so pulse
// widths, write cycles and erase times can be checked without any real waiting.
class VirtualClock {
 public:
  std::uint64_t NowNs() const { return nowNs_; }
  void AdvanceNs(std::uint64_t ns) { nowNs_ += ns; }

 private:
  std::uint64_t nowNs_ = 0;
};

}  // namespace sorvell::sim
