#pragma once

#include <string>

#include "console/options.h"
#include "console/session.h"
#include "shell/port_backend.h"

namespace sorvell::console {

// --dry-run: a burning command run on a simulated board whose socket holds a copy of the part
// (blank, or with --dry-run=read what the real part holds, read from it first), each port
// access costing what one costs on the real port. It says what would happen and how long a real
// board would take; the real part is never written, and nothing is recorded or kept.
int RunDryRun(const Options& options, const std::string& script, shell::PortBackend& real,
              const ConsoleIo& io);

}  // namespace sorvell::console
