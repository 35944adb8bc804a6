#pragma once

#include <filesystem>

#include "panel/edges.h"

namespace sorvell::shell {

// The time of day from the system clock, in local time.
class SystemWallClock final : public panel::WallClock {
 public:
  panel::LocalTime Now() override;
};

// Where the program's files are when nothing else is said: the program folder is the folder of
// the executable (the build puts the sounds there; an installation, share/sorvell beside bin),
// the configuration folder $XDG_CONFIG_HOME/sorvell (or ~/.config/sorvell), the working folder
// the current directory.
panel::Folders DefaultFolders(const std::filesystem::path& executable);

}  // namespace sorvell::shell
