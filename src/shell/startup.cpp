#include <charconv>
#include <cmath>
#include <string>

#include "shell/main_form.h"
#include "shell/window_layouts.h"

namespace sorvell::shell {

namespace {

constexpr const char* kSettingsSection = "Settings";

// A stored number that does not read as one (a hand-edited store) falls back to the default
// rather than stopping the start.
float StoredNumber(SettingsStore& settings, const char* key, float fallback) {
  const auto text = settings.Get(kSettingsSection, key);
  if (!text) return fallback;
  float value = 0;
  const char* begin = text->data();
  const auto [end, error] = std::from_chars(begin, begin + text->size(), value);
  if (error != std::errc() || end == begin || !std::isfinite(value)) return fallback;
  return value;
}

std::string NumberText(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace

void MainForm::RestoreWindowPlacement() {
  SettingsStore& settings = edges_.settings;
  placement.left = StoredNumber(settings, "MainLeft", 100);
  placement.top = StoredNumber(settings, "MainTop", 100);
  placement.width = StoredNumber(settings, "MainWidth", 100);
  placement.height = StoredNumber(settings, "MainHeight", 6500);
}

void MainForm::StoreWindowPlacement() {
  SettingsStore& settings = edges_.settings;
  settings.Set(kSettingsSection, "MainLeft", NumberText(placement.left));
  settings.Set(kSettingsSection, "MainTop", NumberText(placement.top));
  settings.Set(kSettingsSection, "MainWidth", NumberText(placement.width));
  settings.Set(kSettingsSection, "MainHeight", NumberText(placement.height));
}

void MainForm::Form_Load() {
  board.BoardModel = 0;
  RestoreWindowPlacement();
  // The buffer display's frame is placed by the window's layout, not by coordinates.
  board.AddressDivisorLow = 256;
  board.AddressDivisorHigh = 65536;
  board.StrobeFactor = 5;
  device.SpeedFactorA = 100;
  device.SpeedFactorB = 500;
  ClearDeviceControls();
  board.InitDecodeTables();
  frmMain["SorvellHardwareFound"].SetCaption("NO HARDWARE FOUND !!!");
  frmMain["Ready_label"].SetForeColor(kRed);
  frmMain["Ready_label"].SetCaption("NotReady");
  frmMain["PortSelected"].SetCaption("None");
  for (const char* option : {"LPTSelection(0)", "LPTSelection(1)", "LPTSelection(2)"}) {
    frmMain[option].SetValue(0);
  }
  FoundPort = 0;
  board.DataPort = 0;
  board.InitStrobeTable();
  ReadBoardConfig();
  if (board.DataPort == 0) TestHardware_button_Click();
  board.SelectModelStrobes();
  LineBreak = "\r\n";
  DataFlowLabelOff();
  ProgramLabelOff();
  ErrorLabelOff();
  frmMain["SystemLog"].SetCaption("");
  frmMain["VScroll1"].SetRange(0, 0);
  FillDeviceList();
  board.Reset();
  PlayEventSound("INIT");
}

void MainForm::Form_Unload() {
  board.Reset();
  edges_.windows.CloseOtherWindows();
  if (placement.minimised) return;  // keep the position the window had before
  StoreWindowPlacement();
}

void MainForm::Timer1_Timer() {
  frmMain["Timer1"].SetEnabled(false);
}

// Nothing can be done to a device until one is selected.
void MainForm::ClearDeviceControls() {
  for (int i = 0; i < 4; ++i)
    frmMain["Voltage_button(" + std::to_string(i) + ")"].SetEnabled(false);
  for (int i = 0; i < 4; ++i) frmMain["Voltage_button(" + std::to_string(i) + ")"].SetValue(0);
  ToolbarButton(frmMain, 2).SetEnabled(false);
  for (int index : {3, 4, 5}) ToolbarButton(frmMain, index).SetVisible(false);
  for (int index : {4, 5}) ToolbarButton(frmMain, index).SetEnabled(false);
  frmMain["Show_button"].SetEnabled(false);
  frmMain["Show_button"].SetCaption("Show Data");
  for (const char* name :
       {"menuProgramData",   "menuReadData",    "menuDisplayData", "menuVerifyData",
        "menuEraseData",     "menuProgramCode", "menuDisplayCode", "menuReadCode",
        "menuVerifyCode",    "menuEraseCode",   "menuEraseFlash",  "menuBlankCheck",
        "EraseFlash_button", "Verify_button",   "Program_button",  "Read_button",
        "Display_button",    "Blank_button",    "Erase_button",    "CheckData",
        "CheckCode"}) {
    frmMain[name].SetEnabled(false);
  }
  for (const char* name : {"FileNameDataLabel", "FileNameDataSize", "FileNameDataText"}) {
    frmMain[name].SetVisible(false);
  }
  frmMain["menuFlashShowCodeID"].SetEnabled(false);
  frmMain["Frame3"].SetCaption("Code Buffer Hex/Ascii Display");
}

}  // namespace sorvell::shell
