#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "panel/edges.h"
#include "shell/port_backend.h"

namespace sorvell::gui {

extern const char* const kUsage;

struct CommandLine {
  shell::BoardRequest board;
  std::optional<std::filesystem::path> workDir;
  std::optional<std::filesystem::path> progDir;  // program and configuration folder
  // Save a picture of the main window once shown and quit (documentation, checks of the layout).
  std::optional<std::filesystem::path> screenshot;
  bool help = false;
  bool version = false;
};

// Reads the arguments after the program name. False with `error` set when one is not
// understood, lacks its value or names a folder that does not exist.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

// The program's folders: the defaults for `executable`, with what the command line overrides.
panel::Folders FoldersFor(const CommandLine& line, const std::filesystem::path& executable);

}  // namespace sorvell::gui
