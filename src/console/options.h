#pragma once

#include <string>

#include "panel/edges.h"
#include "shell/port_backend.h"

namespace sorvell::console {

inline constexpr const char* kUsage =
    "usage: sorvell-cli [--board SPEC]... [--workdir DIR] [--progdir DIR] [--yes] [SCRIPT | -]\n"
    "  --board sim:M@PORT   a simulated board of model M (4, 5 or 6) at PORT (378, 278 or 3BC);"
    " may repeat\n"
    "  --board sim:none     no board on any port\n"
    "  --board ppdev        the parallel port through /dev/parportN\n"
    "  --board direct       the parallel port through direct I/O (x86, root)\n"
    "  --workdir DIR        where the log, dumps and setups are saved (default: here)\n"
    "  --progdir DIR        where the sounds and the board configuration are kept\n"
    "  --yes                answer OK to every dialog the script does not answer\n"
    "  SCRIPT               operator script to run; - reads it from standard input;\n"
    "                       without one, a short demonstration runs on the board\n"
    "exit status: 0 done; 1 an error alert was raised; 2 bad command line, script not\n"
    "  readable (a regular file of at most 1 MiB) or a bad script line; 3 a file was not saved\n"
    "  or an operation was refused (no port chosen). 2 wins over 1, 1 over 3.\n";

struct Options {
  shell::BoardRequest board;
  std::string workdir;
  std::string progdir;
  bool yes = false;
  bool help = false;
  std::string script;
};

// False with `error` naming the argument that is wrong.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

panel::Folders ResolveFolders(const Options& options, const char* executable);

}  // namespace sorvell::console
