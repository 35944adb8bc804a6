#include <charconv>
#include <cmath>
#include <string>

#include "catalogue/device_file.h"
#include "common/atomic_file.h"
#include "panel/window_layouts.h"
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

constexpr const char* kSettingsSection = "Settings";
constexpr const char* kStartUpWithoutPort =
    "start-up goes on without a port: check the board before touching the socket, and choose the "
    "port again when it works";

// A stored number that does not read as one (a hand-edited store) falls back to the default
// rather than stopping the start.
float StoredNumber(panel::SettingsStore& settings, const char* key, float fallback) {
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
  panel::SettingsStore& settings = edges_.settings;
  placement.left = StoredNumber(settings, "MainLeft", 100);
  placement.top = StoredNumber(settings, "MainTop", 100);
  placement.width = StoredNumber(settings, "MainWidth", 100);
  placement.height = StoredNumber(settings, "MainHeight", 6500);
}

void MainForm::StoreWindowPlacement() {
  panel::SettingsStore& settings = edges_.settings;
  settings.Set(kSettingsSection, "MainLeft", NumberText(placement.left));
  settings.Set(kSettingsSection, "MainTop", NumberText(placement.top));
  settings.Set(kSettingsSection, "MainWidth", NumberText(placement.width));
  settings.Set(kSettingsSection, "MainHeight", NumberText(placement.height));
}

// Start-up ends with an outcome of its own (the board found, or not; its configuration saved,
// or not), which is the window's first "last outcome".
void MainForm::Form_Load() {
  panel.BeginEvent(false);
  // A save killed half way may have left its temporary file; nothing else writes there now.
  common::RemoveStaleTemporaries(edges_.folders.workingFolder);
  common::RemoveStaleTemporaries(edges_.folders.configFolder);
  board.BoardModel = 0;
  RestoreWindowPlacement();
  // The buffer display's frame is placed by the window's layout, not by coordinates.
  board.AddressDivisorLow = 256;
  board.AddressDivisorHigh = 65536;
  board.StrobeFactor = 5;
  device.SpeedFactorA = 100;
  device.SpeedFactorB = 500;
  selection.ClearDeviceControls();
  board.InitDecodeTables();
  ShowNoPortChosen();
  board.InitStrobeTable();
  std::string portFault = AccessOutsideEvent(
      [this] {
        detection.ReadBoardConfig();
        if (board.DataPort == 0) detection.TestHardware_button_Click();
      },
      kStartUpWithoutPort);
  // Whatever the search found, nothing is sent through a failing port until one is chosen.
  if (!portFault.empty()) ShowNoPortChosen();
  board.SelectModelStrobes();
  LineBreak = "\r\n";
  panel.DataFlowLabelOff();
  panel.ProgramLabelOff();
  panel.ErrorLabelOff();
  frmMain["SystemLog"].SetCaption("");
  frmMain["VScroll1"].SetRange(0, 0);
  const std::string deviceFileLine = TakeDeviceFile();
  selection.FillDeviceList();
  if (portFault.empty()) {
    portFault = AccessOutsideEvent([this] { board.Reset(); }, kStartUpWithoutPort);
    if (!portFault.empty()) ShowNoPortChosen();
  }
  // Logged after the log was cleared above, so that it stays in view.
  if (!portFault.empty()) panel.AddLog(portFault);
  if (!deviceFileLine.empty()) panel.AddLog(deviceFileLine);
  panel.PlayEventSound("INIT");
  recentFiles.Load();
  ShowRecentFiles();
  const std::string restoreFault = AccessOutsideEvent(
      [this] { RestoreLastSession(); }, "the choices of the last session were not all restored");
  if (!restoreFault.empty()) panel.AddLog(restoreFault);
  panel.EndEvent();
}

// The operator's own parts follow the built-in ones; a file refused adds none and says why.
std::string MainForm::TakeDeviceFile() {
  const std::filesystem::path path = edges_.folders.configFolder / catalogue::kDeviceFileName;
  const catalogue::DeviceFile own = catalogue::ReadDeviceFile(path);
  device.Devices = catalogue::DevicesWith(own.rows);
  if (!own.error.empty()) {
    return "Device file NOT USED, the built-in device list stands: " + own.error;
  }
  if (own.rows.empty()) return "";
  return std::to_string(own.rows.size()) + " own device(s) added to the list from " + path.string();
}

void MainForm::ShowNoPortChosen() {
  frmMain["SorvellHardwareFound"].SetCaption("NO HARDWARE FOUND !!!");
  frmMain["Ready_label"].SetForeColor(panel::kRed);
  frmMain["Ready_label"].SetCaption("NotReady");
  frmMain["PortSelected"].SetCaption("None");
  for (const char* option : {"LPTSelection(0)", "LPTSelection(1)", "LPTSelection(2)"}) {
    frmMain[option].SetValue(0);
  }
  detection.FoundPort = 0;
  board.DataPort = 0;
}

// The board is left idle, programming voltage off, whatever happened; a port that fails now
// cannot do that, and the operator is told so before touching the socket.
void MainForm::Form_Unload() {
  const std::string portFault =
      AccessOutsideEvent([this] { board.Reset(); },
                         "the board could not be reset: check it before touching the socket");
  if (!portFault.empty()) panel.AddLog(portFault);
  StoreLastSession();
  edges_.windows.CloseOtherWindows();
  if (placement.minimised) return;  // keep the position the window had before
  StoreWindowPlacement();
}

void MainForm::Timer1_Timer() {
  frmMain["Timer1"].SetEnabled(false);
}

}  // namespace sorvell::shell
