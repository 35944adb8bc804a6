#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/device_table.h"

namespace sorvell::catalogue {

// The operator's own parts: a TOML file of [[device]] tables, each a name and the built-in part
// it behaves as ("like") or the algorithm that drives it, with the values that differ (size,
// vpp, id, page). They follow the built-in rows in the list.
inline constexpr const char* kDeviceFileName = "devices.toml";
inline constexpr std::size_t kDeviceFileMaxBytes = 64 * 1024;
inline constexpr std::size_t kDeviceFileMaxRows = 100;

struct DeviceFile {
  std::vector<DeviceRow> rows;
  // Empty when the file was taken whole (or is not there); else why it was refused, with the
  // file's name and line. A refused file adds no row at all.
  std::string error;
};

// The rows of a device file's text; `fileName` names it in the error.
DeviceFile ParseDeviceFile(std::string_view text, const std::string& fileName);

// The device file at `path`. A missing file adds no row and is no error; anything else that is
// not a regular file of at most kDeviceFileMaxBytes is refused.
DeviceFile ReadDeviceFile(const std::filesystem::path& path);

}  // namespace sorvell::catalogue
