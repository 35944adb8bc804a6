#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/backends/ppdev_port.h"
#include "board/port_io.h"
#include "board/timing.h"

namespace sorvell::sim {
class SimulatedPort;
class VirtualClock;
}  // namespace sorvell::sim

namespace sorvell::shell {

// How the operator asked to reach the board (console: --board, may repeat).
struct BoardRequest {
  enum class Kind { kAuto, kSimulated, kPpdev, kDirect };
  Kind kind = Kind::kAuto;
  struct SimBoard {
    int model;
    std::uint16_t base;
  };
  std::vector<SimBoard> simBoards;               // kSimulated: empty means no board on any port
  std::vector<board::PpdevMapping> ppdevMapped;  // kPpdev: only these nodes, at these bases
};

// Parses one --board value into `request` ("sim:6@378", "sim:none", "ppdev",
// "ppdev:/dev/parport1@378", "direct"). Several sim boards or ppdev mappings may be given; a real
// backend excludes any other choice. False with `error` set on a
// value that is not understood.
bool AddBoardSpec(const std::string& spec, BoardRequest& request, std::string& error);

// The port, the clock behind it and a line saying which it is.
struct PortBackend {
  std::unique_ptr<sim::VirtualClock> clock;  // simulated board only
  std::unique_ptr<board::PortIo> port;
  std::unique_ptr<board::Timing> timing;
  sim::SimulatedPort* simulator = nullptr;  // simulated board only
  std::string description;                  // ends with the measured cost of one port access
  std::uint64_t accessNs = 0;               // that cost in nanoseconds

  PortBackend();
  PortBackend(PortBackend&&) noexcept;
  PortBackend& operator=(PortBackend&&) noexcept;
  ~PortBackend();
};

// The backend's description with why it was chosen, for the system report.
std::string BackendInUse(const BoardRequest& request, const PortBackend& backend);

// Where the real backends look; tests point these at fake trees.
struct BackendPaths {
  std::string procRoot = "/proc/sys/dev/parport";
  std::string devRoot = "/dev";
};

// Opens what was asked for. Auto tries ppdev and falls back to a simulated model 6 board at 378h
// only when the kernel lists no port at a board address: a listed port that cannot be opened gives
// no port and the reason, because an operator would otherwise program a chip that is not there.
// Direct I/O is never tried unasked (it writes to raw I/O addresses). An explicit real backend
// that cannot be opened gives no port and the reason in `error`.
std::optional<PortBackend> OpenPortBackend(const BoardRequest& request, std::string& error,
                                           const BackendPaths& paths = {});

}  // namespace sorvell::shell
