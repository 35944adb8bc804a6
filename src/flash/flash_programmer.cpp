#include "flash/flash_programmer.h"

#include <algorithm>

#include "flash/flash_id_table.h"
#include "operation/timed_run.h"

namespace sorvell::flash {

namespace {

constexpr int kByteAttemptBudget = 50;     // decremented first: 49 attempts a byte
constexpr int kErasePollBudget = 400'000;  // decremented first: 399,999 polls
constexpr int kAtmelMaker = 0x1F;

}  // namespace

FlashProgrammer::FlashProgrammer(operation::Operation& operation, FlashCommands& commands,
                                 FlashIdentity& identity)
    : op_(operation),
      board_(operation.board),
      run_(operation.run),
      panel_(operation.panel),
      commands_(commands),
      identity_(identity) {}

// The command and the byte's write-enable pulse go out as one piece of timed work.
void FlashProgrammer::WriteFlashByte() {
  const board::TimedWork held(board_.Clock());
  commands_.FlashCommand = 0xA0;
  commands_.SendFlashCommand();
  board_.Endereco2Adr();
  run_.ProgramByte = run_.ProgramBuffer[static_cast<std::size_t>(board_.CurrentAddress)];
  board_.Reg4Shadow = run_.ProgramByte;
  board_.SetReg4();
  board_.SETADR_FLASH();
  board_.CEON();
  board_.WEON();
  board_.WEOFF();  // the byte is taken on this edge
  board_.CEOFF();
}

void FlashProgrammer::CheckFlashByte() {
  board_.REG4OFF();
  FlashBusy = 1;
  board_.CEON();
  board_.OEON();
  board_.GetNibbles();
  board_.OEOFF();
  board_.CEOFF();
  if (board_.ReadByte == run_.ProgramByte) FlashBusy = 0;
  board_.REG4ON();
}

// Covers the part (or, of a split image, the half that goes to it), never more than the
// programming image holds: a length that is not whole banks or pages is walked exactly.
void FlashProgrammer::ProgramFlash() {
  const operation::TimedRun held(op_);
  identity_.ReadFlashID();
  const int maker = identity_.FlashMakerByte;
  if (!identity_.SupportedFlashMaker(maker)) {
    RefuseUnknownMaker();
    run_.ProgramStatus = 0;
    return;
  }
  panel_.AddLog("Device ID# " + identity_.FlashID + " - Start programming");
  const std::int32_t size = std::min(op_.PartBytes(), run_.ProgramLength);
  panel_.SetProgressSteps(size / 256);
  board_.REG4ON();
  board_.OEOFF();
  board_.CEOFF();
  op_.ComputeLastBankAndPage();
  for (board_.CurrentAddress = 0; board_.CurrentAddress < size; ++board_.CurrentAddress) {
    const std::int32_t address = board_.CurrentAddress;
    if (address % 65536 == 0) {
      board_.AddrByte2 = address / 65536;
      board_.Reg3Shadow = board_.BankBits() | board_.Reg3FixedBits | 0x80;
    }
    if (address % 256 == 0) {
      board_.Reg1Shadow = board_.AdrMapB[(address / 256) % 256] | board_.Reg1FixedBits;
      op_.StepProgress();
    }
    board_.Reg2Shadow = address % 256;
    if (!ProgramFlashByte(maker)) return;
  }
}

bool FlashProgrammer::ProgramFlashByte(int maker) {
  int budget = kByteAttemptBudget;
  do {
    if (--budget == 0) {
      op_.ProgrammingFailure();
      return false;
    }
    WriteFlashByte();
    if (maker == kAtmelMaker) {
      board_.Sleep(1);  // Atmel parts: a fixed wait instead of the read-back
      FlashBusy = 0;
    } else {
      CheckFlashByte();
    }
  } while (FlashBusy > 0);
  return true;
}

void FlashProgrammer::EraseFlash(const std::function<bool()>& confirmed) {
  panel_.AddLog("Flash Erase Button Pressed");
  if (!op_.EraseConfirmed() || (confirmed && !confirmed())) return;
  const operation::TimedRun held(op_);
  identity_.ReadFlashID();
  if (!identity_.SupportedFlashMaker(identity_.FlashMakerByte)) {
    RefuseUnknownMaker();
    return;
  }
  panel_.AddLog("Device ID# " + identity_.FlashID + " - Erase Operation Started.. WAIT!");
  commands_.FlashCommand = 0x80;
  commands_.SendFlashCommand();
  commands_.FlashCommand = 0x10;
  commands_.SendFlashCommand();
  board_.REG4OFF();
  if (EraseCompleted()) {
    op_.ConfirmBoardAnswers();
    panel_.AddLog("Flash Erasing Operation COMPLETED");
    panel_.ReportDone("Flash Erasing Operation COMPLETED");
    commands_.FlashCommand = 0xF0;
    commands_.SendFlashCommand();
    return;
  }
  panel_.AddLog("TimeOut Failure during Erasing Flash");
  panel_.AddLog("Flash Chip is not responding");
  panel_.AddLog("Erasing Operation NOT COMPLETED!");
  panel_.ReportDeviceError("Erasing Operation NOT COMPLETED!");
}

// A part whose maker has no programming routine here gets no write at all.
void FlashProgrammer::RefuseUnknownMaker() {
  const std::string line = "Device ID# " + identity_.FlashID + " - Not Supported";
  panel_.AddLog(line);
  panel_.ReportNotDone(panel::NotDoneReason::kNotSupported, line);
}

// During the erase the part answers with data bit 7 at 0; it reads 1 once the cells are FFh.
bool FlashProgrammer::EraseCompleted() {
  for (int budget = kErasePollBudget; --budget > 0;) {
    panel_.Breathe();  // the erase runs on in the part: the window may repaint, not stop it
    board_.CEON();
    board_.OEON();
    board_.GetNibbles();
    board_.OEOFF();
    board_.CEOFF();
    if (board_.ReadByte >= 0x80) return true;
  }
  return false;
}

void FlashProgrammer::LoopFlashTest_Click() {
  const int repeats = panel_.SpeedPosition() * 1000;
  if (board_.CurrentAddress < 0 || board_.CurrentAddress >= op_.PartBytes()) {
    board_.CurrentAddress = 0;  // the byte written comes from the image, within the part
  }
  for (int i = 0; i < repeats; ++i) {
    WriteFlashByte();
    board_.Clock().Spin(10000);
  }
}

// One write cycle of F0h at the address the registers hold, without the unlock cycles.
void FlashProgrammer::ResetFlash_Click() {
  board_.CEOFF();
  board_.OEOFF();
  board_.Reg4Shadow = 0xF0;
  board_.SetReg4();
  board_.WEON();
  board_.CEON();
  board_.CEOFF();
  board_.WEOFF();
}

}  // namespace sorvell::flash
