#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "board/backends/system_report.h"

namespace sorvell::shell {

inline constexpr const char* kSystemInfoUnavailable =
    "System Information Is Unavailable At This Time";

// What the About box's system check reports on, as the front end knows it. The machine is read
// under `root`; tests point it at a fake tree and give the user.
struct SystemCheck {
  std::string toolkitVersion = "not used";
  std::string backend = "not known";
  std::filesystem::path root = "/";
  std::optional<board::UserIdentity> user;  // none: this process's
  std::filesystem::path programFolder{};    // where the sounds and the manual are looked for
};

// The report, or empty when nothing of the machine can be read.
std::optional<std::string> SystemReportText(const SystemCheck& check);

// What of the program's own files (the sounds, the manual) `programFolder` holds:
// "/usr/share/sorvell (sounds: all 5; manual: manual/index.html)".
std::string ProgramFilesText(const std::filesystem::path& programFolder);

// The manual's first page in the program folder, or empty when it is not installed there.
std::filesystem::path ManualIndex(const std::filesystem::path& programFolder);

}  // namespace sorvell::shell
