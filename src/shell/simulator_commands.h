#pragma once

#include <string>

namespace sorvell::sim {
class SimBoard;
}  // namespace sorvell::sim

namespace sorvell::shell {

// The simulator's own operations, for scripts and the window's Simulation menu:
//   insert PART [IMAGE]    a fresh part (2732A ... 27C080, or "rom" for a read-only test chip);
//                          IMAGE preloads its cells, the rest read FFh
//   remove                 an empty socket
//   erase                  UV erase of the part in the socket
//   save FILE              the part's own cells, as stored, to FILE
//   fault slow ADDR|all N  cells that need N times the usual pulse time
//   fault stuck ADDR MASK VALUE   bits that never change (stuck at VALUE's bits)
//   vpp4 VOLTS             the model 4 board's VPP setting (12.5, 21 or 25)
// Numbers are hexadecimal (an "h" suffix or "0x" prefix is allowed), volts and factors decimal.
// False with `error` saying what was wrong; nothing changes then.
bool RunSimCommand(sim::SimBoard& board, const std::string& command, std::string& error);

}  // namespace sorvell::shell
