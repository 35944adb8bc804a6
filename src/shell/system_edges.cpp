#include "shell/system_edges.h"

#include <cstdlib>
#include <ctime>

namespace sorvell::shell {

panel::LocalTime SystemWallClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

namespace {

std::filesystem::path ProgramFolder(const std::filesystem::path& executable) {
  std::error_code error;
  const auto binFolder = std::filesystem::weakly_canonical(executable, error).parent_path();
  const auto installed = binFolder.parent_path() / "share" / "sorvell";
  if (std::filesystem::exists(installed / "init.wav", error)) return installed;
  return binFolder;
}

std::filesystem::path ConfigFolder() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    return std::filesystem::path(xdg) / "sorvell";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / ".config" / "sorvell";
  }
  return std::filesystem::current_path();
}

std::filesystem::path DataFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
    return std::filesystem::path(xdg) / "sorvell";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / ".local" / "share" / "sorvell";
  }
  return std::filesystem::current_path() / "sorvell-data";
}

}  // namespace

panel::Folders DefaultFolders(const std::filesystem::path& executable) {
  std::error_code error;
  return {ProgramFolder(executable), ConfigFolder(), std::filesystem::current_path(error),
          DataFolder()};
}

}  // namespace sorvell::shell
