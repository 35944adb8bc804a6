#include "console/options.h"

#include <cstring>
#include <filesystem>

#include "shell/system_edges.h"

namespace sorvell::console {

namespace {

bool Folder(const char* flag, const char* value, std::string& target, std::string& error) {
  std::error_code code;
  if (!std::filesystem::is_directory(value, code)) {
    error = std::string(flag) + " " + value + ": no such folder";
    return false;
  }
  target = value;
  return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--system-info") {
      options.systemInfo = true;
    } else if (arg == "--yes") {
      options.yes = true;
    } else if (arg == "--board" && hasValue) {
      if (!shell::AddBoardSpec(argv[++i], options.board, error)) return false;
    } else if (arg == "--workdir" && hasValue) {
      if (!Folder("--workdir", argv[++i], options.workdir, error)) return false;
    } else if (arg == "--progdir" && hasValue) {
      if (!Folder("--progdir", argv[++i], options.progdir, error)) return false;
    } else if ((arg == "-" || !arg.starts_with("-")) && options.script.empty()) {
      options.script = arg;
    } else {
      error = "unexpected argument " + arg;
      return false;
    }
  }
  return true;
}

panel::Folders ResolveFolders(const Options& options, const char* executable) {
  panel::Folders folders = shell::DefaultFolders(executable);
  if (!options.progdir.empty()) folders.programFolder = folders.configFolder = options.progdir;
  if (!options.workdir.empty()) folders.workingFolder = options.workdir;
  return folders;
}

}  // namespace sorvell::console
