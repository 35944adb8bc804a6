#pragma once

#include "board/timing.h"

namespace sorvell::board {

// Waits on the real machine. Busy waits spin on the monotonic clock for their iteration count
// times kNanosecondsPerIteration, so a pulse has the same length on every processor; sleeps that
// are too short for the scheduler to honour are spun too.
class RealTiming final : public Timing {
 public:
  void Sleep(std::uint32_t milliseconds) override;
  void Spin(std::int64_t iterations) override;
};

}  // namespace sorvell::board
