#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

constexpr const char* kLockedButtons[] = {"Program_button", "Verify_button", "Read_button",
                                          "Display_button"};

const char* TrueFalse(bool value) {
  return value ? "True" : "False";
}

}  // namespace

void MainForm::ErrorLabelOn() {
  frmMain["Error_label"].SetForeColor(kRed);
  ProgramLabelOff();
  DataFlowLabelOff();
}
void MainForm::ErrorLabelOff() {
  frmMain["Error_label"].SetForeColor(kButtonFace);
}
void MainForm::ProgramLabelOn() {
  frmMain["Program_label"].SetForeColor(kGreen);
}
void MainForm::ProgramLabelOff() {
  frmMain["Program_label"].SetForeColor(kButtonFace);
}
void MainForm::DataFlowLabelOn() {
  frmMain["DataFlow_label"].SetForeColor(kGreen);
}
void MainForm::DataFlowLabelOff() {
  frmMain["DataFlow_label"].SetForeColor(kButtonFace);
}

// The window lamp and the board's LED blink together.
void MainForm::ToggleProgramLed() {
  Control& lamp = frmMain["Program_label"];
  lamp.SetForeColor(lamp.ForeColor() == kGreen ? kButtonFace : kGreen);
  board.Reg0Shadow ^= 0x08;
  board.SetReg0();
}

void MainForm::ErrorLockButtons() {
  ++errorAlertsRaised_;
  ErrorLabelOn();
  savedProgramEnabled_ = TrueFalse(frmMain["Program_button"].Enabled());
  savedVerifyEnabled_ = TrueFalse(frmMain["Verify_button"].Enabled());
  savedReadEnabled_ = TrueFalse(frmMain["Read_button"].Enabled());
  savedDisplayEnabled_ = TrueFalse(frmMain["Display_button"].Enabled());
  for (const char* name : kLockedButtons) frmMain[name].SetEnabled(false);
}

void MainForm::CriticalErrorBox() {
  edges_.dialogs.Message({"Program or Compare Error", "Critical Message", MessageButtons::kOk,
                          MessageIcon::kCritical, Answer::kOk});
  TurnAlertOff();
}

void MainForm::Error_label_Click() {
  TurnAlertOff();
}

// Only a raised alert (the lamp exactly red) is turned off; otherwise nothing happens.
void MainForm::TurnAlertOff() {
  if (frmMain["Error_label"].ForeColor() != kRed) return;
  ErrorLabelOff();
  ProgramLabelOff();
  DataFlowLabelOff();
  AddLog("Error Alert was Turned Off");
  frmMain["ProgressBar1"].SetValue(0);
  frmMain["Program_button"].SetEnabled(savedProgramEnabled_ == "True");
  frmMain["Verify_button"].SetEnabled(savedVerifyEnabled_ == "True");
  frmMain["Read_button"].SetEnabled(savedReadEnabled_ == "True");
  frmMain["Display_button"].SetEnabled(savedDisplayEnabled_ == "True");
  board.Reset();
}

}  // namespace sorvell::shell
