#pragma once

#include "board/timing.h"

namespace sorvell::board {

// Waits on the real machine. Busy waits spin on the monotonic clock for their iteration count
// times kNanosecondsPerIteration, so a pulse has the same length on every processor. A sleep
// never ends early: what the scheduler leaves of it is spun out.
class RealTiming final : public Timing {
 public:
  void Sleep(std::uint32_t milliseconds) override;
  void Spin(std::int64_t iterations) override;
};

}  // namespace sorvell::board
