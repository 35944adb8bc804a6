#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "buffers/dump.h"
#include "common/atomic_file.h"
#include "shell/main_form.h"
#include "shell/time_text.h"
#include "shell/window_layouts.h"

namespace sorvell::shell {

namespace {

constexpr int kPageBytes = 256;

// A scroll bar whose maximum is below 0 (a device or file under 256 bytes) still shows page 0.
int PageOf(const Control& scroll) {
  return std::max(0, std::min(scroll.Value(), scroll.Maximum()));
}

std::string CodePageLines(const std::vector<std::uint8_t>& buffer, int page) {
  std::string text;
  for (int line = 0; line < 16; ++line) {
    const std::int32_t address = page * kPageBytes + 16 * line;
    text += "\r\n" + buffers::DumpLine(address, &buffer[static_cast<std::size_t>(address)],
                                       buffers::AsciiRule::kBuffer);
  }
  return text;
}

// Whole numbers are written with a blank before and after, as the saved dump has always had.
std::string Spaced(double value) {
  char text[40];
  std::snprintf(text, sizeof text, " %.15g ", value);
  return text;
}

}  // namespace

int MainForm::CurrentPage() const {
  return PageOf(frmMain["VScroll1"]);
}

void MainForm::DisplayPageMemory() {
  if (device.DeviceFamily == "MJ" && frmMain["Show_button"].Caption() == "Show Code") {
    DisplayDataMemory();
  } else {
    DisplayCodeMemory();
  }
}

void MainForm::DisplayCodeMemory() {
  const int page = CurrentPage();
  board.CurrentAddress = page * kPageBytes;
  board.Endereco2Adr();
  frmMain["BufferDisplay"].SetCaption(CodePageLines(buffers.CodeBuffer, page));
}

void MainForm::DisplayDataMemory() {
  // The data image is 8 KB: 64 pages of 128 bytes.
  const int page = std::min(CurrentPage(), 63);
  board.CurrentAddress = page * 128;
  board.Endereco2Adr();
  std::string text = "             *** BUFFER DATA ***\r\n";
  for (int line = 0; line < 8; ++line) {
    const std::int32_t address = page * 128 + 16 * line;
    text +=
        "\r\n" + buffers::DumpLine(address, &buffers.DataBuffer[static_cast<std::size_t>(address)],
                                   buffers::AsciiRule::kBuffer);
  }
  frmMain["BufferDisplay"].SetCaption(text);
}

// Puts the current address on the socket the way the selected device is wired.
void MainForm::SetDisplayAddress() {
  if (device.DeviceType == "P") {
    board.SETADR();
  } else if (device.DeviceFamily == "EN") {
    board.SETADR_XICOR();
  } else if (device.DeviceType == "F") {
    board.SETADR_FLASH();
  }
}

void MainForm::DisplayEprom() {
  DataFlowLabelOn();
  board.Reset();
  SetDisplayAddress();
  board.Sleep(500);
  board.REG4OFF();
  const int page = CurrentPage();
  board.CurrentAddress = page * kPageBytes;
  board.Endereco2Adr();
  board.Clock().Spin(100);
  std::array<std::uint8_t, kPageBytes> devicePage{};
  for (std::uint8_t& byte : devicePage) {
    SetDisplayAddress();
    board.OEON();
    board.CEON();
    board.GetNibbles();
    board.CEOFF();
    board.OEOFF();
    byte = board.ReadByte;
    board.IncADR();
  }
  std::string text;
  for (int line = 0; line < 16; ++line) {
    if (!text.empty()) text += "\r\n";
    text += buffers::DumpLine(page * kPageBytes + 16 * line, &devicePage[16 * line],
                              buffers::AsciiRule::kDevice);
  }
  frmMain["BufferDisplay"].SetCaption(text);
  DataFlowLabelOff();
}

void MainForm::VScroll1_Change() {
  if (buffers.DisplayMode == "DisplayEprom") {
    DisplayEprom();
  } else {
    DisplayPageMemory();
  }
}

void MainForm::Show_button_Click() {
  Control& show = frmMain["Show_button"];
  Control& scroll = frmMain["VScroll1"];
  if (device.DeviceFamily != "MJ") {
    frmMain["Frame3"].SetCaption("Code Buffer Hex/Ascii Display");
    buffers.DisplayMode = "Read";
  } else if (show.Caption() == "Show Data") {
    show.SetCaption("Show Code");
    scroll.SetRange(0, 63);
    frmMain["Frame3"].SetCaption("Data Buffer Hex/Ascii Display");
  } else if (show.Caption() == "Show Code") {
    show.SetCaption("Show Data");
    scroll.SetRange(0, device.DeviceSize / kPageBytes - 1);
    frmMain["Frame3"].SetCaption("Code Buffer Hex/Ascii Display");
  }
  SetValue("VScroll1", 0);
  DisplayPageMemory();
}

void MainForm::Display_button_Click() {
  if (!frmMain["CheckCode"].Value()) return;
  if (!PortChosen()) return;
  buffers.DisplayMode = "DisplayEprom";
  SetValue("VScroll1", 0);
  AddLog("Fetching Device Binary Contents to Screen");
  frmMain["Frame3"].SetCaption("Device Memory Hex/Ascii Display");
  const std::string& family = device.DeviceFamily;
  if (device.DeviceType == "P" || family == "EN" || family == "FL" || family == "FM" ||
      family == "FR" || family == "FA" || family == "FS") {
    DisplayEprom();
  }
  if (device.DeviceType == "M") {
    edges_.dialogs.Message({"Please Write AT90S2313 Code Display ROutine", "Routine Not Ready",
                            MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
  }
}

void MainForm::BufferDisplay_DblClick() {
  const std::string& shown = frmMain["BufferDisplay"].Caption();
  const LocalTime now = edges_.clock.Now();
  std::string file = std::string("SORVELL BUFFER DISPLAY FILE - ") + kMakerBanner + "\r\n";
  file += "The following contents are the contents from Buffer DIsplay\r\n";
  file += DateText(now) + " " + TimeText(now) + " StatCode:" + Spaced(buffers::StatCode(shown)) +
          " Model:" + Spaced(board.BoardModel) + "\r\n";
  file += std::string(60, '-') + "\r\n" + shown + "\r\n";
  std::string error;
  if (!common::WriteFileAtomically(edges_.folders.workingFolder / "SORVELL.BUF", file, error)) {
    edges_.dialogs.Message({"The display was not saved: " + error, "Buffer Display",
                            MessageButtons::kOk, MessageIcon::kExclamation, Answer::kOk});
    return;
  }
  AddLog("Buffer DIsplay was Saved to SORVELL.BUF file");
  PlayEventSound("OK");
}

// Adds page 0 of the code image to the second display window, without showing it.
void MainForm::Command1_Click() {
  Control& scroll = frmDisplay1["VScroll1"];
  scroll.SetValue(0);
  const int page = scroll.Value();
  board.CurrentAddress = page * kPageBytes;
  board.Endereco2Adr();
  frmMain["BufferDisplay"].SetCaption("");
  frmDisplay1["BufferDisplay"].AppendText(CodePageLines(buffers.CodeBuffer, page));
}

}  // namespace sorvell::shell
