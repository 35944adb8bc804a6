#include "operation/operation.h"

#include <algorithm>

#include "board/board_answers.h"
#include "common/hex_text.h"
#include "common/trim.h"

namespace sorvell::operation {

Operation::Operation(board::Board& theBoard, catalogue::Selection& selected,
                     buffers::Buffers& images, RunState& state, panel::Panel& operatorPanel)
    : board(theBoard), device(selected), buffers(images), run(state), panel(operatorPanel) {}

// "Both" copies the whole device image; "Hi Byte" and "Low Byte" pack the odd or the even
// addresses, the two halves of a 16-bit image for a pair of 8-bit devices.
void Operation::BuildProgramBuffer() {
  auto& program = run.ProgramBuffer;
  const auto& code = buffers.CodeBuffer;
  const std::int32_t bytes = std::min<std::int32_t>(device.DeviceBytes, kProgramBufferSize);
  if (panel.frmMain["HiLow_button(0)"].Value()) {
    std::copy_n(code.begin(), bytes, program.begin());
    run.ProgramLength = bytes;
  } else {
    const int offset = panel.frmMain["HiLow_button(1)"].Value() ? 1 : 0;
    for (std::int32_t i = 0; i < bytes; i += 2) {
      program[static_cast<std::size_t>(i / 2)] = code[static_cast<std::size_t>(i + offset)];
    }
    run.ProgramLength = bytes / 2;
  }
}

void Operation::ProgrammingFailure() {
  board.Reg0Shadow = 0;
  board.SetReg0();
  board.CEOFF();
  board.OEOFF();
  panel.AddLog("*** Programming Failure ***");
  panel.AddLog("*** Address:" + common::HexText(board.CurrentAddress) +
               "h, Programming BYTE:" + common::HexText(run.ProgramByte) +
               "h, Read BYTE:" + common::HexText(board.ReadByte) + "h");
  panel.AddLog("*** Aborting Programming.");
  if (board.CurrentAddress == 0 && board.ReadByte == 0xFF) {
    panel.AddLog(diagnosis::kNothingWrittenHint);
    panel.SetAlertDetails(diagnosis::kNothingWrittenHint);
  }
  panel.ReportDeviceError("Programming Failure at Address " +
                          common::HexText(board.CurrentAddress) + "h");
  panel.ErrorLockButtons();
  panel.ProgramLabelOn();
  run.ProgramFailed = 1;
  panel.PlayEventSound("ERROR");
  panel.CriticalErrorBox();
}

// The byte that was compared is the caller's: of a split image the packed half, of a serial part
// the code image.
void Operation::ReportVerifyError(std::uint8_t expected) {
  run.VerifyFailed = 1;
  panel.ErrorLockButtons();
  panel.DataFlowLabelOff();
  panel.AddLog(std::string(50, '*'));
  panel.AddLog("Device Memory DOES NOT VERIFY with Buffer Contents");
  panel.AddLog("Address: " + common::HexText(run.ErrorAddress) + " ][ Buffer Data: " +
               common::HexText(expected) + " ][ Device Data: " + common::HexText(board.ReadByte));
  panel.ReportDeviceError("Device Memory DOES NOT VERIFY at Address " +
                          common::HexText(run.ErrorAddress) + "h");
  panel.frmMain["Verify_button"].SetBackColor(panel::kButtonFace);
  panel.PlayEventSound("ERROR");
  panel.CriticalErrorBox();
  board.Reset();
}

void Operation::ReleaseDataLines() {
  board.Reg4Shadow = 0xFF;
  board.SetReg4();
  board.DelayLoop10();
  board.REG4OFF();
}

void Operation::ReadBackByte() {
  board.DelayLoop10();
  board.GetNibbles();
}

// The bar moves one step per ProgressStep bytes and stops at its maximum (a 2 KB half-image
// would otherwise ask for 102 steps of a 100-step bar).
void Operation::GoProgressiveBar1() {
  panel.SafePoint();
  if (++run.ProgressCount != run.ProgressStep) return;
  run.ProgressCount = 0;
  StepProgress();
}

// One step of the progress bar per page walked; it never passes its maximum.
void Operation::StepProgress() {
  panel.SafePoint();
  panel.StepProgress();
}

void Operation::ComputeLastBankAndPage() {
  const std::int32_t last = PartBytes() - 1;
  run.LastBank = last / 65536;
  run.LastPage = (last - run.LastBank * 65536) / 256;
}

// Address 0 on the socket, a settling pause, register 4 off the bus, chip and output enabled:
// the start of every compare loop.
void Operation::StartReadingAtZero() {
  board.Reset();
  board.CurrentAddress = 0;
  board.Endereco2Adr();
  board.SETADR();
  board.Sleep(500);
  board.REG4OFF();
  board.CEOEON();
}

std::int32_t Operation::PartBytes() const {
  const auto buffer = static_cast<std::int32_t>(buffers.CodeBuffer.size());
  return std::min({device.DeviceBytes, board::Board::kAddressSpace, buffer});
}

void Operation::TakeReadImage() {
  panel.ResetProgress();
  panel.frmMain["sbStatusBar"].SetCaption("");
  for (const char* name :
       {"Verify_button", "menuVerifyCode", "Erase_button", "menuEraseCode", "mnuFileSaveCodeAs"}) {
    panel.frmMain[name].SetEnabled(true);
  }
  for (const char* name : {"Program_button", "menuProgramCode"}) {
    panel.frmMain[name].SetEnabled(device.Programmable());
  }
  buffers.CodeBufferLoaded = 1;
  // The buffer is the part's image now, not the file loaded before: Save Code must ask for a
  // name rather than write the part over that file.
  buffers.CodeFileName.clear();
  panel.frmMain["FileNameCodeText"].SetCaption(
      "Read from " + common::TrimBlanks(device.DeviceName) + " - not saved to a file");
  panel.frmMain["FileNameCodeSize"].SetCaption("(" + std::to_string(PartBytes()) + ")");
}

// A serial part's adapter puts SCL on CE and SDA on D7: the check then moves neither.
bool Operation::EraseConfirmed() {
  const panel::Answer answer = panel.dialogs.Message(
      {"Are you SURE about Erase the Device?", "Safety Question", panel::MessageButtons::kOkCancel,
       panel::MessageIcon::kQuestion, panel::Answer::kCancel});
  if (answer == panel::Answer::kOk) return true;
  panel.AddLog("Erasing Operation was Canceled by Operator");
  panel.ReportNotDone(panel::NotDoneReason::kCancelled,
                      "Erasing Operation was Canceled by Operator");
  return false;
}

void Operation::ConfirmBoardAnswers() {
  board::ConfirmBoardAnswers(board, device.DeviceType == "S" ? board::SocketUse::kTwoWireAdapter
                                                             : board::SocketUse::kParallelPart);
}

void Operation::ToggleProgramLed() {
  panel.ToggleProgramLabel();
  board.Reg0Shadow ^= 0x08;
  board.SetReg0();
}

}  // namespace sorvell::operation
