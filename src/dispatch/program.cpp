// The frame around every programming algorithm: confirmation, optional blank check before and
// verify after, and the choice of algorithm by family.
#include "dispatch/dispatcher.h"

#include "buffers/image_fit.h"
#include "catalogue/routines.h"
#include "common/trim.h"

namespace sorvell::dispatch {

void Dispatcher::Program_button_Click() {
  if (!detection_.PortChosen()) return;
  ScrollTo(0);
  board_.CurrentAddress = 0;
  board_.Endereco2Adr();
  if (panel_.frmMain["CheckCode"].Value() == 1) ProgramCode();
  if (panel_.frmMain["CheckData"].Value() == 1) ProgramData();
}

void Dispatcher::ProgramData() {
  MissingRoutine("Please Write A90S2313 Program Data Routine", panel_.frmMain.Caption());
}

void Dispatcher::ProgramCode() {
  panel_.AddLog("Programming Button Pressed");
  if (!ConfirmProgramming()) {
    panel_.AddLog("Programming was Canceled by Operator");
    panel_.ReportNotDone(panel::NotDoneReason::kCancelled, "Programming was Canceled by Operator");
  } else if (PrepareAndRunAlgorithm()) {
    FinishProgramming();
  }
  LeaveSocketIdle();
}

bool Dispatcher::ConfirmProgramming() {
  // An image of another size than the part is never burned without both sizes said first.
  const std::string fit = buffers::ImageFitNote(op_.buffers.CodeImageSize, device_);
  if (!fit.empty()) panel_.AddLog(fit);
  const bool shorter = op_.buffers.CodeImageSize > 0 && !fit.empty() &&
                       op_.buffers.CodeImageSize < device_.DeviceBytes && PadImageToPart;
  std::string question = fit.empty() ? "Program the Device?" : fit + " Program the Device?";
  if (shorter) {
    const std::string image = std::to_string(op_.buffers.CodeImageSize);
    question = "Image is " + image + " bytes but " + device_.DeviceName + " holds " +
               std::to_string(device_.DeviceBytes) + ". Program the Device, with bytes " + image +
               " to " + std::to_string(device_.DeviceBytes - 1) +
               " filled with FFh (Yes) or from what the buffer holds beyond the image (No)?";
  }
  const panel::Answer answer = panel_.dialogs.Message(
      {question, "Safety Question",
       shorter ? panel::MessageButtons::kYesNoCancel : panel::MessageButtons::kOkCancel,
       panel::MessageIcon::kQuestion, shorter ? panel::Answer::kYes : panel::Answer::kCancel,
       ProgrammingDetails()});
  if (answer == panel::Answer::kYes) PadImageToPart();
  return answer == panel::Answer::kOk || answer == panel::Answer::kYes ||
         (shorter && answer == panel::Answer::kNo);
}

std::string Dispatcher::ProgrammingDetails() const {
  const panel::Form& form = panel_.frmMain;
  std::string details = "Device: " + common::TrimBlanks(device_.DeviceName) + " (" +
                        std::to_string(device_.DeviceBytes) + " bytes)\nVoltage: ";
  if (form["FrameVoltageSelection"].Visible()) {
    for (int i = 0; i < 4; ++i) {
      const panel::Control& button = form["Voltage_button(" + std::to_string(i) + ")"];
      if (button.Value() != 0) details += button.Caption();
    }
  } else {
    details += "the part's own (not chosen here)";
  }
  const buffers::Buffers& image = op_.buffers;
  const char* half = form["HiLow_button(1)"].Value()   ? "the odd (Hi) bytes"
                     : form["HiLow_button(2)"].Value() ? "the even (Low) bytes"
                                                       : "all bytes";
  details += "\nImage: " + (image.CodeFileName.empty() ? "the code buffer" : image.CodeFileName) +
             ", " + std::to_string(image.CodeImageSize) + " bytes, " + half;
  const std::int32_t rest = device_.DeviceBytes - image.CodeImageSize;
  details += "\nRest of the part: ";
  if (form["HiLow_button(0)"].Value() == 0) {
    details += "the first " + std::to_string(device_.DeviceBytes / 2) +
               " bytes of the part take every other byte of the image's first " +
               std::to_string(device_.DeviceBytes);
  } else if (image.CodeImageSize <= 0 || rest == 0) {
    details += "none, the image fills it";
  } else if (rest > 0) {
    details += std::to_string(rest) + " bytes, FFh (Yes) or what the buffer holds there (No)";
  } else {
    details += "none; the last " + std::to_string(-rest) + " bytes of the image are left out";
  }
  return details;
}

// A part that the blank check found erased has nothing to lose. Without the check (turned off,
// or a serial part, which has none) the burn may overwrite what the part held: an EPROM's bits
// only go from 1 to 0, but those are lost all the same, and the electrically erasable parts take
// any byte over any other.
bool Dispatcher::PrepareAndRunAlgorithm() {
  if (panel_.frmMain["CheckBlankPriorProgramming"].Value() == 1 && !OnTwoWireBus()) {
    Blank_button_Click();
    if (run_.BlankCheckFoundData) return false;
  } else if (device_.Routines().program != catalogue::ProgramRoutine::kNone &&
             !KeptBefore("programming")) {
    return false;
  }
  op_.BuildProgramBuffer();
  board_.Reset();
  board_.SETADR();
  board_.Sleep(500);
  run_.ProgressStep = run_.ProgramLength / 99;
  run_.ProgressCount = 0;
  panel_.ResetProgress();
  panel_.DataFlowLabelOn();
  panel_.ProgramLabelOn();
  run_.ProgramFailed = 0;
  run_.ProgramStatus = 9;
  RunFamilyAlgorithm();
  return true;
}

// The selected family's routine, as the catalogue names it; a family with none leaves the status
// at 9, "Device Not Supported".
void Dispatcher::RunFamilyAlgorithm() {
  using R = catalogue::ProgramRoutine;
  const R routine = device_.Routines().program;
  if (routine == R::kNone) return;
  run_.ProgramStatus = 1;
  switch (routine) {
    case R::kP2732:
      eprom_.P2732();
      break;
    case R::kP2764_128:
      eprom_.P2764_128();
      break;
    case R::kP27256_040:
      eprom_.P27256_040();
      break;
    case R::kP27080:
      eprom_.P27080();
      break;
    case R::kP27010_020:
      eprom_.P27010_020();
      break;
    case R::kProgramX28C256:
      pages_.ProgramX28C256();
      break;
    case R::kProgramAT29C256:
      pages_.ProgramAT29C256();
      break;
    case R::kProgramFlash:
      flash_.ProgramFlash();
      break;
    case R::kProgram24CXX:
      serial_.Program24CXX();
      break;
    case R::kProgram24C32:
      serial_.Program24C32();
      break;
    case R::kNone:
      break;
  }
}

void Dispatcher::FinishProgramming() {
  if (OnTwoWireBus() && run_.AckCount != 0) {
    serial_.Report24CXXAckError();
    run_.ProgramFailed = 1;
  }
  if (run_.ProgramFailed == 0 && run_.ProgramStatus == 1) {
    op_.ConfirmBoardAnswers();
    panel_.AddLog("Programming Device Successfull");
    panel_.ReportDone("Programming Device Successfull");
    panel_.DataFlowLabelOff();
    panel_.ProgramLabelOff();
    panel_.PlayEventSound("OK");
  }
  if (run_.ProgramStatus == 9) {
    panel_.AddLog("Device Not Supported - Status 9 - Please Report");
    panel_.ReportNotDone(panel::NotDoneReason::kNotSupported,
                         "Device Not Supported - Status 9 - Please Report");
    panel_.PlayEventSound("ERROR");
  }
  board_.Reg0Shadow = 0x40;
  board_.SetReg0();
  panel_.ResetProgress();
  // Nothing was programmed for a device without a routine: a verify of nothing would "match".
  if (panel_.frmMain["VerifyAfterProgramming"].Value() == 1 && run_.ProgramFailed == 0 &&
      run_.ProgramStatus == 1) {
    Verify_button_Click();
  }
}

// Flash parts erase with their chip-erase command; the page-write EEPROM is programmed with FFh;
// serial EEPROMs are written with FFh by their programming routines.
void Dispatcher::EraseFlash_button_Click() {
  if (!detection_.PortChosen()) return;
  using R = catalogue::EraseRoutine;
  const R routine = device_.Routines().erase;
  const auto kept = [this] { return KeptBefore("erasing"); };
  if (routine == R::kEraseFlash) {
    flash_.EraseFlash(kept);  // it asks the operator itself, after its own log line
    return;
  }
  // The 24C256 has no routine: say so rather than report a success from a stale AckCount.
  if (routine == R::kNone || (routine == R::kEraseSerial && !SerialErasable())) {
    MissingRoutine("Erase Chip is not available for " + device_.DeviceName + ".", "Erase Chip");
    return;
  }
  // Every erase destroys the part's contents: it asks first, as the Flash erase does.
  if (!op_.EraseConfirmed() || !kept()) return;
  run_.SerialEraseMode = 1;
  if (routine == R::kEraseX28C256) pages_.EraseX28C256();
  if (routine == R::kEraseSerial) EraseSerial();
}

bool Dispatcher::KeptBefore(std::string_view before) {
  return !KeepPartContents || KeepPartContents(before);
}

bool Dispatcher::SerialErasable() const {
  using R = catalogue::ProgramRoutine;
  const R routine = device_.Routines().program;
  return routine == R::kProgram24CXX || routine == R::kProgram24C32;
}

// Serial parts are erased by writing FFh through their programming routine.
void Dispatcher::EraseSerial() {
  using R = catalogue::ProgramRoutine;
  const R routine = device_.Routines().program;
  run_.AckCount = 0;
  if (routine == R::kProgram24C32) {
    serial_.Program24C32();
  } else {
    serial_.Program24CXX();
  }
  if (run_.AckCount != 0) {
    serial_.Report24CXXAckError();
    run_.ProgramFailed = 1;
    return;
  }
  op_.ConfirmBoardAnswers();
  panel_.AddLog("Programming Device Successfull");
  panel_.ReportDone("Programming Device Successfull");
  panel_.DataFlowLabelOff();
  panel_.ProgramLabelOff();
  panel_.PlayEventSound("OK");
  board_.Reg0Shadow = 0x40;
  board_.SetReg0();
  panel_.ResetProgress();
  LeaveSocketIdle();
}

// Serial EEPROMs stay selected with their bus lines idle; everything else is reset.
void Dispatcher::LeaveSocketIdle() {
  if (!OnTwoWireBus()) {
    board_.Reset();
    return;
  }
  board_.CEON();
  board_.OEON();
  board_.Reg1Shadow = 0;
  board_.Reg2Shadow = 0;
  board_.SetReg1();
  board_.SetReg2();
}

}  // namespace sorvell::dispatch
