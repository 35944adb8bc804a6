#pragma once

#include <string>

#include "panel/edges.h"
#include "shell/port_backend.h"

namespace sorvell::console {

inline constexpr const char* kUsage =
    "usage: sorvell-cli [--board SPEC]... [--workdir DIR] [--progdir DIR] [--yes] [SCRIPT | -]\n"
    "       sorvell-cli [--board SPEC]... --system-info\n"
    "       sorvell-cli --help\n"
    "Runs the Sorvell programmer's main window without a window, from an operator script;\n"
    "prints every log line and every dialog.\n"
    "\n"
    "options:\n"
    "  --board SPEC         how the board is reached (default: ppdev when a port opens, else a\n"
    "                       simulated model 6 board at 378h when no port is at a board address):\n"
    "      sim:M@PORT       a simulated board of model M (4, 5 or 6) at PORT (378, 278 or 3BC);\n"
    "                       may repeat\n"
    "      sim:none         simulated, no board on any port\n"
    "      ppdev            the parallel port through /dev/parportN\n"
    "      ppdev:DEV@PORT   the ppdev port DEV (e.g. /dev/parport1, a card at D010h) used as\n"
    "                       the board's port PORT (378, 278 or 3BC); may repeat\n"
    "      direct           the parallel port through direct I/O (x86, root)\n"
    "  --workdir DIR        where the log, dumps and setups are saved (default: here)\n"
    "  --progdir DIR        where the sounds, the manual and the board configuration are kept\n"
    "  --yes                answer OK to every dialog the script does not answer\n"
    "  --system-info        print what decides whether the parallel port can be used (kernel,\n"
    "                       ports, ppdev nodes and their permissions, modules, backend) with the\n"
    "                       fix for each problem, and exit\n"
    "  --help, -h           print this and exit\n"
    "  SCRIPT               operator script to run; - reads it from standard input;\n"
    "                       without one, a short demonstration runs on the board\n"
    "\n"
    "script lines (one a line; # starts a comment):\n"
    "  click NAME           a button, menu entry, label, check box or option button\n"
    "  dblclick NAME        SystemLog or BufferDisplay\n"
    "  select Device VALUE  a device list index or entry text\n"
    "  set NAME VALUE       check box 0/1, option True/False, Slider1 1..20, VScroll1, a text box\n"
    "  answer VALUE         answers the next dialog: OK, Cancel, Yes, No, a text, a file path\n"
    "  show NAME            prints the control\n"
    "  sim ...              the simulated socket: insert PART [IMAGE], insert rom FILE, remove,\n"
    "                       erase, save FILE, fault ..., protect on|off, vpp4 12.5|21|25\n"
    "\n"
    "exit status: 0 done; 1 an error alert was raised; 2 bad command line, script not\n"
    "  readable (a regular file of at most 1 MiB) or a bad script line; 3 a file was not saved\n"
    "  or an operation was refused (no port chosen). 2 wins over 1, 1 over 3.\n"
    "More: man sorvell-cli, and the operator's manual (Help > Contents in the window).\n";

struct Options {
  shell::BoardRequest board;
  std::string workdir;
  std::string progdir;
  bool yes = false;
  bool help = false;
  bool systemInfo = false;
  std::string script;
};

// False with `error` naming the argument that is wrong.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

panel::Folders ResolveFolders(const Options& options, const char* executable);

}  // namespace sorvell::console
