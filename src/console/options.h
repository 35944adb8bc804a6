#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "buffers/image_formats.h"
#include "panel/edges.h"
#include "shell/port_backend.h"

namespace sorvell::console {

inline constexpr const char* kUsage =
    "usage: sorvell-cli [OPTIONS] COMMAND ...      one operation on the board\n"
    "       sorvell-cli [OPTIONS] [SCRIPT | -]     an operator script\n"
    "       sorvell-cli [--board SPEC]... --system-info\n"
    "       sorvell-cli --help | --version\n"
    "Runs the Sorvell programmer's main window without a window: each command does what the\n"
    "same clicks do at the window. Prints every log line and every dialog.\n"
    "\n"
    "commands (DEV is a device as the device list names it, e.g. 27C256, AM29F040, 24C16):\n"
    "  list [TEXT] [--json]   the device list (selectable or not), entries holding TEXT\n"
    "  checksum FILE          the file's sums, CRC-16/CCITT, CRC-32, MD5, SHA-1 and SHA-256\n"
    "  detect [--json]        search the ports for a board and report it\n"
    "  read    -d DEV -o FILE [--passes N]  read the part into FILE (N times, comparing)\n"
    "  blank   -d DEV [--report JSON]       blank check\n"
    "  program -d DEV -i FILE [--no-blank-check] [--no-verify] [--half hi|lo] [--vpp V]\n"
    "                         [--speed N] [--passes N] [--no-pad] [--no-backup]  program FILE\n"
    "                         into the part (asks first; a shorter FILE is filled out with FFh\n"
    "                         unless --no-pad)\n"
    "  verify  -d DEV -i FILE [--report JSON] [--passes N]  compare the part with FILE\n"
    "  erase   -d DEV [--no-backup]  erase a Flash, X28C256 or serial part (asks first)\n"
    "                         program and erase first keep what the part held in DATADIR/backups\n"
    "                         (unless --no-backup; a part the blank check found erased has\n"
    "                         nothing to keep); a backup that cannot be written stops them\n"
    "  id      -d DEV         the Flash part's identification codes\n"
    "  job run JOB [--count N] [--no-wait]  a production run: the job file's device, image,\n"
    "                         options and serial numbers, part after part; asks \"insert part\n"
    "                         N of M, press Enter\" (q or end of input ends the job) unless\n"
    "                         --no-wait; --count N burns N parts instead of the job's count\n"
    "image files (no board; addresses and sizes in hex, or 32K; bytes in hex):\n"
    "  swap IN -o OUT         the bytes of each 16-bit word swapped\n"
    "  split IN EVEN ODD      the even and the odd bytes into two files (a 16-bit bus's ROMs)\n"
    "  interleave EVEN ODD -o OUT  one image from its even and odd halves\n"
    "  place IN FILE OFFSET -o OUT  FILE laid over IN at OFFSET\n"
    "  cut IN FIRST-LAST -o OUT     the bytes FIRST to LAST of IN\n"
    "  fill IN FIRST-LAST BYTE -o OUT  FIRST to LAST set to BYTE\n"
    "  pad IN -d DEV -o OUT   IN filled out to the part's size with FFh\n"
    "  repeat IN -d DEV -o OUT  IN repeated to the part's size\n"
    "  compare IN FILE        where FILE differs from IN (exit 1 when it does)\n"
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
    "  --port 378|278|3BC   use the board on this port (the LPT option), whatever was found\n"
    "  --model 4|5|6        force the board model (Setup > Force Set SORVELL-N)\n"
    "  --format bin|hex|srec  the format of -i/-o files (default: by content, else extension)\n"
    "  --log FILE           keep the log lines of the run in FILE\n"
    "  --sim 'LINE'         a sim script line run before the command (simulated board only),\n"
    "                       e.g. --sim 'insert 27C256'; may repeat\n"
    "  --workdir DIR        where the log, dumps and setups are saved (default: here)\n"
    "  --progdir DIR        where the sounds, the manual and the board configuration are kept\n"
    "  --datadir DIR        where the record of every part and the backups are kept (default:\n"
    "                       ~/.local/share/sorvell)\n"
    "  --yes, -y            answer OK to every dialog (program and erase burn without asking)\n"
    "  --dry-run[=read]     program, erase or job run on a simulated copy of the part (blank, or\n"
    "                       what the real part holds, read first): what would happen, and how\n"
    "                       long a real board would take at this port's cost per access\n"
    "  --keep-going, -k     run a script to its end: without it the script stops at the first\n"
    "                       event that ends as a device error or not done (a Cancel the script\n"
    "                       answers itself goes on) and exits with that event's status\n"
    "  --system-info        print what decides whether the parallel port can be used (kernel,\n"
    "                       ports, ppdev nodes and their permissions, modules, backend) with the\n"
    "                       fix for each problem, and exit\n"
    "  --help, -h           print this and exit\n"
    "  --version            print the program's version and exit\n"
    "  SCRIPT               operator script to run; - reads it from standard input;\n"
    "                       without a script or command, a short demonstration runs\n"
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
    "exit status: 0 done; 1 a device error (the error alert, a part or board that does not\n"
    "  answer, a failed port); 2 bad command line, an unknown or unselectable device, a script\n"
    "  not readable (a regular file of at most 1 MiB) or a bad script line; 3 not done: a file\n"
    "  not loaded or saved, an operation refused, cancelled or not supported by the part, no\n"
    "  port chosen; 4 stopped by a signal; 5 no board found.\n"
    "  2 wins over 4, 4 over 1, 1 over 5, 5 over 3. job run: 0 every part done, 1 a part\n"
    "  failed, 2 a job file refused, 3 not started (image not the job's) or ended with parts\n"
    "  left, 4 stopped by a signal.\n"
    "More: man sorvell-cli, and the operator's manual (Help > Contents in the window).\n";

// A one-line command: what to do and with what.
struct Command {
  std::string name;  // list, checksum, detect, read, blank, program, verify, erase, id, job,
                     // history, restore, an image command; or none
  std::string device;
  std::string input;
  std::string output;
  std::string filter;  // list TEXT
  // The image commands' files and values, in the order the usage gives them.
  std::vector<std::string> words;
  bool json = false;
  std::string report;  // verify and blank: every difference and the diagnosis, as JSON
  int passes = 1;      // read, verify, program's verify: how many times the part is read
  bool noBlankCheck = false;
  bool noVerify = false;
  // An image shorter than the part: the rest of the part from what the buffer holds there, not
  // FFh.
  bool noPad = false;
  // Program and erase change the part without first keeping what it held.
  bool noBackup = false;
  std::string half;     // "", "hi" or "lo"
  std::string vpp;      // "", "5", "12.5", "21" or "25"
  int speed = 0;        // 0: the slider as it is
  int count = 0;        // job run: parts to burn; 0 the job's own count
  bool noWait = false;  // job run: the next part without asking (a part handler feeds them)
  // history: the filters (device above), and the form of the list.
  std::string job;
  std::string serial;
  std::string outcome;
  std::string since;
  std::string until;
  bool csv = false;
  int limit = 0;            // 0: every record
  std::int64_t record = 0;  // restore
  // Program, erase and restore burn the part.
  bool Destructive() const { return name == "program" || name == "erase" || name == "restore"; }
};

struct Options {
  shell::BoardRequest board;
  std::string workdir;
  std::string progdir;
  std::string datadir;
  // "", "blank" (--dry-run) or "read" (--dry-run=read): the burn on a simulated copy of the part.
  std::string dryRun;
  bool yes = false;
  bool keepGoing = false;  // a script runs on past an event that was not done or failed
  bool help = false;
  bool version = false;
  bool systemInfo = false;
  std::string script;
  std::string port;  // "", "378", "278" or "3BC"
  int model = 0;     // 0: as detected
  std::optional<buffers::ImageFormat> format;
  std::string log;
  std::vector<std::string> sim;
  Command command;
};

// False with `error` naming the argument that is wrong.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

panel::Folders ResolveFolders(const Options& options, const char* executable);

}  // namespace sorvell::console
