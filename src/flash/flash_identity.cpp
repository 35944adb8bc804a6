#include "flash/flash_identity.h"

#include <algorithm>
#include <cstdio>

#include "flash/flash_id_table.h"

namespace sorvell::flash {

namespace {

std::string CodeText(int maker, int device) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X", maker & 0xFF, device & 0xFF);
  return text;
}

// "SST SST39SF010A Flash Memory" for the row "Flash SST SST39SF010A", as the first edition's table
// names its parts.
std::string PartTitle(std::string_view rowName) {
  constexpr std::string_view kClassWord = "Flash ";
  if (rowName.starts_with(kClassWord)) rowName.remove_prefix(kClassWord.size());
  return std::string(rowName) + " Flash Memory";
}

}  // namespace

FlashIdentity::FlashIdentity(operation::Operation& operation, FlashCommands& commands)
    : board_(operation.board),
      device_(operation.device),
      panel_(operation.panel),
      commands_(commands) {}

// Only a code the table knows names a part; anything else (an empty socket reads FFFFh) is not
// an identification.
void FlashIdentity::menuFlashShowCodeID_Click() {
  panel_.AddLog("Reading Flash Code ID_________________ wait");
  ReadFlashID();
  if (device_.DeviceType != "F") {
    panel_.ReportNotDone(panel::NotDoneReason::kNotSupported, "the device is not a Flash");
  } else if (FlashPageSize == 0) {
    panel_.ReportNotDone(panel::NotDoneReason::kNotSupported,
                         "Device ID# " + FlashID + " - Not Valid");
  } else {
    panel_.ReportDone("Device ID# " + FlashID);
  }
}

// Data lines released, then output and chip enable on, then the bytes at 0 and 1 through the
// Flash address path. The command cycles before leave the data latch driving, so it lets go
// first: the part's outputs never come on against it.
std::string FlashIdentity::ReadFirstTwoBytes(int& first, int& second) {
  board_.REG4OFF();
  board_.CEOEON();
  board_.SETADR_FLASH();
  board_.GetNibbles();
  first = board_.ReadByte;
  board_.IncADR();
  board_.SETADR_FLASH();
  board_.GetNibbles();
  second = board_.ReadByte;
  return CodeText(first, second);
}

void FlashIdentity::ReadFlashID() {
  FlashPageSize = 0;
  if (device_.DeviceType != "F") return;
  board_.Reset();
  board_.REG0B3ON();
  board_.OEOFF();
  commands_.FlashCommand = 0x90;
  commands_.SendFlashCommand();
  FlashID = ReadFirstTwoBytes(FlashMakerByte, FlashDeviceByte);
  board_.OEOFF();
  commands_.FlashCommand = 0xF0;
  commands_.SendFlashCommand();
  board_.Sleep(20);
  board_.Sleep(20);
  board_.AddrByte0 = board_.AddrByte1 = board_.AddrByte2 = 0;
  int first = 0, second = 0;
  FlashReadCode = ReadFirstTwoBytes(first, second);
  board_.CEOEOFF();
  if (FlashID == FlashReadCode) {
    panel_.AddLog("*** Not a Flash Unit, Address 00&01 = FlashCode ***");
  }
  LookUpFlashID();
  board_.REG0B3OFF();
}

void FlashIdentity::LookUpFlashID() {
  for (const FlashIdEntry& entry : kFlashIds) {
    if (FlashID != entry.code) continue;
    panel_.AddLog("Device ID# " + FlashID + " - " + std::string(entry.name));
    FlashPageSize = entry.pageSize;
  }
  if (FlashPageSize == 0) {
    if (const catalogue::DeviceRow* part = ListedPart(FlashMakerByte, FlashDeviceByte)) {
      panel_.AddLog("Device ID# " + FlashID + " - " + PartTitle(part->name));
      FlashPageSize = std::max(1, part->pageBytes);
    }
  }
  if (FlashPageSize == 0) panel_.AddLog("Device ID# " + FlashID + " - " + " Not Valid!!!");
}

const catalogue::DeviceRow* FlashIdentity::ListedPart(int maker, int device) const {
  for (const catalogue::DeviceRow& row : device_.Devices) {
    if (row.available && row.id == catalogue::PartCode{maker, device}) return &row;
  }
  return nullptr;
}

bool FlashIdentity::SupportedFlashMaker(int maker) const {
  if (FirstEditionFlashMaker(maker)) return true;
  return std::ranges::any_of(device_.Devices, [maker](const catalogue::DeviceRow& row) {
    return row.available && row.id && row.id->maker == maker &&
           row.Routines().program == catalogue::ProgramRoutine::kProgramFlash;
  });
}

void FlashIdentity::ProbeFlashID() {
  commands_.FlashCommand = 0x90;
  commands_.SendFlashCommand();
  int first = 0, second = 0;
  ReadFirstTwoBytes(first, second);
  board_.OEOFF();
  commands_.FlashCommand = 0xF0;
  commands_.SendFlashCommand();
  board_.Sleep(20);
}

}  // namespace sorvell::flash
