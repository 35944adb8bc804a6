#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sorvell::board {

// Who the program runs as, for judging whether it may open a device node.
struct UserIdentity {
  unsigned uid = 0;
  std::vector<unsigned> groups;  // the process's groups, the primary one included
  std::string name;
};

// The identity of this process.
UserIdentity CurrentUser();

// What the front end knows and the machine cannot tell.
struct SystemFacts {
  std::string programVersion;
  std::string toolkitVersion;  // the Qt version, or "not used"
  std::string backend;         // the port backend in use and why it was chosen
  // Where the sounds and the manual were looked for and what was found; empty: not reported.
  std::string programFiles{};
};

// Everything that decides whether the parallel port can be used, with the fix for each problem
// found: the kernel, the parallel ports it lists and their base addresses, the ppdev device
// nodes and whether this user may open them, and the parport_pc, ppdev and lp modules. The
// machine is read under `root` ("/" normally): proc/sys/kernel, proc/sys/dev/parport,
// proc/modules, sys/module, sys/class/ppdev, dev and etc/group. Empty when none of it can be
// read.
std::optional<std::string> SystemReport(const SystemFacts& facts, const std::filesystem::path& root,
                                        const UserIdentity& user);

}  // namespace sorvell::board
