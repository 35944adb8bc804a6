#pragma once

#include <cstdint>
#include <string>

#include "board/port_io.h"
#include "board/timing.h"

namespace sorvell::board {

// The time of one port access, in nanoseconds: `reads` reads of a status port (an input, so
// reading it changes nothing on the board) timed on the timing's clock, in batches whose quickest
// mean is taken. On a real port each access
// is a system call or an I/O instruction on a slow bus, and a page's byte loads are five register
// writes of four accesses each: this says how much of the parts' byte-load window that leaves.
std::uint64_t MeasureAccessNs(PortIo& port, Timing& timing, std::uint16_t statusPort,
                              int reads = 256);

// "1.3 us per port access", to one decimal.
std::string AccessCostText(std::uint64_t nanoseconds);

}  // namespace sorvell::board
