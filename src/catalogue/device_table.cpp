#include "catalogue/device_table.h"

#include "common/trim.h"

namespace sorvell::catalogue {

namespace {

constexpr std::int32_t kKB = 1024;

// Register 1 bit 5 is A13, socket pin 28: the VCC pin of a 24-pin part at the bottom of the
// socket. Bits 6 and 7 (A14, A15) are pins 30 and 3 of a 28-pin part: VCC and its VPP or PGM.
constexpr int kVcc24Pin = 32;
constexpr int kVcc28PinPgmHigh = 192;
constexpr int kVcc28Pin = 128;
// Register 1 bit 3 is A11, socket pin 25: pin 21 of a 24-pin part, the 2716's VPP, which reads
// need at VCC.
constexpr int kA11High = 8;

// The first edition's forty rows keep their entries, order and values: setups and scripts name
// the parts by their index. Their Flash codes stay in the Flash room's table of its time.
std::vector<DeviceRow> FirstEditionRows() {
  return {
      {.name = "Eprom 2716",
       .variant = '1',
       .sizeBytes = 4 * kKB,
       .reg1FixedBits = kVcc24Pin,
       .vppCode = 3,
       .available = false},
      {.name = "Eprom 2732A",
       .variant = '1',
       .sizeBytes = 4 * kKB,
       .reg1FixedBits = kVcc24Pin,
       .vppCode = 3},
      {.name = "Eprom 2732B",
       .variant = '1',
       .sizeBytes = 4 * kKB,
       .reg1FixedBits = kVcc24Pin,
       .vppCode = 1},
      {.name = "Eprom 2732",
       .variant = '1',
       .sizeBytes = 4 * kKB,
       .reg1FixedBits = kVcc24Pin,
       .vppCode = 3},
      {.name = "Eprom 27C32",
       .variant = '1',
       .sizeBytes = 4 * kKB,
       .reg1FixedBits = kVcc24Pin,
       .vppCode = 3},
      {.name = "Eprom 2764",
       .variant = '2',
       .sizeBytes = 8 * kKB,
       .reg1FixedBits = kVcc28PinPgmHigh,
       .reg3FixedBits = 2,
       .vppCode = 3},
      {.name = "Eprom 27C64",
       .variant = '2',
       .sizeBytes = 8 * kKB,
       .reg1FixedBits = kVcc28PinPgmHigh,
       .reg3FixedBits = 2,
       .vppCode = 1},
      {.name = "Eprom 27128",
       .variant = '3',
       .sizeBytes = 16 * kKB,
       .reg1FixedBits = kVcc28PinPgmHigh,
       .reg3FixedBits = 2,
       .vppCode = 3},
      {.name = "Eprom 27C128",
       .variant = '3',
       .sizeBytes = 16 * kKB,
       .reg1FixedBits = kVcc28PinPgmHigh,
       .reg3FixedBits = 2,
       .vppCode = 1},
      {.name = "Eprom 27256",
       .variant = '4',
       .sizeBytes = 32 * kKB,
       .reg1FixedBits = kVcc28Pin,
       .reg3FixedBits = 2,
       .vppCode = 3},
      {.name = "Eprom 27C256",
       .variant = '4',
       .sizeBytes = 32 * kKB,
       .reg1FixedBits = kVcc28Pin,
       .reg3FixedBits = 2,
       .vppCode = 1},
      {.name = "Eprom 27C259",
       .variant = '4',
       .sizeBytes = 32 * kKB,
       .reg3FixedBits = 2,
       .vppCode = 1},
      {.name = "Eprom 27C512",
       .variant = '5',
       .sizeBytes = 64 * kKB,
       .reg3FixedBits = 2,
       .vppCode = 1},
      {.name = "Eprom 27C1001",
       .variant = '6',
       .sizeBytes = 128 * kKB,
       .reg3FixedBits = 12,
       .vppCode = 1},
      {.name = "Eprom 27C010",
       .variant = '6',
       .sizeBytes = 128 * kKB,
       .reg3FixedBits = 12,
       .vppCode = 1},
      {.name = "Eprom 27C2001",
       .variant = '7',
       .sizeBytes = 256 * kKB,
       .reg3FixedBits = 12,
       .vppCode = 1},
      {.name = "Eprom 27C020",
       .variant = '7',
       .sizeBytes = 256 * kKB,
       .reg3FixedBits = 12,
       .vppCode = 1},
      {.name = "Eprom 27C4001",
       .variant = '8',
       .sizeBytes = 512 * kKB,
       .reg3FixedBits = 8,
       .vppCode = 1},
      {.name = "Eprom 27C040",
       .variant = '8',
       .sizeBytes = 512 * kKB,
       .reg3FixedBits = 8,
       .vppCode = 1},
      {.name = "Eprom 27C801", .variant = '9', .sizeBytes = 1024 * kKB, .vppCode = 1},
      {.name = "Eprom 27C080", .variant = '9', .sizeBytes = 1024 * kKB, .vppCode = 1},
      {.name = "Eprom 27C080 OTP",
       .variant = 'M',
       .sizeBytes = 1024 * kKB,
       .vppCode = 1,
       .available = false},
      {.name = "Flash Atmel AT29C256",
       .deviceClass = 'F',
       .variant = 'A',
       .sizeBytes = 32 * kKB,
       .reg1FixedBits = kVcc28Pin,
       .reg3FixedBits = 2,
       .available = false,
       .pageBytes = 64},
      {.name = "Flash AMIC A29040",
       .deviceClass = 'F',
       .variant = 'L',
       .sizeBytes = 512 * kKB,
       .reg3FixedBits = 4,
       .available = false},
      {.name = "Flash AMD AM29F010",
       .deviceClass = 'F',
       .variant = 'S',
       .sizeBytes = 128 * kKB,
       .reg3FixedBits = 4},
      {.name = "Flash AMD AM29F020",
       .deviceClass = 'F',
       .variant = 'R',
       .sizeBytes = 256 * kKB,
       .reg3FixedBits = 4},
      {.name = "Flash AMD AM29F040",
       .deviceClass = 'F',
       .variant = 'M',
       .sizeBytes = 512 * kKB,
       .reg3FixedBits = 4},
      {.name = "Flash EON EN29F040",
       .deviceClass = 'F',
       .variant = 'M',
       .sizeBytes = 512 * kKB,
       .reg3FixedBits = 4,
       .available = false},
      {.name = "Flash Atmel AT29F040",
       .deviceClass = 'F',
       .variant = 'N',
       .sizeBytes = 512 * kKB,
       .reg3FixedBits = 4,
       .available = false},
      {.name = "Flash Catalyst CAT28F001",
       .deviceClass = 'F',
       .variant = 'O',
       .sizeBytes = 128 * kKB,
       .reg3FixedBits = 12,
       .available = false},
      {.name = "Flash Catalyst CAT28F010",
       .deviceClass = 'F',
       .variant = 'P',
       .sizeBytes = 128 * kKB,
       .reg3FixedBits = 12,
       .available = false},
      {.name = "Flash Catalyst CAT28F020",
       .deviceClass = 'F',
       .variant = 'Q',
       .sizeBytes = 256 * kKB,
       .reg3FixedBits = 12,
       .available = false},
      {.name = "Eeprom XICOR X28C256",
       .deviceClass = 'E',
       .variant = 'N',
       .sizeBytes = 32 * kKB,
       .reg1FixedBits = 64,
       .reg3FixedBits = 2,
       .pageBytes = 64},
      {.name = "Eeprom Catalyst CAT28C256",
       .deviceClass = 'E',
       .variant = 'O',
       .sizeBytes = 32 * kKB,
       .reg1FixedBits = 64,
       .reg3FixedBits = 2,
       .available = false,
       .pageBytes = 64},
      {.name = "Eeprom Catalyst CAT28C257",
       .deviceClass = 'E',
       .variant = 'P',
       .sizeBytes = 32 * kKB,
       .reg1FixedBits = 64,
       .reg3FixedBits = 2,
       .available = false,
       .pageBytes = 64},
      {.name = "Eeprom 24C08 Serial (8 pins)",
       .deviceClass = 'S',
       .variant = 'A',
       .sizeBytes = 1 * kKB,
       .pageBytes = 16},
      {.name = "Eeprom 24C16 Serial (8 pins)",
       .deviceClass = 'S',
       .variant = 'B',
       .sizeBytes = 2 * kKB,
       .pageBytes = 16},
      {.name = "Eeprom 24C32 Serial (8 pins)",
       .deviceClass = 'S',
       .variant = 'C',
       .sizeBytes = 4 * kKB,
       .pageBytes = 32},
      {.name = "Eeprom 24C256 Serial (8 pins)",
       .deviceClass = 'S',
       .variant = 'E',
       .sizeBytes = 32 * kKB,
       .available = false,
       .pageBytes = 64},
      {.name = "uC Atmel AT90S2313 Micro",
       .deviceClass = 'M',
       .variant = 'J',
       .sizeBytes = 1024 * kKB,
       .available = false},
  };
}

// The parts people burn today, on the routines the first edition already has: SST and Macronix
// Flash on the AMD command set, Atmel's page-write EEPROM, the whole 24Cxx range on the two-wire
// adapter, and the 2716 for reading only.
std::vector<DeviceRow> TodaysRows() {
  const auto flash = [](const char* name, char variant, int kilobytes, PartCode id) {
    return DeviceRow{.name = name,
                     .deviceClass = 'F',
                     .variant = variant,
                     .sizeBytes = kilobytes * kKB,
                     .reg3FixedBits = 4,
                     .id = id};
  };
  // One address byte (block bits in the device address): the 24C08's routine. Two: the 24C32's.
  const auto serial = [](const char* name, char variant, std::int32_t bytes, int page) {
    return DeviceRow{.name = name,
                     .deviceClass = 'S',
                     .variant = variant,
                     .sizeBytes = bytes,
                     .pageBytes = page};
  };
  return {
      flash("Flash SST SST39SF010A", 'S', 128, {0xBF, 0xB5}),
      flash("Flash SST SST39SF020A", 'R', 256, {0xBF, 0xB6}),
      flash("Flash SST SST39SF040", 'M', 512, {0xBF, 0xB7}),
      flash("Flash Macronix MX29F040", 'M', 512, {0xC2, 0xA4}),
      {.name = "Eeprom Atmel AT28C256",
       .deviceClass = 'E',
       .variant = 'N',
       .sizeBytes = 32 * kKB,
       .reg1FixedBits = 64,
       .reg3FixedBits = 2,
       .pageBytes = 64},
      serial("Eeprom 24C01 Serial (8 pins)", 'A', 128, 8),
      serial("Eeprom 24C02 Serial (8 pins)", 'A', 256, 8),
      serial("Eeprom 24C04 Serial (8 pins)", 'A', 512, 16),
      serial("Eeprom 24C64 Serial (8 pins)", 'C', 8 * kKB, 32),
      serial("Eeprom 24C128 Serial (8 pins)", 'C', 16 * kKB, 64),
      serial("Eeprom 24C256 Serial (8 pins)", 'C', 32 * kKB, 64),
      serial("Eeprom 24C512 Serial (8 pins)", 'C', 64 * kKB, 128),
      {.name = "Eprom 2716 (read only)",
       .variant = '1',
       .sizeBytes = 2 * kKB,
       .reg1FixedBits = kVcc24Pin | kA11High,
       .readOnly = true},
  };
}

DeviceTableRow TextRow(const DeviceRow& device) {
  std::string name = device.name;
  name.resize(kNameWidth, ' ');
  return {name,
          std::string(1, device.deviceClass),
          std::string(1, device.variant),
          std::to_string(device.SizeKB()),
          std::to_string(device.reg1FixedBits),
          std::to_string(device.reg3FixedBits),
          std::to_string(device.vppCode),
          device.available ? "Y" : "N"};
}

}  // namespace

const std::vector<DeviceRow>& KnownDevices() {
  static const std::vector<DeviceRow> rows = [] {
    std::vector<DeviceRow> all = FirstEditionRows();
    for (DeviceRow& row : TodaysRows()) all.push_back(std::move(row));
    return all;
  }();
  return rows;
}

std::vector<DeviceRow> DevicesWith(const std::vector<DeviceRow>& operatorRows) {
  std::vector<DeviceRow> all = KnownDevices();
  all.insert(all.end(), operatorRows.begin(), operatorRows.end());
  return all;
}

DeviceTableType DeviceTableOf(const std::vector<DeviceRow>& devices) {
  DeviceTableType table(std::max<std::size_t>(kDeviceRows, devices.size() + 1));
  for (std::size_t i = 0; i < devices.size(); ++i) table[i + 1] = TextRow(devices[i]);
  return table;
}

std::vector<std::string> DeviceListEntries(const DeviceTableType& table,
                                           const std::vector<DeviceRow>& devices) {
  const std::size_t entries = devices.size() + 1;
  std::vector<std::string> list;
  for (std::size_t row = 0; row < entries && row < table.size(); ++row) {
    const bool available = table[row][7] == "Y";
    std::string entry = available ? table[row][0] : "N/A - " + table[row][0];
    if (row > 0 && devices[row - 1].origin == RowOrigin::kOperator) {
      entry = common::TrimBlanks(entry) + std::string(kOwnPartMark);
    }
    list.push_back(std::move(entry));
  }
  return list;
}

std::string RowNameOfEntry(std::string_view entry) {
  std::string name = common::TrimBlanks(std::string(entry));
  if (name.ends_with(kOwnPartMark)) name.resize(name.size() - kOwnPartMark.size());
  return common::TrimBlanks(name);
}

}  // namespace sorvell::catalogue
