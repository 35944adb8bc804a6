#pragma once

#include <string>

namespace sorvell::sim {
class SimBoard;
class SimulatedPort;
}  // namespace sorvell::sim

namespace sorvell::shell {

// The simulator's own operations, for scripts and the window's Simulation menu:
//   insert PART [IMAGE]    a fresh part (2732A ... 27C080, AM29F010, AM29F020, AM29F040,
//                          X28C256, AT29C256, 24C08, 24C16, 24C32, or "rom" for a read-only
//                          test chip);
//                          IMAGE preloads its cells, the rest read FFh
//   remove                 an empty socket
//   erase                  UV erase of the EPROM in the socket
//   save FILE              the part's own cells, as stored, to FILE
//   fault slow ADDR|all N  EPROM cells that need N times the usual pulse time
//   fault stuck ADDR MASK VALUE   bits that never change (stuck at VALUE's bits); with mask FF
//                          on a Flash or EEPROM (serial ones too), a byte that never takes
//   fault id MAKER DEVICE  a Flash that answers these ID codes
//   fault erase-hangs      a Flash whose erase never completes
//   fault no-ack           a serial EEPROM that never acknowledges (absent or dead)
//   fault busy             a serial EEPROM whose next write cycle never ends
//   fault board-off-after N   the board loses its power or cable after N more port accesses
//                          reach it (0: now): the status lines read FFh, the latches forget
//   protect on|off         software data protection of an X28C256 or AT29C256
//   vpp4 VOLTS             the model 4 board's VPP setting (12.5, 21 or 25)
// Numbers are hexadecimal (an "h" suffix or "0x" prefix is allowed), volts and factors decimal.
// False with `error` saying what was wrong; nothing changes then.
bool RunSimCommand(sim::SimBoard& board, const std::string& command, std::string& error);

// The part `insert` makes for a device list row ("Eprom 27C256" -> "27C256", "Flash AMD AM29F010"
// -> "AM29F010"): the first word of the row's name the simulator knows. Empty when none is.
std::string SimulatedPartFor(const std::string& rowName);

// The same, and what concerns the port the board hangs on:
//   fault port-fails-after N  every port access after the next N fails (a USB adapter
//                          unplugged): the operation ends as it would on a real port
//   reconnect              the port works again, and the board has its power and cable back
bool RunSimCommand(sim::SimulatedPort& port, sim::SimBoard& board, const std::string& command,
                   std::string& error);

}  // namespace sorvell::shell
