#include "board/access_cost.h"

#include <algorithm>

namespace sorvell::board {

// The reads go in batches and the quickest batch's mean is taken: a preemption during the
// measurement lengthens one batch, not the figure. A figure too high would shorten every
// programming pulse by the difference, since a pulse's closing write is issued that much early.
std::uint64_t MeasureAccessNs(PortIo& port, Timing& timing, std::uint16_t statusPort, int reads) {
  constexpr int kBatch = 16;
  std::uint64_t quickest = 0;
  for (int done = 0; done < reads;) {
    const int batch = std::min(kBatch, reads - done);
    const std::uint64_t startNs = timing.NowNs();
    for (int i = 0; i < batch; ++i) port.PortIn(statusPort);
    const std::uint64_t mean = (timing.NowNs() - startNs) / static_cast<std::uint64_t>(batch);
    if (done == 0 || mean < quickest) quickest = mean;
    done += batch;
  }
  return quickest;
}

std::string AccessCostText(std::uint64_t nanoseconds) {
  const std::uint64_t tenths = (nanoseconds + 50) / 100;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " us per port access";
}

}  // namespace sorvell::board
