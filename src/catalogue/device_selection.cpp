#include "catalogue/device_selection.h"

#include <algorithm>
#include <string>

#include "catalogue/device_table.h"
#include "common/trim.h"
#include "panel/window_layouts.h"

namespace sorvell::catalogue {

namespace {

constexpr const char* kPleaseSelect = "Please Select Device on this List";

// A part's VPP code names its highest programming voltage option: 0 offers 5 V alone, 1 to 3
// offer 12.5 V up to 12.5, 21 or 25 V. The suggested one is 5 V or 12.5 V.
bool VoltageOffered(int vppCode, int index) {
  return vppCode == 0 ? index == 0 : index >= 1 && index <= vppCode;
}

int SuggestedVoltage(int vppCode) {
  return vppCode == 0 ? 0 : 1;
}

}  // namespace

DeviceSelection::DeviceSelection(Selection& device, board::Board& board, panel::Panel& panel,
                                 LoadedImages& images)
    : device_(device), board_(board), panel_(panel), images_(images) {}

void DeviceSelection::FillDeviceList() {
  device_.DeviceTable = DeviceTableOf(device_.Devices);
  panel::Control& list = panel_.frmMain["Device"];
  list.SetItems(DeviceListEntries(device_.DeviceTable, device_.Devices));
  list.SetValue(-1);
}

void DeviceSelection::CalcSpeedDelays() {
  const panel::Control& slider = panel_.frmMain["Slider1"];
  const SpeedCounts counts =
      CalcSpeedCounts(slider.Value(), slider.Maximum(),
                      {board_.StrobeFactor, device_.SpeedFactorA, device_.SpeedFactorB});
  board_.StrobeCount = counts.strobe;
  board_.SpeedCountA = counts.speedA;
  board_.SpeedCountB = counts.speedB;
}

void DeviceSelection::Slider1_Change() {
  panel_.AddLog("Program Speed Slider set to: " +
                std::to_string(panel_.frmMain["Slider1"].Value()));
  CalcSpeedDelays();
  panel_.PlayEventSound("SLIDE");
}

void DeviceSelection::Voltage_button_Click(int index) {
  if (index == 1) {
    device_.VppVolts = 12;
    panel_.AddLog("Most Common Programming Voltage Selected: 12.5 Volts!!!");
  } else if (index == 2 || index == 3) {
    device_.VppVolts = index == 2 ? 21 : 25;
    panel_.AddLog("BE CAREFULL!!! You just Selected Programming Voltage as " +
                  std::to_string(device_.VppVolts) + " Volts!!!");
  }
}

void DeviceSelection::Device_Click() {
  panel::Control& list = panel_.frmMain["Device"];
  if (list.Value() < 0) {
    list.SetCaption(kPleaseSelect);
    return;
  }
  const std::string name = RowNameOfEntry(list.Caption());
  if (!SelectableEntry(name)) {
    list.SetValue(-1);
    list.SetCaption(kPleaseSelect);
    return;
  }
  ApplyTableRow(name);
  board_.CEOFF();
  board_.OEOFF();
  if (device_.DeviceType == "S") {
    board_.CEON();
    board_.OEON();
  }
  CalcSpeedDelays();
  device_.DeviceSize = device_.DeviceBytes = device_.Row.sizeBytes;
  panel_.frmMain["VScroll1"].SetRange(0, std::max(0, device_.DeviceSize / 256 - 1));
  ShowDeviceOptions();
  ClearDeviceControls();
  EnableSelectedDeviceControls();
  SelectSuggestedVoltage();
  images_.EnableLoadedBufferControls();
  panel_.ErrorLabelOff();
  panel_.DataFlowLabelOff();
  panel_.AddLog("Device " + device_.DeviceName + " was Selected");
  panel_.AddLog("Device Size is: " + std::to_string(device_.DeviceSize) +
                " Bytes, Initial VPP suggested: " + (device_.VppCode == 0 ? "5V" : "12.5V"));
  images_.ReportImageFit();
  panel_.PlayEventSound("DONE");
}

// The selected row's parameters: class, variant, size, fixed register bits, VPP choices, the
// address maps and the speed factors of its family.
void DeviceSelection::ApplyTableRow(const std::string& name) {
  const auto index = static_cast<std::size_t>(panel_.frmMain["Device"].Value());
  device_.Row = device_.Devices.at(index - 1);
  const DeviceRow& row = device_.Row;
  device_.DeviceName = name;
  device_.DeviceType = std::string(1, row.deviceClass);
  device_.DeviceVariant = std::string(1, row.variant);
  device_.DeviceSizeKB = row.SizeKB();
  board_.Reg1FixedBits = row.reg1FixedBits;
  board_.Reg3FixedBits = row.reg3FixedBits;
  device_.VppCode = row.vppCode;
  device_.DeviceFamily = row.Family();
  BuildAddressMaps(device_.DeviceFamily, board_.AdrMapB, board_.AdrMapC);
  const SpeedFactors factors = FactorsForVariant(device_.DeviceVariant);
  board_.StrobeFactor = factors.strobe;
  device_.SpeedFactorA = factors.speedA;
  device_.SpeedFactorB = factors.speedB;
}

void DeviceSelection::ShowDeviceOptions() {
  for (const char* shown : {"Frame5", "CheckBlankPriorProgramming", "VerifyAfterProgramming",
                            "ReadTwice", "BackupBeforeBurn", "FrameVoltageSelection"}) {
    panel_.frmMain[shown].SetVisible(true);
  }
  // A part the board can only read has nothing to blank-check before, or verify after.
  for (const char* option :
       {"CheckBlankPriorProgramming", "VerifyAfterProgramming", "BackupBeforeBurn"}) {
    panel_.frmMain[option].SetEnabled(!device_.Row.readOnly);
  }
}

void DeviceSelection::EnableSelectedDeviceControls() {
  panel::Form& form = panel_.frmMain;
  const std::string& type = device_.DeviceType;
  for (const char* name : {"Read_button", "menuReadCode", "Display_button", "menuDisplayCode",
                           "Blank_button", "menuBlankCheck"}) {
    form[name].SetEnabled(true);
  }
  if (type == "S") {
    form["Blank_button"].SetEnabled(false);
    form["menuBlankCheck"].SetEnabled(false);
  }
  if (type == "E" || type == "F" || type == "S") {
    for (const char* name : {"EraseFlash_button", "menuFlashShowCodeID", "menuEraseFlash"}) {
      form[name].SetEnabled(true);
    }
  }
  form["PleaseSelect"].SetVisible(false);
  form["Frame3"].SetVisible(true);
  form["BufferDisplay"].SetVisible(true);
  if (device_.DeviceFamily == "FA" && ProbeFlashID) ProbeFlashID();
  if (device_.DeviceFamily == "MJ") {
    EnableMicrocontrollerControls();
    return;
  }
  form["CheckData"].SetValue(0);
  form["CheckData"].SetEnabled(false);
  form["CheckCode"].SetValue(1);
  form["CheckCode"].SetEnabled(false);
  images_.ForgetDataImage();
  form["Show_button"].SetEnabled(true);
  form["Show_button"].SetCaption("Show Code");
}

void DeviceSelection::EnableMicrocontrollerControls() {
  panel::Form& form = panel_.frmMain;
  for (const char* name : {"menuEraseFlash", "menuEraseData", "menuDisplayData", "menuReadData",
                           "mnuFileOpenData", "CheckCode", "CheckData", "Show_button"}) {
    form[name].SetEnabled(true);
  }
  for (int index : {3, 4, 5}) panel::ToolbarButton(form, index).SetVisible(true);
  panel::ToolbarButton(form, 4).SetEnabled(true);
  form["Show_button"].SetCaption("Show Data");
  for (const char* name : {"FileNameDataLabel", "FileNameDataSize", "FileNameDataText"}) {
    form[name].SetVisible(true);
  }
}

// Selecting an option from here runs its click handler, as an operator's click would: every
// option was cleared just before, so the selection always fires.
void DeviceSelection::SelectSuggestedVoltage() {
  panel::Form& form = panel_.frmMain;
  const int code = device_.VppCode;
  for (int index = 0; index < 4; ++index) {
    if (VoltageOffered(code, index)) {
      form["Voltage_button(" + std::to_string(index) + ")"].SetEnabled(true);
    }
  }
  const int suggested = SuggestedVoltage(code);
  panel::Control& option = form["Voltage_button(" + std::to_string(suggested) + ")"];
  if (panel::SelectOption(form, option)) Voltage_button_Click(suggested);
  if (code != 0) device_.VppVolts = 12;
}

std::optional<OptionAfterChoice> DeviceSelection::OptionAfterChoosing(
    int index, std::string_view option) const {
  if (index < 1 || index > static_cast<int>(device_.Devices.size())) return std::nullopt;
  const DeviceRow& row = device_.Devices[static_cast<std::size_t>(index - 1)];
  const std::vector<std::string>& entries = panel_.frmMain["Device"].Items();
  if (static_cast<std::size_t>(index) >= entries.size() ||
      !SelectableEntry(common::TrimBlanks(entries[static_cast<std::size_t>(index)]))) {
    return std::nullopt;
  }
  const bool microcontroller = row.Routines().dataArea;
  if (option == "CheckCode") return OptionAfterChoice{microcontroller, 1};
  if (option == "CheckData") return OptionAfterChoice{microcontroller, 0};
  const auto [array, voltage] = panel::SplitIndex(option);
  if (array != "Voltage_button" || voltage < 0 || voltage > 3) return std::nullopt;
  const int code = row.vppCode;
  return OptionAfterChoice{VoltageOffered(code, voltage), voltage == SuggestedVoltage(code)};
}

void DeviceSelection::ClearDeviceControls() {
  panel::Form& form = panel_.frmMain;
  for (int i = 0; i < 4; ++i) form["Voltage_button(" + std::to_string(i) + ")"].SetEnabled(false);
  for (int i = 0; i < 4; ++i) form["Voltage_button(" + std::to_string(i) + ")"].SetValue(0);
  panel::ToolbarButton(form, 2).SetEnabled(false);
  for (int index : {3, 4, 5}) panel::ToolbarButton(form, index).SetVisible(false);
  for (int index : {4, 5}) panel::ToolbarButton(form, index).SetEnabled(false);
  form["Show_button"].SetEnabled(false);
  form["Show_button"].SetCaption("Show Data");
  for (const char* name :
       {"menuProgramData",   "menuReadData",    "menuDisplayData", "menuVerifyData",
        "menuEraseData",     "menuProgramCode", "menuDisplayCode", "menuReadCode",
        "menuVerifyCode",    "menuEraseCode",   "menuEraseFlash",  "menuBlankCheck",
        "EraseFlash_button", "Verify_button",   "Program_button",  "Read_button",
        "Display_button",    "Blank_button",    "Erase_button",    "CheckData",
        "CheckCode"}) {
    form[name].SetEnabled(false);
  }
  for (const char* name : {"FileNameDataLabel", "FileNameDataSize", "FileNameDataText"}) {
    form[name].SetVisible(false);
  }
  form["menuFlashShowCodeID"].SetEnabled(false);
  form["Frame3"].SetCaption("Code Buffer Hex/Ascii Display");
}

}  // namespace sorvell::catalogue
