// Comparing the device with the image that was (or is to be) programmed.
#include <algorithm>

#include "buffers/buffers.h"
#include "common/hex_text.h"
#include "parallel/device_walk.h"
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

constexpr std::uint32_t k3DHighlight = 0x80000014;

}  // namespace

// "Both" copies the whole device image; "Hi Byte" and "Low Byte" pack the odd or the even
// addresses, the two halves of a 16-bit image for a pair of 8-bit devices.
void MainForm::BuildProgramBuffer() {
  auto& program = parallel.ProgramBuffer;
  const auto& code = buffers.CodeBuffer;
  const std::int32_t bytes =
      std::min<std::int32_t>(device.DeviceBytes, parallel::kProgramBufferSize);
  if (frmMain["HiLow_button(0)"].Value()) {
    std::copy_n(code.begin(), bytes, program.begin());
    parallel.ProgramLength = bytes;
  } else {
    const int offset = frmMain["HiLow_button(1)"].Value() ? 1 : 0;
    for (std::int32_t i = 0; i < bytes; i += 2) {
      program[static_cast<std::size_t>(i / 2)] = code[static_cast<std::size_t>(i + offset)];
    }
    parallel.ProgramLength = bytes / 2;
  }
}

void MainForm::Verify_button_Click() {
  parallel.VerifyFailed = 0;
  if (!PortChosen()) return;
  if (frmMain["CheckCode"].Value()) VerifyCode();
  if (frmMain["CheckData"].Value()) VerifyData();
}

void MainForm::VerifyData() {
  edges_.dialogs.Message({"Please Write AT90S2313 VerifyData Routine", frmMain.Caption(),
                          MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

void MainForm::VerifyCode() {
  parallel.DeviceChecksum = 0;
  frmMain["Verify_button"].SetBackColor(k3DHighlight);
  DataFlowLabelOn();
  AddLog("Verify Function Started... Wait");
  const std::string& family = device.DeviceFamily;
  if (family == "SA" || family == "SB" || family == "SC") {
    VerifySerialCode();
  } else if (!VerifyParallel()) {
    return;
  }
  if (parallel.VerifyFailed == 0) {
    DataFlowLabelOff();
    AddLog("Device Contents MATCHES with Buffer Contents");
    parallel.DeviceChecksumText = buffers::ChecksumText(parallel.DeviceChecksum);
    AddLog("Device CHKSUMM = $" + parallel.DeviceChecksumText);
    PlayEventSound("OK");
    board.Reset();
  }
  frmMain["ProgressBar1"].SetValue(0);
  frmMain["Verify_button"].SetBackColor(kButtonFace);
}

// False when a mismatch ended the verify (already reported).
bool MainForm::VerifyParallel() {
  BuildProgramBuffer();
  frmMain["ProgressBar1"].SetValue(0);
  StartReadingAtZero();
  // Compare what was programmed, up to the size in use: of a split image only the half that
  // went to this device, of a short file only the file.
  const std::int32_t size = std::min<std::int32_t>(device.DeviceSize, parallel.ProgramLength);
  frmMain["ProgressBar1"].SetRange(0, parallel::PagesOf(size));
  frmMain["ProgressBar1"].SetValue(0);
  ComputeLastBankAndPage();
  return parallel::WalkDevice(
      board, size, [this] { StepProgress(); },
      [this](std::int32_t address) {
        parallel.DeviceChecksum = (parallel.DeviceChecksum + board.ReadByte) & 0xFFFF;
        if (board.ReadByte == parallel.ProgramBuffer[static_cast<std::size_t>(address)]) {
          return true;
        }
        parallel.ErrorAddress = address;
        ReportVerifyError();
        return false;
      });
}

void MainForm::ReportVerifyError() {
  parallel.VerifyFailed = 1;
  ErrorLockButtons();
  DataFlowLabelOff();
  AddLog(std::string(50, '*'));
  AddLog("Device Memory DOES NOT VERIFY with Buffer Contents");
  // The byte that was compared: of a split image the packed half, not the code image.
  const std::uint8_t expected =
      parallel.ProgramBuffer[static_cast<std::size_t>(parallel.ErrorAddress)];
  AddLog("Address: " + common::HexText(parallel.ErrorAddress) + " ][ Buffer Data: " +
         common::HexText(expected) + " ][ Device Data: " + common::HexText(board.ReadByte));
  frmMain["Verify_button"].SetBackColor(kButtonFace);
  PlayEventSound("ERROR");
  CriticalErrorBox();
  board.Reset();
}

}  // namespace sorvell::shell
