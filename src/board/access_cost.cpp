#include "board/access_cost.h"

namespace sorvell::board {

std::uint64_t MeasureAccessNs(PortIo& port, Timing& timing, std::uint16_t statusPort, int reads) {
  if (reads < 1) return 0;
  const std::uint64_t startNs = timing.NowNs();
  for (int i = 0; i < reads; ++i) port.PortIn(statusPort);
  return (timing.NowNs() - startNs) / static_cast<std::uint64_t>(reads);
}

std::string AccessCostText(std::uint64_t nanoseconds) {
  const std::uint64_t tenths = (nanoseconds + 50) / 100;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " us per port access";
}

}  // namespace sorvell::board
