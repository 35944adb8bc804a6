#include "catalogue/device_table.h"

namespace sorvell::catalogue {

const std::vector<DeviceRow>& KnownDevices() {
  static const std::vector<DeviceRow> rows = {
      {"Eprom 2716", 'P', '1', 4, 32, 0, 3, false},
      {"Eprom 2732A", 'P', '1', 4, 32, 0, 3, true},
      {"Eprom 2732B", 'P', '1', 4, 32, 0, 1, true},
      {"Eprom 2732", 'P', '1', 4, 32, 0, 3, true},
      {"Eprom 27C32", 'P', '1', 4, 32, 0, 3, true},
      {"Eprom 2764", 'P', '2', 8, 192, 2, 3, true},
      {"Eprom 27C64", 'P', '2', 8, 192, 2, 1, true},
      {"Eprom 27128", 'P', '3', 16, 192, 2, 3, true},
      {"Eprom 27C128", 'P', '3', 16, 192, 2, 1, true},
      {"Eprom 27256", 'P', '4', 32, 128, 2, 3, true},
      {"Eprom 27C256", 'P', '4', 32, 128, 2, 1, true},
      {"Eprom 27C259", 'P', '4', 32, 0, 2, 1, true},
      {"Eprom 27C512", 'P', '5', 64, 0, 2, 1, true},
      {"Eprom 27C1001", 'P', '6', 128, 0, 12, 1, true},
      {"Eprom 27C010", 'P', '6', 128, 0, 12, 1, true},
      {"Eprom 27C2001", 'P', '7', 256, 0, 12, 1, true},
      {"Eprom 27C020", 'P', '7', 256, 0, 12, 1, true},
      {"Eprom 27C4001", 'P', '8', 512, 0, 8, 1, true},
      {"Eprom 27C040", 'P', '8', 512, 0, 8, 1, true},
      {"Eprom 27C801", 'P', '9', 1024, 0, 0, 1, true},
      {"Eprom 27C080", 'P', '9', 1024, 0, 0, 1, true},
      {"Eprom 27C080 OTP", 'P', 'M', 1024, 0, 0, 1, false},
      {"Flash Atmel AT29C256", 'F', 'A', 32, 128, 2, 0, false},
      {"Flash AMIC A29040", 'F', 'L', 512, 0, 4, 0, false},
      {"Flash AMD AM29F010", 'F', 'S', 128, 0, 4, 0, true},
      {"Flash AMD AM29F020", 'F', 'R', 256, 0, 4, 0, true},
      {"Flash AMD AM29F040", 'F', 'M', 512, 0, 4, 0, true},
      {"Flash EON EN29F040", 'F', 'M', 512, 0, 4, 0, false},
      {"Flash Atmel AT29F040", 'F', 'N', 512, 0, 4, 0, false},
      {"Flash Catalyst CAT28F001", 'F', 'O', 128, 0, 12, 0, false},
      {"Flash Catalyst CAT28F010", 'F', 'P', 128, 0, 12, 0, false},
      {"Flash Catalyst CAT28F020", 'F', 'Q', 256, 0, 12, 0, false},
      {"Eeprom XICOR X28C256", 'E', 'N', 32, 64, 2, 0, true},
      {"Eeprom Catalyst CAT28C256", 'E', 'O', 32, 64, 2, 0, false},
      {"Eeprom Catalyst CAT28C257", 'E', 'P', 32, 64, 2, 0, false},
      {"Eeprom 24C08 Serial (8 pins)", 'S', 'A', 1, 0, 0, 0, true},
      {"Eeprom 24C16 Serial (8 pins)", 'S', 'B', 2, 0, 0, 0, true},
      {"Eeprom 24C32 Serial (8 pins)", 'S', 'C', 4, 0, 0, 0, true},
      {"Eeprom 24C256 Serial (8 pins)", 'S', 'E', 32, 0, 0, 0, false},
      {"uC Atmel AT90S2313 Micro", 'M', 'J', 1024, 0, 0, 0, false},
  };
  return rows;
}

void FillDeviceTable(DeviceTableType& table) {
  table = {};
  int row = 1;
  for (const DeviceRow& device : KnownDevices()) {
    std::string name = device.name;
    name.resize(kNameWidth, ' ');
    table[row] = {name,
                  std::string(1, device.deviceClass),
                  std::string(1, device.variant),
                  std::to_string(device.sizeKB),
                  std::to_string(device.reg1FixedBits),
                  std::to_string(device.reg3FixedBits),
                  std::to_string(device.vppCode),
                  device.available ? "Y" : "N"};
    ++row;
  }
}

std::vector<std::string> DeviceListEntries(const DeviceTableType& table) {
  int lastUsed = 0;
  for (int row = 1; row < kDeviceRows; ++row) {
    if (!table[row][0].empty()) lastUsed = row;
  }
  std::vector<std::string> entries;
  for (int row = 0; row <= lastUsed; ++row) {
    const bool available = table[row][7] == "Y";
    entries.push_back(available ? table[row][0] : "N/A - " + table[row][0]);
  }
  return entries;
}

}  // namespace sorvell::catalogue
