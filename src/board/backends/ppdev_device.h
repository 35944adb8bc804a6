#pragma once

#include <cstdint>
#include <string>

namespace sorvell::board {

// A claimed ppdev device node, or why it could not be claimed.
struct PpdevClaim {
  int descriptor = -1;
  std::string failure;  // for the operator: the cause and the fix, naming the device
};

// Opens `device` (a /dev/parportN) and claims its port exclusively for this process. `role` says
// which board base it serves in messages ("the port at 378h", "mapped to 378h").
PpdevClaim ClaimPpdevDevice(const std::string& device, const std::string& role);

// Gives the port back and closes the descriptor.
void ReleasePpdevDevice(int descriptor);

}  // namespace sorvell::board
