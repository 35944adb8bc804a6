#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sorvell::catalogue {

// One device the programmer knows. The class letter and variant character together make the
// family code every operation dispatches on ("P4", "FM", "EN", "SA", ...).
struct DeviceRow {
  const char* name;
  char deviceClass;  // P UV-EPROM, F Flash, E parallel EEPROM, S serial EEPROM, M microcontroller
  char variant;
  int sizeKB;
  int reg1FixedBits;  // OR-ed into register 1 with every address
  int reg3FixedBits;  // OR-ed into register 3 with every address
  int vppCode;        // 0 5V only, 1 12.5V, 2 12.5V or 21V, 3 12.5V, 21V or 25V
  bool available;
};

inline constexpr int kDeviceRows = 81;  // rows 0..80; 1..40 are filled
inline constexpr int kDeviceColumns = 8;
inline constexpr int kNameWidth = 30;

// The catalogue in list order: row n of the table is entry n of the device list.
const std::vector<DeviceRow>& KnownDevices();  // rows 1..40

using DeviceTableType = std::array<std::array<std::string, kDeviceColumns>, kDeviceRows>;

// Rows 1 to 40 as text (name padded to 30 characters, numbers in decimal, "Y"/"N"); row 0 and
// rows 41 to 80 empty.
void FillDeviceTable(DeviceTableType& table);

// The entries of the device list: row 0 .. last used row, unavailable ones as "N/A - " + name.
std::vector<std::string> DeviceListEntries(const DeviceTableType& table);

// False for the entries the list shows but that cannot be chosen (those marked "N/A").
inline bool SelectableEntry(std::string_view entry) {
  return !entry.starts_with("N/A");
}

}  // namespace sorvell::catalogue
