#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/decode_tables.h"
#include "catalogue/device_table.h"

namespace sorvell::catalogue {

// What selecting a device sets: the parameters every operation reads.
struct Selection {
  // The list's parts, built in then the operator's own: entry n of the list is Devices[n - 1].
  std::vector<DeviceRow> Devices = KnownDevices();
  DeviceTableType DeviceTable{};
  // The selected part's row, whole; empty until a device is selected.
  DeviceRow Row{};
  std::string DeviceName;
  std::string DeviceType;
  std::string DeviceVariant;
  std::string DeviceFamily;  // empty until a device is selected
  std::int32_t DeviceSizeKB = 0;
  std::int32_t DeviceSize = 0;   // bytes of every whole-device loop; a loaded file overrides it
  std::int32_t DeviceBytes = 0;  // the selected device's own size
  int VppCode = 0;
  int VppVolts = 0;
  std::int32_t SpeedFactorA = 100;
  std::int32_t SpeedFactorB = 500;

  // Whether Program may be offered: a part is selected and the board can program it.
  bool Programmable() const { return !DeviceFamily.empty() && !Row.readOnly; }
  // The routines the selected part's family reaches; none before a part is selected.
  const FamilyRoutines& Routines() const { return RoutinesOf(DeviceFamily); }
};

struct SpeedCounts {
  std::int32_t strobe;
  std::int32_t speedA;
  std::int32_t speedB;
};

struct SpeedFactors {
  std::int32_t strobe;
  std::int32_t speedA;
  std::int32_t speedB;
};

// Old NMOS parts (variants "1" and "2") need far longer pulses and strobes; the 1 MB parts
// (variant "9") shorter ones.
SpeedFactors FactorsForVariant(const std::string& variant);

// Counts at a slider position (1 slowest .. maximum fastest). Below position 10 the strobe uses
// the pulse factor, slowing every register write.
SpeedCounts CalcSpeedCounts(int position, int maximum, const SpeedFactors& factors);

// The address-line translations of a family: Flash parts take A18 on register 3 bit 3, the
// page-write EEPROM A14 on register 1 bit 7. Every other family uses the identity.
void BuildAddressMaps(const std::string& family, board::DecodeTable& mapB,
                      board::DecodeTable& mapC);

}  // namespace sorvell::catalogue
