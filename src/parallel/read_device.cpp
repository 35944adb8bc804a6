// Reading a device into the code image, the blank check, and the shared progress helpers.
#include "buffers/buffers.h"
#include "common/hex_text.h"
#include "parallel/device_walk.h"
#include "shell/main_form.h"

namespace sorvell::shell {

void MainForm::ComputeLastBankAndPage() {
  const std::int32_t last = device.DeviceSize - 1;
  parallel.LastBank = last / 65536;
  parallel.LastPage = (last - parallel.LastBank * 65536) / 256;
}

// One step of the progress bar per page walked; it never passes its maximum.
void MainForm::StepProgress() {
  Control& bar = frmMain["ProgressBar1"];
  if (bar.Value() < bar.Maximum()) bar.SetValue(bar.Value() + 1);
}

// Address 0 on the socket, a settling pause, register 4 off the bus, chip and output enabled:
// the start of every compare loop.
void MainForm::StartReadingAtZero() {
  board.Reset();
  board.CurrentAddress = 0;
  board.Endereco2Adr();
  board.SETADR();
  board.Sleep(500);
  board.REG4OFF();
  board.CEOEON();
}

void MainForm::Read_button_Click() {
  if (!PortChosen()) return;
  if (frmMain["CheckCode"].Value()) READCODE();
  if (frmMain["CheckData"].Value()) READDATA();
}

void MainForm::READCODE() {
  if (device.DeviceType == "P" || device.DeviceType == "F" || device.DeviceFamily == "EN") {
    ReadParallelCode();
  } else if (device.DeviceType == "S") {
    ReadSerialCode();
  } else {
    edges_.dialogs.Message({"Please Write Missing Routines at READCODE", "Routine Not Ready",
                            MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
  }
}

void MainForm::ReadParallelCode() {
  DataFlowLabelOn();
  board.Reset();
  parallel.DeviceChecksum = 0;
  board.SETADR();
  board.Sleep(500);
  buffers.DisplayMode = "Read";
  board.REG4OFF();
  board.CEOEON();
  const std::int32_t size = std::min<std::int32_t>(device.DeviceSize, buffers::kCodeBufferSize);
  frmMain["ProgressBar1"].SetRange(0, parallel::PagesOf(size));
  frmMain["ProgressBar1"].SetValue(0);
  ComputeLastBankAndPage();
  parallel::WalkDevice(
      board, size, [this] { StepProgress(); },
      [this](std::int32_t address) {
        buffers.CodeBuffer[static_cast<std::size_t>(address)] = board.ReadByte;
        parallel.DeviceChecksum = (parallel.DeviceChecksum + board.ReadByte) & 0xFFFF;
        return true;
      });
  parallel.DeviceChecksumText = buffers::ChecksumText(parallel.DeviceChecksum);
  DataFlowLabelOff();
  AddLog(std::to_string(device.DeviceSize) + " bytes Read from Device");
  AddLog("Device CHKSUMM = $" + parallel.DeviceChecksumText);
  frmMain["VScroll1"].SetRange(0, device.DeviceSize / 256 - 1);
  AddLog("Data is available at above Window, use Scroll Bar");
  AddLog("You can Save the file using [FILE - Save As] menu");
  DisplayPageMemory();
  frmMain["ProgressBar1"].SetValue(0);
  frmMain["sbStatusBar"].SetCaption("");
  for (const char* name : {"Verify_button", "menuVerifyCode", "Program_button", "menuProgramCode",
                           "Erase_button", "menuEraseCode", "mnuFileSaveCodeAs"}) {
    frmMain[name].SetEnabled(true);
  }
  buffers.CodeBufferLoaded = 1;
  PlayEventSound("OK");
  board.Reset();
}

void MainForm::READDATA() {
  buffers.DisplayMode = "Read";
  board.REG4OFF();
  board.CEOEON();
  DataFlowLabelOn();
  AddLog("Start Device Reading Operation");
  frmMain["sbStatusBar"].SetCaption("Reading Device... Wait");
  edges_.dialogs.Message({"Please Write AT90S2313 Eeprom Read Routine", "Routine Not Ready",
                          MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

void MainForm::Blank_button_Click() {
  parallel.BlankCheckFoundData = false;
  if (!PortChosen()) return;
  if (frmMain["CheckCode"].Value()) BLANKCODE();
  if (frmMain["CheckData"].Value()) BLANKDATA();
}

void MainForm::BLANKCODE() {
  if (device.DeviceType == "P" || device.DeviceType == "F" || device.DeviceFamily == "EN") {
    BlankCheckParallel();
    return;
  }
  edges_.dialogs.Message({"Please Write Missing Routines at BLANKCODE", "Missing Routine",
                          MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

void MainForm::BLANKDATA() {
  edges_.dialogs.Message({"Please Write AT90S2313 Check Blank Eeprom Routine", "Routine Not Ready",
                          MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

void MainForm::BlankCheckParallel() {
  DataFlowLabelOn();
  AddLog("Checking Device for BLANK (Erased)... Wait");
  StartReadingAtZero();
  const std::int32_t size = device.DeviceSize;
  frmMain["ProgressBar1"].SetRange(0, parallel::PagesOf(size));
  frmMain["ProgressBar1"].SetValue(0);
  board.Clock().Spin(100);
  ComputeLastBankAndPage();
  const bool blank = parallel::WalkDevice(
      board, size, [this] { StepProgress(); },
      [this](std::int32_t) {
        if (board.ReadByte == 0xFF) return true;
        parallel.ErrorAddress = board.AddrByte1 * 256 + board.AddrByte2 * 65536 + board.Reg2Shadow;
        ReportNotBlank();
        return false;
      });
  if (!blank) return;
  DataFlowLabelOff();
  AddLog("Device IS BLANK (ERASED)");
  frmMain["ProgressBar1"].SetValue(0);
  PlayEventSound("OK");
  board.Reset();
}

void MainForm::ReportNotBlank() {
  parallel.BlankCheckFoundData = true;
  ErrorLockButtons();
  DataFlowLabelOff();
  AddLog("Device IS NOT BLANK (ERASED)");
  AddLog("Address: " + common::HexText(parallel.ErrorAddress) +
         " ][ Device Data: " + common::HexText(board.ReadByte));
  PlayEventSound("ERROR");
  CriticalErrorBox();
}

}  // namespace sorvell::shell
