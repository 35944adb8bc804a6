#include "gui/command_line.h"

#include "shell/system_edges.h"

namespace sorvell::gui {

const char* const kUsage =
    "usage: sorvell [--board SPEC]... [--workdir DIR] [--progdir DIR]\n"
    "       sorvell --help | --version\n"
    "  --board sim:M@PORT   a simulated board of model M (4, 5 or 6) at PORT (378, 278 or 3BC); "
    "may repeat\n"
    "  --board sim:none     no board on any port\n"
    "  --board ppdev        the parallel port through /dev/parportN\n"
    "  --board ppdev:DEV@PORT  the ppdev port DEV (e.g. /dev/parport1 on a card at D010h) used\n"
    "                       as the board's port PORT (378, 278 or 3BC); may repeat\n"
    "  --board direct       the parallel port through direct I/O (x86, root)\n"
    "  --workdir DIR        where the log, dumps and setups are saved (default: here)\n"
    "  --progdir DIR        where the sounds and the board configuration are (default: the\n"
    "                       program's folder and ~/.config/sorvell)\n";

namespace {

bool ReadFolder(const std::string& option, const std::string& value,
                std::optional<std::filesystem::path>& folder, std::string& error) {
  std::error_code ignored;
  if (!std::filesystem::is_directory(value, ignored)) {
    error = option + ": no such folder: " + value;
    return false;
  }
  folder = value;
  return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "--version") {
      (option == "--help" ? line.help : line.version) = true;
      continue;
    }
    const bool takesValue = option == "--board" || option == "--workdir" || option == "--progdir" ||
                            option == "--screenshot";
    if (!takesValue) {
      error = "unknown argument " + option;
      return false;
    }
    if (i + 1 == args.size()) {
      error = option + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    bool ok = true;
    if (option == "--board") ok = shell::AddBoardSpec(value, line.board, error);
    if (option == "--workdir") ok = ReadFolder(option, value, line.workDir, error);
    if (option == "--progdir") ok = ReadFolder(option, value, line.progDir, error);
    if (option == "--screenshot") line.screenshot = value;
    if (!ok) return false;
  }
  return true;
}

panel::Folders FoldersFor(const CommandLine& line, const std::filesystem::path& executable) {
  panel::Folders folders = shell::DefaultFolders(executable);
  if (line.progDir) folders.programFolder = folders.configFolder = *line.progDir;
  if (line.workDir) folders.workingFolder = *line.workDir;
  return folders;
}

}  // namespace sorvell::gui
