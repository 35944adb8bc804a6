#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvell::catalogue {

// A device named on the command line as the device list names it: the whole entry text, or its
// chip name alone ("27C256" for "Eprom 27C256"), any letter case.
struct DeviceChoice {
  std::optional<int> index;  // the list position; none with `error` saying why
  std::string error;
};

// `entries` are the device list's entries ("N/A - " before those that cannot be chosen).
DeviceChoice ChooseDevice(const std::vector<std::string>& entries, std::string_view name);

// The entry's text without the padding and the "N/A - " mark.
std::string EntryName(std::string_view entry);

// The positions of the non-empty entries whose name holds `text`, any letter case.
std::vector<int> FilterDevices(const std::vector<std::string>& entries, std::string_view text);

}  // namespace sorvell::catalogue
