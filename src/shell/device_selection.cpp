#include <string>

#include "common/trim.h"
#include "shell/main_form.h"
#include "shell/window_layouts.h"

namespace sorvell::shell {

namespace {

constexpr const char* kPleaseSelect = "Please Select Device on this List";

}  // namespace

void MainForm::FillDeviceList() {
  catalogue::FillDeviceTable(device.DeviceTable);
  Control& list = frmMain["Device"];
  list.SetItems(catalogue::DeviceListEntries(device.DeviceTable));
  list.SetValue(-1);
}

void MainForm::CalcSpeedDelays() {
  const Control& slider = frmMain["Slider1"];
  const catalogue::SpeedCounts counts =
      catalogue::CalcSpeedCounts(slider.Value(), slider.Maximum(),
                                 {board.StrobeFactor, device.SpeedFactorA, device.SpeedFactorB});
  board.StrobeCount = counts.strobe;
  board.SpeedCountA = counts.speedA;
  board.SpeedCountB = counts.speedB;
}

void MainForm::Slider1_Change() {
  AddLog("Program Speed Slider set to: " + std::to_string(frmMain["Slider1"].Value()));
  CalcSpeedDelays();
  PlayEventSound("SLIDE");
}

void MainForm::Voltage_button_Click(int index) {
  if (index == 1) {
    device.VppVolts = 12;
    AddLog("Most Common Programming Voltage Selected: 12.5 Volts!!!");
  } else if (index == 2 || index == 3) {
    device.VppVolts = index == 2 ? 21 : 25;
    AddLog("BE CAREFULL!!! You just Selected Programming Voltage as " +
           std::to_string(device.VppVolts) + " Volts!!!");
  }
}

void MainForm::Device_Click() {
  Control& list = frmMain["Device"];
  if (list.Value() < 0) {
    list.SetCaption(kPleaseSelect);
    return;
  }
  const std::string name = common::TrimBlanks(list.Caption());
  if (name.starts_with("N/A")) {
    list.SetValue(-1);
    list.SetCaption(kPleaseSelect);
    return;
  }
  const auto& row = device.DeviceTable[static_cast<std::size_t>(list.Value())];
  device.DeviceName = name;
  device.DeviceType = row[1];
  device.DeviceVariant = row[2];
  device.DeviceSizeKB = std::stoi(row[3]);
  board.Reg1FixedBits = std::stoi(row[4]);
  board.Reg3FixedBits = std::stoi(row[5]);
  device.VppCode = std::stoi(row[6]);
  device.DeviceFamily = device.DeviceType + device.DeviceVariant;
  catalogue::BuildAddressMaps(device.DeviceFamily, board.AdrMapB, board.AdrMapC);
  const catalogue::SpeedFactors factors = catalogue::FactorsForVariant(device.DeviceVariant);
  board.StrobeFactor = factors.strobe;
  device.SpeedFactorA = factors.speedA;
  device.SpeedFactorB = factors.speedB;

  board.CEOFF();
  board.OEOFF();
  if (device.DeviceType == "S") {
    board.CEON();
    board.OEON();
  }
  CalcSpeedDelays();
  device.DeviceSize = device.DeviceBytes = device.DeviceSizeKB * 1024;
  frmMain["VScroll1"].SetRange(0, device.DeviceSize / 256 - 1);
  for (const char* shown : {"Frame5", "CheckBlankPriorProgramming", "VerifyAfterProgramming",
                            "FrameVoltageSelection"}) {
    frmMain[shown].SetVisible(true);
  }
  ClearDeviceControls();
  EnableSelectedDeviceControls();
  SelectSuggestedVoltage();
  EnableLoadedBufferControls();
  ErrorLabelOff();
  DataFlowLabelOff();
  AddLog("Device " + device.DeviceName + " was Selected");
  AddLog("Device Size is: " + std::to_string(device.DeviceSize) +
         " Bytes, Initial VPP suggested: " + (device.VppCode == 0 ? "5V" : "12.5V"));
  PlayEventSound("DONE");
}

void MainForm::EnableSelectedDeviceControls() {
  const std::string& type = device.DeviceType;
  for (const char* name : {"Read_button", "menuReadCode", "Display_button", "menuDisplayCode",
                           "Blank_button", "menuBlankCheck"}) {
    frmMain[name].SetEnabled(true);
  }
  if (type == "S") {
    frmMain["Blank_button"].SetEnabled(false);
    frmMain["menuBlankCheck"].SetEnabled(false);
  }
  if (type == "E" || type == "F" || type == "S") {
    for (const char* name : {"EraseFlash_button", "menuFlashShowCodeID", "menuEraseFlash"}) {
      frmMain[name].SetEnabled(true);
    }
  }
  frmMain["PleaseSelect"].SetVisible(false);
  frmMain["Frame3"].SetVisible(true);
  frmMain["BufferDisplay"].SetVisible(true);
  if (device.DeviceFamily != "MJ") {
    frmMain["CheckData"].SetValue(0);
    frmMain["CheckData"].SetEnabled(false);
    frmMain["CheckCode"].SetValue(1);
    frmMain["CheckCode"].SetEnabled(false);
    buffers.DataBufferLoaded = 0;
    frmMain["Show_button"].SetEnabled(true);
    frmMain["Show_button"].SetCaption("Show Code");
    return;
  }
  for (const char* name : {"menuEraseFlash", "menuEraseData", "menuDisplayData", "menuReadData",
                           "mnuFileOpenData", "CheckCode", "CheckData", "Show_button"}) {
    frmMain[name].SetEnabled(true);
  }
  for (int index : {3, 4, 5}) ToolbarButton(frmMain, index).SetVisible(true);
  ToolbarButton(frmMain, 4).SetEnabled(true);
  frmMain["Show_button"].SetCaption("Show Data");
  for (const char* name : {"FileNameDataLabel", "FileNameDataSize", "FileNameDataText"}) {
    frmMain[name].SetVisible(true);
  }
}

// Selecting an option from here runs its click handler, as an operator's click would: every
// option was cleared just before, so the selection always fires.
void MainForm::SelectSuggestedVoltage() {
  const int code = device.VppCode;
  if (code == 0) {
    frmMain["Voltage_button(0)"].SetEnabled(true);
    SetValue("Voltage_button(0)", 1);
    return;
  }
  for (int index = 1; index <= code; ++index) {
    frmMain["Voltage_button(" + std::to_string(index) + ")"].SetEnabled(true);
  }
  SetValue("Voltage_button(1)", 1);
  device.VppVolts = 12;
}

void MainForm::EnableLoadedBufferControls() {
  if (buffers.CodeBufferLoaded == 1) {
    for (const char* name : {"Erase_button", "menuEraseCode", "Program_button", "menuProgramCode",
                             "Verify_button", "menuVerifyCode"}) {
      frmMain[name].SetEnabled(true);
    }
  }
  if (buffers.DataBufferLoaded == 1) {
    frmMain["CheckData"].SetValue(1);
    for (const char* name : {"Erase_button", "menuEraseData", "Program_button", "menuProgramData",
                             "Verify_button", "menuVerifyData"}) {
      frmMain[name].SetEnabled(true);
    }
  }
}

}  // namespace sorvell::shell
