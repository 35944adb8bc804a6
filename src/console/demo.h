#pragma once

#include <cstdio>

#include "shell/port_backend.h"

namespace sorvell::console {

// Until the operator window lands: put a small read-only memory in the simulated socket, read it
// back through the board's registers and status lines, and print what came back.
int RunReadDemonstration(shell::PortBackend& backend, std::FILE* out);

}  // namespace sorvell::console
