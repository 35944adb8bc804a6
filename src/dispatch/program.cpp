// The frame around every programming algorithm: confirmation, optional blank check before and
// verify after, and the choice of algorithm by family.
#include "dispatch/dispatcher.h"

#include "buffers/image_fit.h"

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
  // An image of another size than the part is never burned without both sizes said first.
  const std::string fit = buffers::ImageFitNote(op_.buffers.CodeImageSize, device_);
  if (!fit.empty()) panel_.AddLog(fit);
  const std::string question = fit.empty() ? "Program the Device?" : fit + " Program the Device?";
  const panel::Answer answer =
      panel_.dialogs.Message({question, "Safety Question", panel::MessageButtons::kOkCancel,
                              panel::MessageIcon::kQuestion, panel::Answer::kCancel});
  if (answer != panel::Answer::kOk) {
    panel_.AddLog("Programming was Canceled by Operator");
    panel_.ReportNotDone(panel::NotDoneReason::kCancelled, "Programming was Canceled by Operator");
  } else if (PrepareAndRunAlgorithm()) {
    FinishProgramming();
  }
  LeaveSocketIdle();
}

bool Dispatcher::PrepareAndRunAlgorithm() {
  if (panel_.frmMain["CheckBlankPriorProgramming"].Value() == 1 && device_.DeviceType != "S") {
    Blank_button_Click();
    if (run_.BlankCheckFoundData) return false;
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

void Dispatcher::RunFamilyAlgorithm() {
  struct Route {
    const char* family;
    void (*routine)(Dispatcher&);
  };
  static constexpr Route kRoutes[] = {
      {"P1", [](Dispatcher& d) { d.eprom_.P2732(); }},
      {"P2", [](Dispatcher& d) { d.eprom_.P2764_128(); }},
      {"P3", [](Dispatcher& d) { d.eprom_.P2764_128(); }},
      {"P4", [](Dispatcher& d) { d.eprom_.P27256_040(); }},
      {"P5", [](Dispatcher& d) { d.eprom_.P27080(); }},
      {"P6", [](Dispatcher& d) { d.eprom_.P27010_020(); }},
      {"P7", [](Dispatcher& d) { d.eprom_.P27010_020(); }},
      {"P8", [](Dispatcher& d) { d.eprom_.P27256_040(); }},
      {"P9", [](Dispatcher& d) { d.eprom_.P27080(); }},
      {"EN", [](Dispatcher& d) { d.pages_.ProgramX28C256(); }},
      {"FA", [](Dispatcher& d) { d.pages_.ProgramAT29C256(); }},
      {"FM", [](Dispatcher& d) { d.flash_.ProgramFlash(); }},
      {"FL", [](Dispatcher& d) { d.flash_.ProgramFlash(); }},
      {"FR", [](Dispatcher& d) { d.flash_.ProgramFlash(); }},
      {"FS", [](Dispatcher& d) { d.flash_.ProgramFlash(); }},
      {"SA", [](Dispatcher& d) { d.serial_.Program24CXX(); }},
      {"SB", [](Dispatcher& d) { d.serial_.Program24CXX(); }},
      {"SC", [](Dispatcher& d) { d.serial_.Program24C32(); }},
  };
  for (const Route& route : kRoutes) {
    if (device_.DeviceFamily != route.family) continue;
    run_.ProgramStatus = 1;
    route.routine(*this);
  }
}

void Dispatcher::FinishProgramming() {
  if (device_.DeviceType == "S" && run_.AckCount != 0) {
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
  const std::string& family = device_.DeviceFamily;
  if (family == "FM" || family == "FL" || family == "FR" || family == "FS") {
    flash_.EraseFlash();  // it asks the operator itself, after its own log line
    return;
  }
  if (family != "EN" && device_.DeviceType != "S") {
    MissingRoutine("Erase Chip is not available for " + device_.DeviceName + ".", "Erase Chip");
    return;
  }
  // Every erase destroys the part's contents: it asks first, as the Flash erase does.
  if (!op_.EraseConfirmed()) return;
  run_.SerialEraseMode = 1;
  if (family == "EN") pages_.EraseX28C256();
  if (device_.DeviceType == "S") EraseSerial();
}

// Serial parts are erased by writing FFh through their programming routine.
void Dispatcher::EraseSerial() {
  const std::string& family = device_.DeviceFamily;
  if (family != "SA" && family != "SB" && family != "SC") {
    // The 24C256 has no routine: say so rather than report a success from a stale AckCount.
    MissingRoutine("Erase Chip is not available for " + device_.DeviceName + ".", "Erase Chip");
    return;
  }
  run_.AckCount = 0;
  if (family == "SC") {
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
  if (device_.DeviceType != "S") {
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
