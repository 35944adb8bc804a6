// The frame around every programming algorithm: confirmation, optional blank check before and
// verify after, dispatch by family, and the services the algorithms share.
#include "common/hex_text.h"
#include "shell/main_form.h"

namespace sorvell::shell {

void MainForm::Program_button_Click() {
  if (!PortChosen()) return;
  SetValue("VScroll1", 0);
  board.CurrentAddress = 0;
  board.Endereco2Adr();
  if (frmMain["CheckCode"].Value() == 1) ProgramCode();
  if (frmMain["CheckData"].Value() == 1) ProgramData();
}

void MainForm::ProgramData() {
  edges_.dialogs.Message({"Please Write A90S2313 Program Data Routine", frmMain.Caption(),
                          MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

void MainForm::ProgramCode() {
  AddLog("Programming Button Pressed");
  const Answer answer =
      edges_.dialogs.Message({"Program the Device?", "Safety Question", MessageButtons::kOkCancel,
                              MessageIcon::kQuestion, Answer::kCancel});
  if (answer != Answer::kOk) {
    AddLog("Programming was Canceled by Operator");
  } else if (PrepareAndRunAlgorithm()) {
    FinishProgramming();
  }
  LeaveSocketIdle();
}

// False when the blank check found data: nothing is programmed.
bool MainForm::PrepareAndRunAlgorithm() {
  if (frmMain["CheckBlankPriorProgramming"].Value() == 1 && device.DeviceType != "S") {
    Blank_button_Click();
    if (parallel.BlankCheckFoundData) return false;
  }
  BuildProgramBuffer();
  board.Reset();
  board.SETADR();
  board.Sleep(500);
  parallel.ProgressStep = parallel.ProgramLength / 99;
  parallel.ProgressCount = 0;
  frmMain["ProgressBar1"].SetValue(0);
  DataFlowLabelOn();
  ProgramLabelOn();
  parallel.ProgramFailed = 0;
  parallel.ProgramStatus = 9;
  RunFamilyAlgorithm();
  return true;
}

void MainForm::RunFamilyAlgorithm() {
  struct Route {
    const char* family;
    void (MainForm::*routine)();
  };
  static constexpr Route kRoutes[] = {
      {"P1", &MainForm::P2732},           {"P2", &MainForm::P2764_128},
      {"P3", &MainForm::P2764_128},       {"P4", &MainForm::P27256_040},
      {"P5", &MainForm::P27080},          {"P6", &MainForm::P27010_020},
      {"P7", &MainForm::P27010_020},      {"P8", &MainForm::P27256_040},
      {"P9", &MainForm::P27080},          {"EN", &MainForm::ProgramX28C256},
      {"FA", &MainForm::ProgramAT29C256}, {"FM", &MainForm::ProgramFlash},
      {"FL", &MainForm::ProgramFlash},    {"FR", &MainForm::ProgramFlash},
      {"FS", &MainForm::ProgramFlash},    {"SA", &MainForm::Program24CXX},
      {"SB", &MainForm::Program24CXX},    {"SC", &MainForm::Program24C32},
  };
  for (const Route& route : kRoutes) {
    if (device.DeviceFamily != route.family) continue;
    parallel.ProgramStatus = 1;
    (this->*route.routine)();
  }
}

void MainForm::FinishProgramming() {
  if (device.DeviceType == "S" && AckCount != 0) {
    Report24CXXAckError();
    parallel.ProgramFailed = 1;
  }
  if (parallel.ProgramFailed == 0 && parallel.ProgramStatus == 1) {
    AddLog("Programming Device Successfull");
    DataFlowLabelOff();
    ProgramLabelOff();
    PlayEventSound("OK");
  }
  if (parallel.ProgramStatus == 9) {
    AddLog("Device Not Supported - Status 9 - Please Report");
    PlayEventSound("ERROR");
  }
  board.Reg0Shadow = 0x40;
  board.SetReg0();
  frmMain["ProgressBar1"].SetValue(0);
  if (frmMain["VerifyAfterProgramming"].Value() == 1 && parallel.ProgramFailed == 0) {
    Verify_button_Click();
  }
}

// Serial EEPROMs stay selected with their bus lines idle; everything else is reset.
void MainForm::LeaveSocketIdle() {
  if (device.DeviceType != "S") {
    board.Reset();
    return;
  }
  board.CEON();
  board.OEON();
  board.Reg1Shadow = 0;
  board.Reg2Shadow = 0;
  board.SetReg1();
  board.SetReg2();
}

void MainForm::ProgrammingFailure() {
  board.Reg0Shadow = 0;
  board.SetReg0();
  board.CEOFF();
  board.OEOFF();
  AddLog("*** Programming Failure ***");
  AddLog("*** Address:" + common::HexText(board.CurrentAddress) +
         "h, Programming BYTE:" + common::HexText(parallel.ProgramByte) +
         "h, Read BYTE:" + common::HexText(board.ReadByte) + "h");
  AddLog("*** Aborting Programming.");
  ErrorLockButtons();
  ProgramLabelOn();
  parallel.ProgramFailed = 1;
  PlayEventSound("ERROR");
  CriticalErrorBox();
}

// Latch FFh, release the data lines, then read what the device drives.
void MainForm::ReadBackByte() {
  board.Reg4Shadow = 0xFF;
  board.SetReg4();
  board.DelayLoop10();
  board.REG4OFF();
  board.DelayLoop10();
  board.GetNibbles();
}

// The bar moves one step per ProgressStep bytes and stops at its maximum (a 2 KB half-image
// would otherwise ask for 102 steps of a 100-step bar).
void MainForm::GoProgressiveBar1() {
  if (++parallel.ProgressCount != parallel.ProgressStep) return;
  parallel.ProgressCount = 0;
  StepProgress();
}

}  // namespace sorvell::shell
