#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/routines.h"

namespace sorvell::catalogue {

// Where a row of the list comes from: built in, or the operator's own device file.
enum class RowOrigin { kBuiltIn, kOperator };

// The codes a part answers to its identification command: maker, then device.
struct PartCode {
  int maker = 0;
  int device = 0;

  bool operator==(const PartCode&) const = default;
};

// One device the programmer knows. The class letter and variant character together make the
// family, which names the routines every button reaches for the part (routines.h); the other
// fields are what those routines need to know of this part in particular.
struct DeviceRow {
  std::string name{};
  char deviceClass = 'P';  // P UV-EPROM, F Flash, E parallel EEPROM, S serial EEPROM, M micro
  char variant = '1';
  std::int32_t sizeBytes = 0;
  int reg1FixedBits = 0;  // OR-ed into register 1 with every address
  int reg3FixedBits = 0;  // OR-ed into register 3 with every address
  int vppCode = 0;        // 0 5V only, 1 12.5V, 2 12.5V or 21V, 3 12.5V, 21V or 25V
  bool available = true;
  // Bytes one write cycle takes at most: the page of a page-write or two-wire part. A write
  // never crosses it. 0 for parts written a byte at a time.
  int pageBytes = 0;
  // The identification codes of a Flash part; none for parts without a software ID.
  std::optional<PartCode> id{};
  // Read, blank check and verify only: the board cannot give the part its programming voltage.
  bool readOnly = false;
  RowOrigin origin = RowOrigin::kBuiltIn;
  // An operator's row: the built-in part it behaves as.
  std::string like{};

  std::string Family() const { return {deviceClass, variant}; }
  // The size column of the list: whole kilobytes (0 for the parts below 1 KB).
  int SizeKB() const { return sizeBytes / 1024; }
  const FamilyRoutines& Routines() const { return RoutinesOf(Family()); }
};

inline constexpr int kDeviceRows = 81;  // at least rows 0..80
inline constexpr int kDeviceColumns = 8;
inline constexpr int kNameWidth = 30;
// The rows the list has held from its first edition; the parts added later follow them.
inline constexpr int kFirstEditionRows = 40;

// The built-in catalogue in list order: element n - 1 is entry n of the device list.
const std::vector<DeviceRow>& KnownDevices();

// The built-in rows, then the operator's own after them.
std::vector<DeviceRow> DevicesWith(const std::vector<DeviceRow>& operatorRows);

// The device list as text, one row per entry (row 0 empty): name padded to 30 characters, class,
// variant, size in KB, the fixed register bits and the VPP code in decimal, "Y"/"N". At least
// kDeviceRows rows; those past the last device empty.
using DeviceTableRow = std::array<std::string, kDeviceColumns>;
using DeviceTableType = std::vector<DeviceTableRow>;
DeviceTableType DeviceTableOf(const std::vector<DeviceRow>& devices);

// The entries of the device list: row 0 .. last used row, unavailable ones as "N/A - " + name,
// the operator's own marked as such.
std::vector<std::string> DeviceListEntries(const DeviceTableType& table,
                                           const std::vector<DeviceRow>& devices);

inline constexpr std::string_view kOwnPartMark = "  (own part)";

// False for the entries the list shows but that cannot be chosen (those marked "N/A").
inline bool SelectableEntry(std::string_view entry) {
  return !entry.starts_with("N/A");
}

// The part's name without the list's decorations: the padding and the own-part mark.
std::string RowNameOfEntry(std::string_view entry);

}  // namespace sorvell::catalogue
